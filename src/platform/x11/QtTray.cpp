#include "platform/x11/QtTray.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>

namespace corvane {
namespace {

class QtTrayIcon final : public TrayIcon {
public:
    QtTrayIcon(QtTray& tray, const QString& name) : m_available(tray.isAvailable()) {
        m_icon.setObjectName(name);
        connect(&m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            // A primary click opens the menu as the context click does; icons without a menu
            // take the click as their action.
            if (reason != QSystemTrayIcon::Trigger)
                return;
            if (m_menu)
                m_menu->popup(QCursor::pos());
            else
                Q_EMIT activated();
        });
        connect(&tray, &Tray::availabilityChanged, this, [this](bool available) {
            if (m_available == available)
                return;
            m_available = available;
            if (available)
                Q_EMIT shown();
            else
                Q_EMIT hidden(HideReason::hostUnavailable);
        });
    }

    // Qt refuses to show an icon without a picture: the icon goes up with its first one.
    void setIcon(const QIcon& icon) override {
        m_icon.setIcon(icon);
        m_icon.show();
    }
    void setToolTip(const QString& text) override { m_icon.setToolTip(text); }
    void setMenu(QMenu* menu) override {
        m_menu = menu;
        m_icon.setContextMenu(menu);
    }
    QMenu* menu() const override { return m_menu; }
    bool isVisible() const override { return m_available; }

private:
    QSystemTrayIcon m_icon;
    QPointer<QMenu> m_menu;
    bool m_available;
};

} // namespace

QtTray::QtTray() : m_available(QSystemTrayIcon::isSystemTrayAvailable()) {
    // The xcb plugin announces a new or vanished tray host with this signal of its native
    // interface; it has no typed declaration, so it is connected by name. Elsewhere (offscreen
    // tests) the connection fails and the first answer stands.
    QObject* native = reinterpret_cast<QObject*>(QGuiApplication::platformNativeInterface());
    if (native && native->metaObject()->indexOfSignal("systemTrayWindowChanged(QScreen*)") >= 0)
        connect(native, SIGNAL(systemTrayWindowChanged(QScreen*)), this, SLOT(trayHostChanged()));
}

void QtTray::trayHostChanged() {
    const bool available = QSystemTrayIcon::isSystemTrayAvailable();
    if (available == m_available)
        return;
    m_available = available;
    Q_EMIT availabilityChanged(available);
}

std::unique_ptr<TrayIcon> QtTray::makeIcon(const QString& name) {
    return std::make_unique<QtTrayIcon>(*this, name);
}

} // namespace corvane
