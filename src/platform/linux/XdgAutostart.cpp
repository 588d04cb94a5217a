#include "platform/linux/XdgAutostart.h"

#include "platform/AtomicFile.h"
#include "runtime/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace corvane {
namespace {

const QString entryName = QStringLiteral("/autostart/corvane.desktop");

// One Exec argument as the desktop-entry format wants it: quoted when it holds a reserved
// character, with the quoting characters escaped, then backslashes escaped again for the
// string value the line is.
QString execArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString quoted = argument;
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (std::any_of(argument.begin(), argument.end(), [](QChar c) { return reserved.contains(c); })) {
        QString escaped;
        for (QChar c : quoted) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                escaped += QLatin1Char('\\');
            escaped += c;
        }
        quoted = QLatin1Char('"') + escaped + QLatin1Char('"');
    }
    return quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
}

// The value of `key` in the [Desktop Entry] group of an entry; empty when absent.
QString entryValue(const QString& path, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inMainGroup && equals > 0 && line.left(equals).trimmed() == key)
            return line.mid(equals + 1).trimmed();
    }
    return {};
}

// Whether the entry at `path` starts anything at login.
bool entryIsActive(const QString& path) {
    return entryValue(path, QStringLiteral("Hidden")) != QLatin1String("true") &&
           entryValue(path, QStringLiteral("X-GNOME-Autostart-enabled")) != QLatin1String("false");
}

} // namespace

XdgAutostart::XdgAutostart(QString configHome, QStringList systemConfigDirs, QString executable)
    : m_configHome(std::move(configHome)), m_systemConfigDirs(std::move(systemConfigDirs)),
      m_executable(std::move(executable)) {}

XdgAutostart XdgAutostart::forCurrentUser() {
    // The base directory specification says relative values are to be ignored.
    QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (home.isEmpty() || QDir::isRelativePath(home))
        home = QDir::homePath() + QStringLiteral("/.config");
    QStringList dirs;
    for (const QString& dir :
         qEnvironmentVariable("XDG_CONFIG_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (!QDir::isRelativePath(dir))
            dirs << dir;
    if (dirs.isEmpty())
        dirs << QStringLiteral("/etc/xdg");
    return XdgAutostart(home, dirs, QCoreApplication::applicationFilePath());
}

QString XdgAutostart::entryPath() const {
    return m_configHome + entryName;
}

bool XdgAutostart::hasSystemEntry() const {
    return std::any_of(m_systemConfigDirs.begin(), m_systemConfigDirs.end(),
                       [](const QString& dir) { return QFileInfo::exists(dir + entryName); });
}

LoginItem::Status XdgAutostart::status() const {
    // The user's entry, where there is one, overrides a system-wide entry of the same name.
    if (QFileInfo::exists(entryPath()))
        return entryIsActive(entryPath()) ? Status::enabled : Status::notRegistered;
    for (const QString& dir : m_systemConfigDirs)
        if (QFileInfo::exists(dir + entryName))
            return entryIsActive(dir + entryName) ? Status::enabled : Status::notRegistered;
    return Status::notRegistered;
}

QByteArray XdgAutostart::entryText() const {
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Corvane\n"
                                        "Comment=Window strip, workspaces and snapping\n"
                                        "Exec=%1 -launchedAtLogin YES\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(execArgument(m_executable));
    return text.toUtf8();
}

std::optional<QString> XdgAutostart::registerItem() {
    std::optional<QString> failure = writeFileAtomically(entryPath(), entryText());
    if (!failure) {
        // A program run from its build folder starts from there at login too, until that folder
        // goes; the log says which program the entry starts, so that can be told.
        if (isInBuildTree(m_executable))
            qCInfo(lcApp).noquote() << QStringLiteral(
                                           "Launch at login: the autostart entry starts %1, in a build "
                                           "folder; install Corvane (cmake --install) for an entry "
                                           "that lasts")
                                           .arg(m_executable);
        else
            qCInfo(lcApp).noquote()
                << QStringLiteral("Launch at login: the autostart entry starts %1").arg(m_executable);
    }
    return failure;
}

void XdgAutostart::followInstalledProgram() {
    if (isInBuildTree(m_executable) || !QFileInfo::exists(entryPath()) || !entryIsActive(entryPath()))
        return;
    const QString wanted = QString::fromUtf8(entryText());
    const QString exec = entryValue(entryPath(), QStringLiteral("Exec"));
    if (wanted.contains(QStringLiteral("\nExec=") + exec + QLatin1Char('\n')))
        return;
    if (const std::optional<QString> failure = writeFileAtomically(entryPath(), entryText()))
        qCWarning(lcApp).noquote()
            << QStringLiteral("Launch at login: could not update the autostart entry: %1").arg(*failure);
    else
        qCInfo(lcApp).noquote()
            << QStringLiteral("Launch at login: the autostart entry now starts %1").arg(m_executable);
}

bool XdgAutostart::isInBuildTree(const QString& executable) {
    // A CMake build folder holds its CMakeCache.txt a few levels above the programs it builds.
    QDir dir = QFileInfo(executable).absoluteDir();
    for (int level = 0; level < 4; ++level) {
        if (dir.exists(QStringLiteral("CMakeCache.txt")))
            return true;
        if (!dir.cdUp())
            return false;
    }
    return false;
}

std::optional<QString> XdgAutostart::unregisterItem() {
    // A system-wide entry would still start the product: the user's own entry hides it.
    if (hasSystemEntry())
        return writeFileAtomically(entryPath(), QByteArrayLiteral("[Desktop Entry]\n"
                                                                  "Type=Application\n"
                                                                  "Name=Corvane\n"
                                                                  "Hidden=true\n"));
    if (!QFileInfo::exists(entryPath()))
        return std::nullopt;
    QFile entry(entryPath());
    if (!entry.remove())
        return QStringLiteral("cannot remove %1: %2").arg(entryPath(), entry.errorString());
    return std::nullopt;
}

} // namespace corvane
