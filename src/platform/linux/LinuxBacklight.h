#pragma once

#include "platform/SoundOutput.h"

#include <QDBusConnection>
#include <QString>

namespace corvane {

// The built-in panel's backlight under /sys/class/backlight: read from its files, written through
// the login manager's SetBrightness on the user's session (the files themselves belong to root).
// Firmware interfaces are preferred over platform ones, and those over raw ones, as the kernel
// advises. Without such a panel (a desktop machine, a virtual display) it is unavailable.
class LinuxBacklight final : public Backlight {
public:
    explicit LinuxBacklight(QString root = QStringLiteral("/sys/class/backlight"),
                            QDBusConnection bus = QDBusConnection::systemBus());

    bool isAvailable() override { return !m_device.isEmpty(); }
    std::optional<float> brightness() override;
    bool setBrightness(float brightness) override;

    const QString& device() const { return m_device; }

private:
    std::optional<long long> readNumber(const QString& file) const;

    QString m_root;
    QDBusConnection m_bus;
    QString m_device;
};

} // namespace corvane
