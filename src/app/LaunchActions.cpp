#include "app/LaunchActions.h"

#include "platform/UserDefaults.h"

namespace corvane {

namespace {
const QByteArray reopenLine = QByteArrayLiteral("reopen\n");
const QByteArray launchPrefix = QByteArrayLiteral("launch ");
} // namespace

LaunchActions LaunchActions::fromArguments(const QStringList& arguments) {
    const std::map<std::string, Json> domain = UserDefaults::parseArguments(arguments);
    LaunchActions actions;
    if (auto it = domain.find("settingsTab"); it != domain.end() && it->second.is_string())
        actions.settingsTab = QString::fromStdString(it->second.get<std::string>());
    // Only the presence of the argument counts, whatever its value.
    actions.previewNotchHUD = domain.contains("previewNotchHUD");
    return actions;
}

QByteArray LaunchActions::message() const {
    if (*this == LaunchActions{})
        return reopenLine;
    Json object = Json::object();
    if (settingsTab)
        object["settingsTab"] = settingsTab->toStdString();
    if (previewNotchHUD)
        object["previewNotchHUD"] = true;
    return launchPrefix + QByteArray::fromStdString(object.dump(-1, ' ', true)) + '\n';
}

std::optional<LaunchActions> LaunchActions::fromMessage(const QByteArray& line) {
    if (line == reopenLine)
        return LaunchActions{};
    if (!line.startsWith(launchPrefix) || !line.endsWith('\n') || line.size() > longestMessage)
        return std::nullopt;
    const QByteArray text = line.mid(launchPrefix.size());
    const Json object = Json::parse(text.constBegin(), text.constEnd(), nullptr, false);
    if (!object.is_object())
        return std::nullopt;
    LaunchActions actions;
    if (auto it = object.find("settingsTab"); it != object.end() && it->is_string())
        actions.settingsTab = QString::fromStdString(it->get<std::string>());
    if (auto it = object.find("previewNotchHUD"); it != object.end())
        actions.previewNotchHUD = it->is_boolean() && it->get<bool>();
    return actions;
}

} // namespace corvane
