#include "platform/linux/LinuxSystemShell.h"

#include "runtime/Log.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <gio/gio.h>

#include <ctime>

namespace corvane {

namespace {

constexpr char virtualDesktopMarkName[] = "CORVANE_VIRTUAL_DESKTOP";

QByteArray& virtualDesktopMark() {
    static QByteArray mark;
    return mark;
}

// A local file or folder opened with the program its type's default is; GIO tells why when there
// is none, where the desktop's opener would only write to the log.
ShellOutcome openLocalFile(const QUrl& url) {
    GError* error = nullptr;
    if (g_app_info_launch_default_for_uri(url.toEncoded().constData(), nullptr, &error))
        return {};
    const QString reason = error ? QString::fromUtf8(error->message) : QStringLiteral("no program opens it");
    g_clear_error(&error);
    return {reason};
}

} // namespace

void LinuxSystemShell::setAsideVirtualDesktopMark() {
    virtualDesktopMark() = qgetenv(virtualDesktopMarkName);
    qunsetenv(virtualDesktopMarkName);
}

ShellOutcome LinuxSystemShell::openUrl(const QString& url) {
    if (url.trimmed().isEmpty())
        return {QStringLiteral("there is nothing to open")};
    const QUrl parsed = QUrl::fromUserInput(url);
    if (!parsed.isValid())
        return {QStringLiteral("%1 is not an address").arg(url)};
    if (parsed.isLocalFile())
        return openLocalFile(parsed);
    if (QDesktopServices::openUrl(parsed))
        return {};
    return {QStringLiteral("no program opens %1 addresses").arg(parsed.scheme())};
}

ShellOutcome LinuxSystemShell::revealFiles(const QList<QUrl>& files) {
    if (files.isEmpty())
        return {QStringLiteral("there is nothing to show")};
    // The freedesktop file-manager interface selects the files in a window of their folder; a
    // desktop without one gets the first file's folder opened.
    static const QString service = QStringLiteral("org.freedesktop.FileManager1");
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusConnectionInterface* names = bus.isConnected() ? bus.interface() : nullptr;
    bool present = names && names->isServiceRegistered(service).value();
    if (names && !present) {
        const QDBusReply<QStringList> activatable = names->call(QStringLiteral("ListActivatableNames"));
        present = activatable.isValid() && activatable.value().contains(service);
    }
    if (present) {
        QStringList uris;
        for (const QUrl& file : files)
            uris.append(file.toString(QUrl::FullyEncoded));
        QDBusMessage call = QDBusMessage::createMethodCall(
            service, QStringLiteral("/org/freedesktop/FileManager1"), service, QStringLiteral("ShowItems"));
        call << uris << QString();
        if (bus.send(call))
            return {};
    }
    const QString folder = QFileInfo(files.first().toLocalFile()).absolutePath();
    return openLocalFile(QUrl::fromLocalFile(folder));
}

bool LinuxSystemShell::openSettingsPane(SettingsPane pane) {
    qCDebug(lcApp) << "No settings pane to open on this desktop:" << static_cast<int>(pane);
    return false;
}

bool LinuxSystemShell::startDetached(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!virtualDesktopMark().isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(virtualDesktopMarkName),
                           QString::fromLocal8Bit(virtualDesktopMark()));
        process.setProcessEnvironment(environment);
    }
    return process.startDetached();
}

bool LinuxSystemShell::runToCompletion(const QString& program, const QStringList& arguments) {
    QProcess process;
    // Nobody reads the output: discard it rather than buffer it.
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(-1))
        return false;
    process.waitForFinished(-1);
    return true;
}

Seconds LinuxSystemShell::systemUptime() const {
    QFile file(QStringLiteral("/proc/uptime"));
    if (file.open(QIODevice::ReadOnly)) {
        bool ok = false;
        const double seconds = file.readLine().split(' ').value(0).toDouble(&ok);
        if (ok && seconds >= 0)
            return Seconds(seconds);
    }
    // Without /proc (a restricted sandbox), the boot-time clock counts the same thing.
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) == 0)
        return Seconds(now.tv_sec + now.tv_nsec / 1e9);
    return Seconds(0);
}

QString LinuxSystemShell::executablePath() const {
    return QCoreApplication::applicationFilePath();
}

qint64 LinuxSystemShell::processID() const {
    return QCoreApplication::applicationPid();
}

} // namespace corvane
