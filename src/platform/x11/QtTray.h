#pragma once

#include "platform/Tray.h"

namespace corvane {

// The X11 system tray (the freedesktop XEmbed tray, or a StatusNotifier host where Qt finds
// one), through QSystemTrayIcon. Qt re-embeds its icons whenever a tray host starts; this class
// follows the host through the same notice Qt gets from its xcb plugin.
class QtTray final : public Tray {
    Q_OBJECT
public:
    QtTray();

    bool isAvailable() const override { return m_available; }
    std::unique_ptr<TrayIcon> makeIcon(const QString& name) override;

private Q_SLOTS:
    void trayHostChanged();

private:
    bool m_available = false;
};

} // namespace corvane
