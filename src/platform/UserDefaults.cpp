#include "platform/UserDefaults.h"

#include "runtime/Log.h"

#include <charconv>
#include <cmath>

namespace corvane {

namespace {

constexpr Seconds writeDelay{0.25};

std::optional<std::string> numberText(const Json& value) {
    if (value.is_number_unsigned())
        return std::to_string(value.get<std::uint64_t>());
    if (value.is_number_integer())
        return std::to_string(value.get<std::int64_t>());
    if (value.is_number_float()) {
        // Shortest text that reads back as the same double: 0.3 stays "0.3", 12.0 reads "12".
        char buffer[64];
        const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value.get<double>());
        if (error != std::errc())
            return std::nullopt;
        return std::string(buffer, end);
    }
    return std::nullopt;
}

Json argumentValue(const QString& text) {
    if (text == QLatin1String("YES"))
        return true;
    if (text == QLatin1String("NO"))
        return false;
    const Json parsed = Json::parse(text.toStdString(), nullptr, /*allow_exceptions=*/false);
    if (parsed.is_boolean())
        return parsed;
    if (parsed.is_number_integer())
        return parsed;
    if (parsed.is_number_float() && std::isfinite(parsed.get<double>()))
        return parsed;
    return text.toStdString();
}

} // namespace

UserDefaults::UserDefaults(std::unique_ptr<DefaultsFile> file, Scheduler& scheduler, QStringList arguments)
    : m_file(std::move(file)), m_scheduler(scheduler), m_arguments(parseArguments(arguments)),
      m_retry(scheduler, [this] {
          if (m_dirty)
              write();
      }) {
    DefaultsFile::LoadResult result = m_file->load();
    if (result.status == DefaultsFile::LoadResult::Status::loaded && !result.document.is_object()) {
        result.status = DefaultsFile::LoadResult::Status::failed;
        result.error = QStringLiteral("the document is not an object");
    }
    switch (result.status) {
    case DefaultsFile::LoadResult::Status::loaded:
        for (auto& [key, value] : result.document.items())
            m_values.emplace(key, value);
        break;
    case DefaultsFile::LoadResult::Status::missing:
        break;
    case DefaultsFile::LoadResult::Status::unreadable:
        m_loadFailed = true;
        m_loadProblem = QStringLiteral("The settings file could not be read (%1); settings are not saved "
                                       "until it is dealt with")
                            .arg(result.error);
        qCWarning(lcApp) << "Could not read the defaults file, running on defaults without writing it:"
                         << result.error;
        break;
    case DefaultsFile::LoadResult::Status::failed: {
        qCWarning(lcApp) << "Could not read the defaults file, starting with empty defaults:" << result.error;
        if (const auto aside = m_file->setAside())
            m_setAsideNotice =
                QStringLiteral("The settings file was damaged and is kept as %1; settings start "
                               "from their defaults")
                    .arg(*aside);
        // Only write once the damaged file is out of the way; otherwise it would be replaced.
        m_loadFailed = m_file->load().status != DefaultsFile::LoadResult::Status::missing;
        if (m_loadFailed) {
            m_loadProblem = QStringLiteral("The settings file is damaged and could not be moved aside; "
                                           "settings are not saved until it is dealt with");
            qCWarning(lcApp) << "The damaged defaults file stays in place; changes are not saved";
        }
        break;
    }
    }
}

UserDefaults::~UserDefaults() {
    flush();
}

std::optional<Json> UserDefaults::object(const std::string& key) const {
    if (auto it = m_arguments.find(key); it != m_arguments.end())
        return it->second;
    if (auto it = m_values.find(key); it != m_values.end())
        return it->second;
    return std::nullopt;
}

std::optional<std::string> UserDefaults::string(const std::string& key) const {
    const auto value = object(key);
    if (!value)
        return std::nullopt;
    if (value->is_string())
        return value->get<std::string>();
    return numberText(*value);
}

std::optional<std::vector<std::string>> UserDefaults::stringArray(const std::string& key) const {
    const auto value = object(key);
    if (!value || !value->is_array())
        return std::nullopt;
    std::vector<std::string> result;
    result.reserve(value->size());
    for (const Json& element : *value) {
        if (!element.is_string())
            return std::nullopt;
        result.push_back(element.get<std::string>());
    }
    return result;
}

std::optional<bool> UserDefaults::boolValue(const std::string& key) const {
    const auto value = object(key);
    if (!value)
        return std::nullopt;
    if (value->is_boolean())
        return value->get<bool>();
    if (value->is_number()) {
        const double number = value->get<double>();
        if (number == 0)
            return false;
        if (number == 1)
            return true;
    }
    return std::nullopt;
}

void UserDefaults::set(const std::string& key, Json value) {
    m_values[key] = std::move(value);
    m_dirty = true;
    scheduleWrite();
}

void UserDefaults::remove(const std::string& key) {
    if (m_values.erase(key) == 0)
        return;
    m_dirty = true;
    scheduleWrite();
}

std::vector<std::string> UserDefaults::keys() const {
    std::vector<std::string> result;
    result.reserve(m_values.size());
    for (const auto& entry : m_values)
        result.push_back(entry.first);
    return result;
}

std::optional<Json> UserDefaults::argument(const std::string& key) const {
    if (auto it = m_arguments.find(key); it != m_arguments.end())
        return it->second;
    return std::nullopt;
}

void UserDefaults::flush() {
    m_writeTimer.invalidate();
    if (!m_dirty)
        return;
    // At quit nothing is tried after this: what did not land is lost, and the log says so.
    if (const auto error = write())
        qCWarning(lcApp) << "Settings changes could not be saved:" << *error;
}

std::map<std::string, Json> UserDefaults::parseArguments(const QStringList& arguments) {
    std::map<std::string, Json> result;
    // The first argument is the program itself.
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument.size() < 2 || !argument.startsWith(QLatin1Char('-')))
            continue;
        if (i + 1 >= arguments.size())
            break; // a trailing key without a value
        result[argument.mid(1).toStdString()] = argumentValue(arguments.at(i + 1));
        ++i;
    }
    return result;
}

void UserDefaults::scheduleWrite() {
    // The first change opens the window; later ones ride along with it.
    if (m_writeTimer.isValid())
        return;
    m_writeTimer = m_scheduler.schedule(writeDelay, [this] {
        if (m_dirty)
            write();
    });
}

std::optional<QString> UserDefaults::write() {
    if (m_loadFailed)
        return m_loadProblem;
    Json document = Json::object();
    for (const auto& [key, value] : m_values)
        document[key] = value;
    // A failed save stays dirty, so the next change, the retry or the flush tries again.
    const std::optional<QString> error = m_file->save(document);
    if (!error) {
        if (m_retry.landed())
            qCInfo(lcApp) << "The settings file is written again";
        m_dirty = false;
        return std::nullopt;
    }
    if (m_retry.failed()) {
        qCWarning(lcApp) << "Could not write the settings file:" << *error;
        Q_EMIT saveFailed(QStringLiteral("Could not save the settings: ") + *error);
    }
    return error;
}

} // namespace corvane
