#include "core/Settings.h"

#include "runtime/NotificationCenter.h"

#include <QtGlobal>

#include <cmath>
#include <limits>

namespace corvane {

namespace {

Settings* s_shared = nullptr;

// 2^63: the first double past the range of a signed 64-bit integer.
constexpr double int64Bound = 9223372036854775808.0;

// Readers: each gives the stored value when it converts to the property's type without loss,
// else the property's default.

bool readSetting(const UserDefaults& defaults, const std::string& key, bool fallback) {
    return defaults.boolValue(key).value_or(fallback);
}

qint64 readSetting(const UserDefaults& defaults, const std::string& key, qint64 fallback) {
    const auto value = defaults.object(key);
    if (!value)
        return fallback;
    if (value->is_number_unsigned()) {
        const auto number = value->get<std::uint64_t>();
        return number <= static_cast<std::uint64_t>(std::numeric_limits<qint64>::max())
                   ? static_cast<qint64>(number)
                   : fallback;
    }
    if (value->is_number_integer())
        return value->get<std::int64_t>();
    if (value->is_number_float()) {
        const double number = value->get<double>();
        if (number == std::trunc(number) && number >= -int64Bound && number < int64Bound)
            return static_cast<qint64>(number);
    }
    return fallback;
}

double readSetting(const UserDefaults& defaults, const std::string& key, double fallback) {
    const auto value = defaults.object(key);
    if (!value)
        return fallback;
    if (value->is_number_float())
        return value->get<double>();
    // An integer beyond 2^53 may have no exact double; such a value is not taken.
    if (value->is_number_unsigned()) {
        const auto number = value->get<std::uint64_t>();
        const double converted = static_cast<double>(number);
        return converted < 2 * int64Bound && static_cast<std::uint64_t>(converted) == number ? converted
                                                                                             : fallback;
    }
    if (value->is_number_integer()) {
        const auto number = value->get<std::int64_t>();
        const double converted = static_cast<double>(number);
        return converted < int64Bound && static_cast<std::int64_t>(converted) == number ? converted
                                                                                        : fallback;
    }
    return fallback;
}

QString readSetting(const UserDefaults& defaults, const std::string& key, const QString& fallback) {
    const auto value = defaults.string(key);
    return value ? QString::fromStdString(*value) : fallback;
}

QStringList readSetting(const UserDefaults& defaults, const std::string& key, const QStringList& fallback) {
    const auto value = defaults.stringArray(key);
    if (!value)
        return fallback;
    QStringList result;
    result.reserve(static_cast<qsizetype>(value->size()));
    for (const std::string& element : *value)
        result.append(QString::fromStdString(element));
    return result;
}

template <RawValueEnum E> E readSetting(const UserDefaults& defaults, const std::string& key, E fallback) {
    const auto value = defaults.string(key);
    if (!value)
        return fallback;
    return fromRawValue<E>(QString::fromStdString(*value)).value_or(fallback);
}

// The scroll direction used to be a single switch; a store that never held the newer key (or
// holds something unreadable there) keeps what the switch said.
MouseScrollDirection readScrollDirection(const UserDefaults& defaults) {
    if (const auto value = defaults.string("mouseScrollDirection")) {
        if (const auto direction = fromRawValue<MouseScrollDirection>(QString::fromStdString(*value)))
            return *direction;
    }
    return readSetting(defaults, "reverseMouseScroll", false) ? MouseScrollDirection::standard
                                                              : MouseScrollDirection::system;
}

Json toJson(bool value) {
    return value;
}
Json toJson(qint64 value) {
    return static_cast<std::int64_t>(value);
}
// Stays a floating-point number in the file even when whole (3.0, not 3).
Json toJson(double value) {
    return value;
}
Json toJson(const QString& value) {
    return value.toStdString();
}

Json toJson(const QStringList& value) {
    Json array = Json::array();
    for (const QString& element : value)
        array.push_back(element.toStdString());
    return array;
}

template <RawValueEnum E> Json toJson(E value) {
    return rawValue(value).toStdString();
}

} // namespace

const QString Settings::didChangeNotification = QStringLiteral("CorvaneSettingsDidChange");

#define CORVANE_SETTINGS_READ(Type, name, setter, fallback, ...)                                             \
    , m_##name(readSetting(defaults, #name, static_cast<Type>(fallback)))

Settings::Settings(UserDefaults& defaults, NotificationCenter& notifications)
    : m_defaults(defaults), m_notifications(notifications) CORVANE_SETTINGS(CORVANE_SETTINGS_READ) {
    m_mouseScrollDirection = readScrollDirection(defaults);
}

#undef CORVANE_SETTINGS_READ

bool Settings::areStored() const {
    return !m_defaults.setAsideNotice() && !m_defaults.loadProblem();
}

Settings::~Settings() {
    if (s_shared == this)
        s_shared = nullptr;
}

Settings& Settings::shared() {
    if (!s_shared)
        qFatal("Settings::shared() used before Settings::setShared()");
    return *s_shared;
}

void Settings::setShared(Settings* settings) {
    s_shared = settings;
}

const QStringList& Settings::allKeys() {
#define CORVANE_SETTINGS_KEY(Type, name, setter, fallback, ...) QStringLiteral(#name),
    static const QStringList keys{CORVANE_SETTINGS(CORVANE_SETTINGS_KEY)};
#undef CORVANE_SETTINGS_KEY
    return keys;
}

// The desktop's own pieces, one of each kind, named as the window layer names programs (their
// desktop-file id, else their window class as the program sets it): a dock, a panel, notification
// pop-ups, a launcher and the window manager's own windows. A list the user stored is left as it is.
QStringList Settings::defaultExcludedBundleIDs() {
    return {QStringLiteral("plank"), QStringLiteral("Xfce4-panel"), QStringLiteral("Dunst"),
            QStringLiteral("Rofi"), QStringLiteral("openbox")};
}

#define CORVANE_SETTINGS_DEFINE_SETTER(Type, name, setter, fallback, ...)                                    \
    void Settings::setter(Type value) {                                                                      \
        const bool differs = !(m_##name == value);                                                           \
        m_##name = std::move(value);                                                                         \
        persist(QStringLiteral(#name), toJson(m_##name), differs);                                           \
    }
CORVANE_SETTINGS(CORVANE_SETTINGS_DEFINE_SETTER)
#undef CORVANE_SETTINGS_DEFINE_SETTER

void Settings::persist(const QString& key, const Json& value, bool differs) {
    m_defaults.set(key.toStdString(), value);
    m_notifications.post(didChangeNotification, key);
    // The views bound to the key have nothing to redraw when the value stayed the same.
    if (differs)
        Q_EMIT changed(key);
}

} // namespace corvane
