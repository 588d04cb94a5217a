#pragma once

#include "platform/Tray.h"

#include <QMenu>
#include <QPointer>

#include <vector>

namespace corvane {

class FakeTray;

// An icon in the fake tray. A test reads what the product gave it, clicks it, or takes it away
// as a user could where the desktop allows that.
class FakeTrayIcon final : public TrayIcon {
    Q_OBJECT
public:
    FakeTrayIcon(FakeTray& tray, QString name);

    void setIcon(const QIcon& icon) override { m_icon = icon; }
    void setToolTip(const QString& text) override { m_toolTip = text; }
    void setAccessibleName(const QString& text) override { m_accessibleName = text; }
    void setMenu(QMenu* menu) override { m_menu = menu; }
    QMenu* menu() const override { return m_menu; }
    bool isVisible() const override { return m_visible; }
    QRect geometry() const override { return m_visible ? m_geometry : QRect(); }

    const QString& name() const { return m_name; }
    const QIcon& icon() const { return m_icon; }
    const QString& toolTip() const { return m_toolTip; }
    const QString& accessibleName() const { return m_accessibleName; }

    // A primary click: opens the icon's menu, or emits `activated` when it has none.
    void click();
    // Where the tray shows the icon; an empty rectangle for a tray that does not say.
    void setGeometry(const QRect& geometry) { m_geometry = geometry; }
    // The user drags the icon out of the tray.
    void removeByUser();
    // Follows the tray host coming and going.
    void setHostAvailable(bool available);

private:
    QString m_name;
    QIcon m_icon;
    QString m_toolTip;
    QString m_accessibleName;
    QPointer<QMenu> m_menu;
    QRect m_geometry;
    bool m_visible = false;
    bool m_removedByUser = false;
};

// A tray whose host a test starts and stops.
class FakeTray final : public Tray {
    Q_OBJECT
public:
    bool isAvailable() const override { return m_available; }
    std::unique_ptr<TrayIcon> makeIcon(const QString& name) override;

    // Starts or stops the tray host: live icons hide or show, `availabilityChanged` follows.
    void setAvailable(bool available);
    // The live icon made under `name`, or null.
    FakeTrayIcon* icon(const QString& name) const;
    // How many icons are alive.
    int iconCount() const;

private:
    bool m_available = true;
    std::vector<QPointer<FakeTrayIcon>> m_icons;
};

} // namespace corvane
