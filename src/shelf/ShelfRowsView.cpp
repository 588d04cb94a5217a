#include "shelf/ShelfRowsView.h"

#include "core/Colors.h"
#include "core/SettingKeys.h"
#include "core/Settings.h"
#include "platform/SystemShell.h"
#include "shelf/FileShelf.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace corvane {

ShelfRowsView::ShelfRowsView(const ShelfServices& services, qreal rowWidth, QWidget* parent)
    : QWidget(parent), m_services(services), m_rowWidth(rowWidth) {
    connect(&m_services.files, &FileShelf::foldersChanged, this, &ShelfRowsView::reload);
    onSettingChange(
        m_services.settings, this, [this] { reload(); }, SettingKeys::showTray, SettingKeys::showFiles,
        SettingKeys::stripShowTray, SettingKeys::stripShowFolders, SettingKeys::sidebarAccent);
    reload();
}

QColor ShelfRowsView::accent() const {
    if (m_services.settings.sidebarAccent() == AccentChoice::system)
        return QGuiApplication::palette().color(QPalette::Highlight);
    return brandColor();
}

std::vector<ShelfSource> ShelfRowsView::shownSources() const {
    const Settings& settings = m_services.settings;
    std::vector<ShelfSource> shown;
    for (const ShelfSource& source : shelfSources(m_services.settings, m_services.files)) {
        if (source.isTray() ? settings.stripShowTray() : settings.stripShowFolders())
            shown.push_back(source);
    }
    return shown;
}

int ShelfRowsView::heightFor(qsizetype rowCount) {
    if (rowCount < 1)
        return 0;
    return static_cast<int>(ShelfRow::rowHeight * rowCount + rowSpacing * (rowCount - 1));
}

QSize ShelfRowsView::sizeHint() const {
    return QSize(static_cast<int>(std::lround(m_rowWidth)), heightFor(m_rows.size()));
}

void ShelfRowsView::setRowWidth(qreal width) {
    if (width == m_rowWidth)
        return;
    m_rowWidth = width;
    for (ShelfRow* row : std::as_const(m_rows))
        row->setRowWidth(width);
    updateGeometry();
    placeRows();
}

void ShelfRowsView::reload() {
    const std::vector<ShelfSource> sources = shownSources();
    const QColor rowAccent = accent();
    QList<ShelfRow*> old = m_rows;
    QList<ShelfRow*> rows;
    for (const ShelfSource& source : sources) {
        // A row stays with its source, so the pointer over it keeps it highlighted. A folder pinned
        // twice has two rows.
        const auto kept =
            std::find_if(old.begin(), old.end(), [&](ShelfRow* row) { return row->source() == source; });
        ShelfRow* row = nullptr;
        if (kept != old.end()) {
            row = *kept;
            old.erase(kept);
            row->setAccent(rowAccent);
        } else {
            row = new ShelfRow(source, m_services, rowAccent, m_rowWidth, this);
            row->show();
        }
        rows.push_back(row);
    }
    for (ShelfRow* gone : std::as_const(old))
        delete gone;

    const bool resized = rows.size() != m_rows.size();
    m_rows = rows;
    if (resized)
        updateGeometry();
    placeRows();
}

void ShelfRowsView::placeRows() {
    int y = 0;
    for (ShelfRow* row : std::as_const(m_rows)) {
        row->move(0, y);
        y += ShelfRow::rowHeight + rowSpacing;
    }
}

void ShelfRowsView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The strip gives the view the width of its column, which is the rows' width.
    setRowWidth(width());
}

} // namespace corvane
