#include "shelf/FilesStatusItem.h"

#include "shelf/ShelfSymbol.h"

#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>

namespace corvane {

namespace {

QIcon folderIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    drawShelfSymbol(painter, QStringLiteral("folder.fill"), QRectF(3, 3, 26, 26), QColor(235, 235, 235));
    return QIcon(pixmap);
}

} // namespace

FilesStatusItem::FilesStatusItem(std::function<void(QMenu&)> rebuildMenu, QObject* parent)
    : QObject(parent), m_menu(std::make_unique<QMenu>()), m_icon(new QSystemTrayIcon(folderIcon(), this)) {
    m_icon->setToolTip(QStringLiteral("Tray & folders"));
    QMenu* menu = m_menu.get();
    connect(menu, &QMenu::aboutToShow, this, [menu, rebuildMenu] {
        menu->clear();
        rebuildMenu(*menu);
    });
    m_icon->setContextMenu(menu);
    // A left click opens the same menu as the right one.
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            m_menu->popup(m_icon->geometry().bottomLeft());
    });
    m_icon->show();
}

FilesStatusItem::~FilesStatusItem() = default;

QRect FilesStatusItem::geometry() const {
    return m_icon->geometry();
}

} // namespace corvane
