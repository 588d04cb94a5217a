#include "shelf/FileListView.h"

#include "shelf/FileListGlyph.h"
#include "shelf/FileListHeader.h"
#include "shelf/FileRowView.h"
#include "shelf/FileShelf.h"
#include "shelf/ShelfListModel.h"
#include "shelf/ShelfTransfer.h"

#include <QDragEnterEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>

namespace corvane {

namespace {

QColor withAlpha(QColor color, qreal alpha) {
    color.setAlphaF(alpha);
    return color;
}

// A glyph in a fixed box, for the search row and the empty state.
class GlyphView : public QWidget {
public:
    GlyphView(std::function<QString()> glyph, int side, qreal alpha, QWidget* parent)
        : QWidget(parent), m_glyph(std::move(glyph)), m_alpha(alpha) {
        setFixedSize(side, side);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        drawFileListGlyph(painter, m_glyph(), QRectF(rect()),
                          withAlpha(palette().color(QPalette::WindowText), m_alpha));
    }

private:
    std::function<QString()> m_glyph;
    qreal m_alpha;
};

// The search field's rounded well.
class SearchWell : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), 6, 6);
        painter.fillPath(path, withAlpha(palette().color(QPalette::WindowText), 0.06));
    }
};

// The outline over the whole list: a thin light edge, the accent while files hover a Tray list.
class DropBorder : public QWidget {
public:
    DropBorder(const bool& targeted, const QColor& accent, QWidget* parent)
        : QWidget(parent), m_targeted(targeted), m_accent(accent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal width = m_targeted ? 2.0 : 0.5;
        painter.setPen(QPen(m_targeted ? m_accent : QColor(255, 255, 255, 31), width));
        const QRectF inside = QRectF(rect()).adjusted(width / 2, width / 2, -width / 2, -width / 2);
        painter.drawRoundedRect(inside, 14 - width / 2, 14 - width / 2);
    }

private:
    const bool& m_targeted;
    const QColor& m_accent;
};

} // namespace

FileListView::FileListView(ShelfListModel& model, FileShelf& shelf, SystemShell& shell, bool isFloating,
                           FileListActions actions, QColor accent, QWidget* parent)
    : QWidget(parent), m_model(model), m_shelf(shelf), m_shell(shell), m_actions(std::move(actions)),
      m_accent(std::move(accent)) {
    setAcceptDrops(true);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_header = new FileListHeader(model, shelf, shell, isFloating, m_actions, m_accent, this);
    column->addWidget(m_header);

    m_searchRow = new QWidget(this);
    auto* searchOuter = new QHBoxLayout(m_searchRow);
    searchOuter->setContentsMargins(8, 0, 8, 6);
    auto* well = new SearchWell(m_searchRow);
    well->setFixedHeight(22);
    auto* searchLine = new QHBoxLayout(well);
    searchLine->setContentsMargins(7, 0, 7, 0);
    searchLine->setSpacing(5);
    searchLine->addWidget(new GlyphView([] { return QStringLiteral("magnifyingglass"); }, 11, 0.4, well));
    m_search = new QLineEdit(well);
    m_search->setPlaceholderText(QStringLiteral("Search"));
    m_search->setFrame(false);
    m_search->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_search->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
    QFont searchFont = m_search->font();
    searchFont.setPointSizeF(8.5);
    m_search->setFont(searchFont);
    connect(m_search, &QLineEdit::textEdited, this, [this](const QString& text) { m_model.setQuery(text); });
    searchLine->addWidget(m_search, 1);
    searchOuter->addWidget(well);
    column->addWidget(m_searchRow);

    auto* divider = new QWidget(this);
    divider->setFixedHeight(1);
    divider->setAutoFillBackground(true);
    QPalette dividerPalette = divider->palette();
    dividerPalette.setColor(QPalette::Window, withAlpha(palette().color(QPalette::WindowText), 0.1));
    divider->setPalette(dividerPalette);
    column->addWidget(divider);

    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->viewport()->setAutoFillBackground(false);
    auto* rowsHost = new QWidget;
    m_rowsLayout = new QVBoxLayout(rowsHost);
    m_rowsLayout->setContentsMargins(6, 6, 6, 6);
    m_rowsLayout->setSpacing(1);
    m_rowsLayout->addStretch(1);
    m_scroll->setWidget(rowsHost);
    // The scroll area fills the widget it is given with the window colour: the rows lie on the
    // panel's own material instead.
    rowsHost->setAutoFillBackground(false);
    column->addWidget(m_scroll, 1);

    m_empty = new QWidget(this);
    auto* emptyColumn = new QVBoxLayout(m_empty);
    emptyColumn->setContentsMargins(16, 16, 16, 16);
    emptyColumn->setSpacing(6);
    emptyColumn->addStretch(1);
    m_emptySymbol = new GlyphView(
        [this] {
            return m_model.source().isTray() ? QStringLiteral("tray.and.arrow.down")
                                             : QStringLiteral("folder");
        },
        26, 0.5, m_empty);
    emptyColumn->addWidget(m_emptySymbol, 0, Qt::AlignHCenter);
    m_emptyLabel = new QLabel(m_empty);
    m_emptyLabel->setAlignment(Qt::AlignCenter);
    m_emptyLabel->setWordWrap(true);
    emptyColumn->addWidget(m_emptyLabel);
    emptyColumn->addStretch(1);
    column->addWidget(m_empty, 1);

    m_footer = new QLabel(this);
    m_footer->setFixedHeight(20);
    m_footer->setAlignment(Qt::AlignCenter);
    QFont footerFont = m_footer->font();
    footerFont.setPointSizeF(7.5);
    m_footer->setFont(footerFont);
    m_footer->setAutoFillBackground(true);
    QPalette footerPalette = m_footer->palette();
    footerPalette.setColor(QPalette::Window, withAlpha(palette().color(QPalette::WindowText), 0.05));
    m_footer->setPalette(footerPalette);
    column->addWidget(m_footer);

    m_border = new DropBorder(m_dropTargeted, m_accent, this);

    connect(&m_model, &ShelfListModel::filesChanged, this, &FileListView::updateRows);
    connect(&m_model, &ShelfListModel::selectionChanged, this, &FileListView::refresh);
    connect(&m_model, &ShelfListModel::queryChanged, this, [this] {
        if (m_search->text() != m_model.query())
            m_search->setText(m_model.query());
        refresh();
    });
    connect(&m_shelf, &FileShelf::trayChanged, this, &FileListView::refresh);
    updateRows();
}

bool FileListView::showsSearch() const {
    return !m_model.source().isTray() || !m_shelf.tray().isEmpty();
}

void FileListView::updateRows() {
    // Rows are kept by path: a listing that changed a few entries moves, adds and removes only
    // those rows, and a row under the pointer or in the middle of a click stays the same widget.
    QHash<QString, FileRowView*> byPath;
    for (FileRowView* row : std::as_const(m_rows))
        byPath.insert(row->id(), row);
    QList<FileRowView*> rows;
    rows.reserve(static_cast<qsizetype>(m_model.files().size()));
    for (const ShelfFile& file : m_model.files())
        rows.append(byPath.take(file.id()));
    // A row whose file left the list shows a file that came in, rather than a new widget.
    auto spare = byPath.begin();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const ShelfFile& file = m_model.files()[static_cast<std::size_t>(i)];
        if (rows[i]) {
            rows[i]->setFile(file);
        } else if (spare != byPath.end()) {
            rows[i] = *spare;
            rows[i]->setFile(file);
            spare = byPath.erase(spare);
        } else {
            rows[i] = new FileRowView(file, m_model, m_shelf, m_shell, m_actions);
            rows[i]->setAccent(m_accent);
        }
    }
    for (FileRowView* gone : std::as_const(byPath))
        delete gone;
    for (int i = 0; i < rows.size(); ++i) {
        const QLayoutItem* item = m_rowsLayout->itemAt(i);
        if (item && item->widget() == rows[i])
            continue;
        m_rowsLayout->removeWidget(rows[i]);
        m_rowsLayout->insertWidget(i, rows[i]);
    }
    m_rows = std::move(rows);
    refresh();
}

void FileListView::refresh() {
    m_searchRow->setVisible(showsSearch());
    const bool empty = m_model.files().empty();
    m_scroll->setVisible(!empty);
    // Until the first listing lands, the list is not known to be empty.
    m_empty->setVisible(empty && m_model.isListed());
    if (m_model.source().isTray())
        m_emptyLabel->setText(QStringLiteral("Drop files here to keep them handy"));
    else if (m_model.isFolderMissing())
        m_emptyLabel->setText(QStringLiteral("Folder is missing"));
    else
        m_emptyLabel->setText(m_model.query().isEmpty() ? QStringLiteral("Folder is empty")
                                                        : QStringLiteral("No matches"));
    const qsizetype selected = m_model.selection().size();
    m_footer->setText(QStringLiteral("%1 selected · drag or Space").arg(selected));
    m_footer->setHidden(selected < 2);
}

void FileListView::setAccent(const QColor& accent) {
    if (accent == m_accent)
        return;
    m_accent = accent;
    m_header->setAccent(accent);
    for (FileRowView* row : std::as_const(m_rows))
        row->setAccent(accent);
    m_border->update();
}

void FileListView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_border->setGeometry(rect());
    m_border->raise();
}

void FileListView::setDropTargeted(bool targeted) {
    if (targeted == m_dropTargeted)
        return;
    m_dropTargeted = targeted;
    m_border->update();
}

void FileListView::dragEnterEvent(QDragEnterEvent* event) {
    // Only the Tray takes files, and only local ones: it keeps paths.
    if (!m_model.source().isTray() || localFileUrls(*event->mimeData()).isEmpty())
        return event->ignore();
    setDropTargeted(true);
    event->acceptProposedAction();
}

void FileListView::dragLeaveEvent(QDragLeaveEvent* event) {
    setDropTargeted(false);
    QWidget::dragLeaveEvent(event);
}

void FileListView::dropEvent(QDropEvent* event) {
    setDropTargeted(false);
    const QList<QUrl> files = localFileUrls(*event->mimeData());
    if (!m_model.source().isTray() || files.isEmpty())
        return event->ignore();
    m_shelf.addToTray(files);
    event->acceptProposedAction();
}

} // namespace corvane
