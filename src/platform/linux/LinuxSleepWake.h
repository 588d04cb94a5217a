#pragma once

#include "platform/SleepWake.h"

#include <QDBusConnection>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <optional>

namespace corvane {

class X11ScreenSaverWatch;

// The machine's sleep and wake from logind's PrepareForSleep on the system bus, the X screen
// saver from `screenSaver` where one is given, and this session losing and regaining the screen
// from its Active property. Without logind, without a session of this process, or without a
// system bus, only the screen saver is reported.
class LinuxSleepWake final : public SleepWake {
    Q_OBJECT
public:
    explicit LinuxSleepWake(QDBusConnection bus = QDBusConnection::systemBus(),
                            std::unique_ptr<X11ScreenSaverWatch> screenSaver = nullptr);
    ~LinuxSleepWake() override;

private Q_SLOTS:
    void prepareForSleep(bool start);
    void sessionPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                  const QStringList& invalidated);

private:
    void findSession();
    void readActive();
    void applyActive(bool active);

    QDBusConnection m_bus;
    std::unique_ptr<X11ScreenSaverWatch> m_screenSaver;
    QString m_sessionPath;
    std::optional<bool> m_sessionActive;
};

} // namespace corvane
