#pragma once

#include <QObject>
#include <QRect>

#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace corvane {

// The "files" icon in the desktop's tray. Its menu is rebuilt each time it opens.
class FilesStatusItem : public QObject {
    Q_OBJECT
public:
    explicit FilesStatusItem(std::function<void(QMenu&)> rebuildMenu, QObject* parent = nullptr);
    ~FilesStatusItem() override;

    // Where the icon sits on screen; empty when the tray does not say.
    QRect geometry() const;
    QMenu& menu() { return *m_menu; }

private:
    std::unique_ptr<QMenu> m_menu;
    QSystemTrayIcon* m_icon;
};

} // namespace corvane
