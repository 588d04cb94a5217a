#include "platform/linux/LinuxSystemShell.h"

#include "runtime/Log.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
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

void LinuxSystemShell::revealFiles(const QList<QUrl>& files, std::function<void(const ShellOutcome&)> done) {
    if (!done)
        done = [](const ShellOutcome&) {};
    if (files.isEmpty()) {
        done({QStringLiteral("there is nothing to show")});
        return;
    }
    // The freedesktop file-manager interface selects the files in a window of their folder; a
    // desktop without one gets the first file's folder opened. The bus starts a file manager that
    // is not running yet, or answers at once that there is none: nothing waits for either here.
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(files.first().toLocalFile()).absolutePath());
    QDBusConnection bus =
        m_busConnection.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(m_busConnection);
    if (!bus.isConnected()) {
        done(openLocalFile(folder));
        return;
    }
    static const QString service = QStringLiteral("org.freedesktop.FileManager1");
    QStringList uris;
    for (const QUrl& file : files)
        uris.append(file.toString(QUrl::FullyEncoded));
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/org/freedesktop/FileManager1"), service, QStringLiteral("ShowItems"));
    call << uris << QString();
    auto* answer = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(answer, &QDBusPendingCallWatcher::finished, answer,
                     [answer, folder, done = std::move(done)] {
                         answer->deleteLater();
                         const QDBusError error = answer->error();
                         if (!error.isValid())
                             done({});
                         else if (error.type() == QDBusError::ServiceUnknown ||
                                  error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
                             done(openLocalFile(folder));
                         else
                             done({error.message().isEmpty() ? error.name() : error.message()});
                     });
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
