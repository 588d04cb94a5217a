#pragma once

#include "shelf/ShelfRow.h"
#include "shelf/ShelfServices.h"
#include "shelf/ShelfSource.h"

#include <QColor>
#include <QList>
#include <QWidget>

namespace corvane {

// The strip's shelf rows: one row per shelf source the strip shows (the Tray when the strip shows
// it, each pinned folder when the strip shows folders), in the application's order of sources, 2
// apart. The strip draws the separator above them. Its height is the rows' and their gaps' as the
// strip's size arithmetic counts them; none without rows.
class ShelfRowsView : public QWidget {
    Q_OBJECT
public:
    static constexpr int rowSpacing = 2;

    // `rowWidth` is the strip's thumbnail width. The rows then take the view's width whenever it
    // is resized, so the strip sets the width by placing the view.
    ShelfRowsView(const ShelfServices& services, qreal rowWidth, QWidget* parent = nullptr);

    void setRowWidth(qreal width);
    qreal rowWidth() const { return m_rowWidth; }
    // The strip's accent: the brand colour unless the user chose the desktop's.
    QColor accent() const;

    const QList<ShelfRow*>& rows() const { return m_rows; }
    // The sources the rows show, in order.
    std::vector<ShelfSource> shownSources() const;

    static int heightFor(qsizetype rowCount);
    QSize sizeHint() const override;

    // Reads the sources again, keeping the rows of sources that stay (and their hover state).
    void reload();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeRows();

    ShelfServices m_services;
    qreal m_rowWidth;
    QList<ShelfRow*> m_rows;
};

} // namespace corvane
