#include "platform/x11/QtTray.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWheelEvent>
#include <QWidget>

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
            if (available) {
                // Qt embeds its widget for the icon on the same notice: name it once that is done.
                QMetaObject::invokeMethod(
                    this, [this] { nameEmbeddedWidget(); }, Qt::QueuedConnection);
                Q_EMIT shown();
            } else
                Q_EMIT hidden(HideReason::hostUnavailable);
        });
    }

    // Qt refuses to show an icon without a picture: the icon goes up with its first one.
    void setIcon(const QIcon& icon) override {
        m_icon.setIcon(icon);
        m_icon.show();
        nameEmbeddedWidget();
    }
    void setToolTip(const QString& text) override { m_icon.setToolTip(text); }
    void setAccessibleName(const QString& text) override {
        m_accessibleName = text;
        nameEmbeddedWidget();
    }
    void setMenu(QMenu* menu) override {
        m_menu = menu;
        m_icon.setContextMenu(menu);
    }
    QMenu* menu() const override { return m_menu; }
    bool isVisible() const override { return m_available; }
    // An XEmbed tray holds the icon in a window of Qt's own, whose place the server tells.
    QRect geometry() const override { return m_available ? m_icon.geometry() : QRect(); }

private:
    // QSystemTrayIcon offers no accessible name. In an XEmbed tray Qt embeds a small widget of
    // its own for each icon (a new one whenever a tray host starts), and that widget carries the
    // name. Nothing public links the two, and Qt lists its top-level widgets in no set order; but
    // each such widget hands the wheel events it gets to its own icon, so a wheel event sent to
    // each in turn finds this icon's. A StatusNotifier host names icons by the program.
    void nameEmbeddedWidget() {
        if (m_accessibleName.isEmpty() || !m_icon.isVisible())
            return;
        if (!m_embedded)
            m_embedded = embeddedWidget();
        if (m_embedded)
            m_embedded->setAccessibleName(m_accessibleName);
    }

    QWidget* embeddedWidget() {
        WheelCatcher catcher;
        m_icon.installEventFilter(&catcher);
        QWidget* found = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() != QLatin1String("QSystemTrayIconSys"))
                continue;
            QWheelEvent probe(QPointF(), QPointF(), QPoint(), QPoint(), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            // Straight to the widget: the application drops wheel events for other windows while
            // a menu is open.
            static_cast<QObject*>(widget)->event(&probe);
            if (catcher.caught) {
                found = widget;
                break;
            }
        }
        m_icon.removeEventFilter(&catcher);
        return found;
    }

    // Takes the wheel events that reach the icon it watches, and notes that one came.
    struct WheelCatcher : QObject {
        bool caught = false;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() != QEvent::Wheel)
                return false;
            caught = true;
            return true;
        }
    };

    QSystemTrayIcon m_icon;
    QString m_accessibleName;
    QPointer<QWidget> m_embedded;
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
