#include "PrivateSystemBus.h"

#include <QDBusConnectionInterface>
#include <QDBusVariant>
#include <QFile>
#include <QProcessEnvironment>
#include <QTest>

namespace corvane::testing {

namespace {
const QString kConnectionName = QStringLiteral("corvane-test-system-bus");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
} // namespace

void PrivateSystemBus::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(
        QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                       "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">"
                       "<busconfig><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
                       "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                       "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
            .arg(m_dir.path())
            .toUtf8());
    config.close();
    QProcess* daemon = start(QStringLiteral("dbus-daemon"),
                             {QStringLiteral("--config-file=") + config.fileName(),
                              QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!daemon->waitForStarted(kWaitMs) || !daemon->waitForReadyRead(kWaitMs))
        GTEST_SKIP() << "no dbus-daemon";
    m_address = QString::fromUtf8(daemon->readLine()).trimmed();
    m_bus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(m_address, kConnectionName));
    ASSERT_TRUE(m_bus->isConnected());
}

void PrivateSystemBus::TearDown() {
    for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
        (*it)->kill();
        (*it)->waitForFinished(5000);
    }
    m_bus.reset();
    QDBusConnection::disconnectFromBus(kConnectionName);
}

QProcess* PrivateSystemBus::start(const QString& program, const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_address);
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->start(program, arguments);
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

QProcess* PrivateSystemBus::waitForName(QProcess* process, const QString& busName) {
    const bool up =
        QTest::qWaitFor([&] { return m_bus->interface()->isServiceRegistered(busName).value(); }, kWaitMs);
    return up ? process : nullptr;
}

QProcess* PrivateSystemBus::mock(const QString& templateName, const QString& busName,
                                 const QString& parameters) {
    QStringList arguments{QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--template"),
                          templateName};
    if (!parameters.isEmpty())
        arguments << QStringLiteral("-p") << parameters;
    // The interpreter with the D-Bus modules; another python3 may come first on PATH.
    return waitForName(start(QStringLiteral("/usr/bin/python3"), arguments), busName);
}

QProcess* PrivateSystemBus::mockObject(const QString& busName, const QString& path,
                                       const QString& interface) {
    return waitForName(start(QStringLiteral("/usr/bin/python3"),
                             {QStringLiteral("-m"), QStringLiteral("dbusmock"), busName, path, interface}),
                       busName);
}

QDBusMessage PrivateSystemBus::call(const QString& service, const QString& path, const QString& interface,
                                    const QString& method, const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return m_bus->call(message);
}

void PrivateSystemBus::setProperty(const QString& service, const QString& path, const QString& interface,
                                   const QString& name, const QVariant& value) {
    const QDBusMessage reply = call(service, path, kProperties, QStringLiteral("Set"),
                                    {interface, name, QVariant::fromValue(QDBusVariant(value))});
    ASSERT_NE(reply.type(), QDBusMessage::ErrorMessage) << reply.errorMessage().toStdString();
}

} // namespace corvane::testing
