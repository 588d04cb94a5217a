#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace corvane::testing {

// A bus of the test's own, standing for the system bus (and, where a test wants, the session
// bus), with mocked services started on demand. Everything it starts stops with the test.
class PrivateSystemBus : public ::testing::Test {
public:
    // How long a test waits for a service to come up or answer.
    static constexpr int kWaitMs = 10000;

protected:
    void SetUp() override;
    void TearDown() override;

    // Starts a program with the private bus as its system and session bus.
    QProcess* start(const QString& program, const QStringList& arguments);
    // Starts a mocked service from a template (a stock name or a .py path) and waits until it owns
    // its name; null when it did not come up.
    QProcess* mock(const QString& templateName, const QString& busName, const QString& parameters = {});
    // Starts a bare mock object with `busName` at `path` on the session side.
    QProcess* mockObject(const QString& busName, const QString& path, const QString& interface);

    QDBusMessage call(const QString& service, const QString& path, const QString& interface,
                      const QString& method, const QVariantList& arguments);
    void setProperty(const QString& service, const QString& path, const QString& interface,
                     const QString& name, const QVariant& value);

    QTemporaryDir m_dir;
    QString m_address;
    std::unique_ptr<QDBusConnection> m_bus;
    std::vector<std::unique_ptr<QProcess>> m_processes;

private:
    QProcess* waitForName(QProcess* process, const QString& busName);
};

} // namespace corvane::testing
