#pragma once

#include <QIcon>
#include <QObject>
#include <QRect>
#include <QString>

#include <memory>

class QMenu;

namespace corvane {

// One icon of the product in the desktop's tray, with the menu it opens. Main thread only.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    // Why an icon stopped showing: no tray host runs (none started, or it quit), or the user
    // took it away. X11 trays never let a user remove an icon, so only fakes say the latter.
    enum class HideReason { hostUnavailable, removedByUser };

    virtual void setIcon(const QIcon& icon) = 0;
    virtual void setToolTip(const QString& text) = 0;
    // What assistive technology reads out for the icon, which shows no text of its own.
    virtual void setAccessibleName(const QString& text) = 0;
    // The menu a click opens; not owned, so it must outlive the icon or be set back to null.
    // Without a menu a click emits `activated` instead.
    virtual void setMenu(QMenu* menu) = 0;
    virtual QMenu* menu() const = 0;
    // Whether the icon shows in a tray right now.
    virtual bool isVisible() const = 0;
    // Where the icon shows, in screen coordinates; empty where the tray does not say (a
    // StatusNotifier host draws the icon itself and keeps its place to itself).
    virtual QRect geometry() const = 0;

Q_SIGNALS:
    void activated();
    void shown();
    void hidden(corvane::TrayIcon::HideReason reason);
};

// The desktop's tray: it makes icons and says whether a tray host runs. An icon made while none
// runs waits and shows once one starts.
class Tray : public QObject {
    Q_OBJECT
public:
    virtual bool isAvailable() const = 0;
    // A new icon, shown at once where a tray host runs. `name` identifies it between runs
    // ("corvane.clipboard").
    virtual std::unique_ptr<TrayIcon> makeIcon(const QString& name) = 0;

Q_SIGNALS:
    void availabilityChanged(bool available);
};

} // namespace corvane
