#include "support/SoundServer.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

namespace corvane::testing {

SoundServer::SoundServer(bool startNow) {
    if (startNow)
        start();
}

QString SoundServer::socketPath() const {
    return m_home.path() + QStringLiteral("/runtime/native");
}

bool SoundServer::start() {
    const QString runtime = m_home.path() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString socket = socketPath();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), m_home.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.remove(QStringLiteral("PULSE_SERVER"));
    m_server.setProcessEnvironment(environment);
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start(QStringLiteral("pulseaudio"),
                   {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                    QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--log-level=error"),
                    QStringLiteral("-L"), QStringLiteral("module-null-sink"), QStringLiteral("-L"),
                    QStringLiteral("module-native-protocol-unix socket=") + socket});
    if (!m_server.waitForStarted(5000))
        return false;
    m_address = QStringLiteral("unix:") + socket;
    m_running = QTest::qWaitFor([&] { return QFileInfo::exists(socket) && volumePercent() >= 0; }, 30000);
    if (m_running)
        qputenv("PULSE_SERVER", m_address.toLocal8Bit());
    return m_running;
}

void SoundServer::kill() {
    m_server.kill();
    m_server.waitForFinished(3000);
    m_running = false;
}

SoundServer::~SoundServer() {
    qunsetenv("PULSE_SERVER");
    m_server.terminate();
    if (!m_server.waitForFinished(3000))
        m_server.kill();
    m_server.waitForFinished(1000);
}

QString SoundServer::pactl(const QStringList& arguments) const {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PULSE_SERVER"), m_address);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("pactl"), arguments);
    if (!process.waitForFinished(5000) || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

void SoundServer::setVolumePercent(int percent) const {
    pactl({QStringLiteral("set-sink-volume"), QStringLiteral("@DEFAULT_SINK@"),
           QStringLiteral("%1%").arg(percent)});
}

int SoundServer::volumePercent() const {
    const QString text = pactl({QStringLiteral("get-sink-volume"), QStringLiteral("@DEFAULT_SINK@")});
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("(\\d+)%")).match(text);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

bool SoundServer::isMuted() const {
    return pactl({QStringLiteral("get-sink-mute"), QStringLiteral("@DEFAULT_SINK@")})
        .contains(QLatin1String("yes"));
}

} // namespace corvane::testing
