#include "shelf/FileListHeader.h"

#include "platform/SystemShell.h"
#include "shelf/FileContextMenu.h"
#include "shelf/FileListGlyph.h"
#include "shelf/FileShelf.h"
#include "shelf/ShelfListModel.h"
#include "shelf/ShelfPath.h"
#include "shelf/ShelfSymbol.h"
#include "shelf/WindowDragHandle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace corvane {

namespace {

// The symbol before the title: the Tray's in the accent colour, a folder's in blue.
class SourceSymbol : public QWidget {
public:
    SourceSymbol(const ShelfListModel& model, const QColor& accent, QWidget* parent)
        : QWidget(parent), m_model(model), m_accent(accent) {
        setFixedSize(16, 18);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const bool tray = m_model.source().isTray() && m_model.trail().isEmpty();
        drawShelfSymbol(painter, tray ? QStringLiteral("tray.fill") : QStringLiteral("folder.fill"),
                        QRectF(rect()).adjusted(1, 3, -1, -3),
                        tray ? m_accent : QColor::fromRgbF(0.27f, 0.6f, 0.98f));
    }

private:
    const ShelfListModel& m_model;
    const QColor& m_accent;
};

} // namespace

// Asks for the whole title, and draws what the header leaves it cut at the end with an
// ellipsis, never through a letter.
class FileListHeader::Title : public QWidget {
public:
    explicit Title(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    void setText(const QString& text) {
        if (text == m_text)
            return;
        m_text = text;
        updateGeometry();
        update();
    }
    const QString& text() const { return m_text; }
    QString shownText() const { return fontMetrics().elidedText(m_text, Qt::ElideRight, width()); }
    QSize sizeHint() const override {
        return {fontMetrics().horizontalAdvance(m_text) + 1, fontMetrics().height()};
    }
    QSize minimumSizeHint() const override { return {20, fontMetrics().height()}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, shownText());
    }

private:
    QString m_text;
};

GlyphButton::GlyphButton(QString glyph, QString tip, qreal glyphSize, bool primary, QWidget* parent)
    : QAbstractButton(parent), m_glyph(std::move(glyph)), m_glyphSize(glyphSize), m_primary(primary) {
    setFixedSize(18, 18);
    setToolTip(tip);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void GlyphButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor tint = palette().color(QPalette::WindowText);
    if (!m_primary)
        tint.setAlphaF(isDown() ? 0.9 : (underMouse() ? 0.75 : 0.55));
    const QRectF box(QPointF(0, 0), QSizeF(m_glyphSize, m_glyphSize));
    drawFileListGlyph(painter, m_glyph, box.translated(QRectF(rect()).center() - box.center()), tint);
}

FileListHeader::FileListHeader(ShelfListModel& model, FileShelf& shelf, SystemShell& shell, bool isFloating,
                               FileListActions actions, QColor accent, QWidget* parent)
    : QWidget(parent), m_model(model), m_shelf(shelf), m_accent(std::move(accent)) {
    setFixedHeight(30);
    // Lies behind the header's children, so that only its empty parts move the panel.
    m_dragHandle = new WindowDragHandle(this);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 0, 10, 0);
    row->setSpacing(6);

    m_back = new GlyphButton(QStringLiteral("chevron.left"), QStringLiteral("Back (Ctrl+↑)"), 11, true, this);
    connect(m_back, &QAbstractButton::clicked, this, [this] { m_model.goBack(); });
    m_symbol = new SourceSymbol(model, m_accent, this);
    m_title = new Title(this);
    m_title->setObjectName(QStringLiteral("title"));
    QFont titleFont = font();
    titleFont.setPointSizeF(9.5);
    titleFont.setWeight(QFont::DemiBold);
    m_title->setFont(titleFont);
    m_count = new QLabel(this);
    QFont countFont = font();
    countFont.setPointSizeF(7.5);
    countFont.setWeight(QFont::Medium);
    m_count->setFont(countFont);
    m_count->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette secondary = m_count->palette();
    QColor dim = secondary.color(QPalette::WindowText);
    dim.setAlphaF(0.55);
    secondary.setColor(QPalette::WindowText, dim);
    m_count->setPalette(secondary);

    m_trash = new GlyphButton(QStringLiteral("trash"),
                              QStringLiteral("Empty tray (files stay where they are)"), 11, false, this);
    connect(m_trash, &QAbstractButton::clicked, this, [this] { m_shelf.clearTray(); });
    if (!model.source().isTray()) {
        m_open =
            new GlyphButton(QStringLiteral("open"), QStringLiteral("Open in File Manager"), 11, false, this);
        const QString folder = model.source().path;
        connect(m_open, &QAbstractButton::clicked, this, [&shell, folder, report = actions.reportFailure] {
            const ShellOutcome outcome = shell.openUrl(QUrl::fromLocalFile(folder).toString());
            if (outcome.failure && report)
                report(folderFailureMessage(folder, *outcome.failure));
        });
    }
    m_float = new GlyphButton(isFloating ? QStringLiteral("unfloat") : QStringLiteral("float"),
                              isFloating ? QStringLiteral("Back into the strip")
                                         : QStringLiteral("Float on top of all apps"),
                              11, false, this);
    connect(m_float, &QAbstractButton::clicked, this, [toggle = actions.toggleFloat] {
        if (toggle)
            toggle();
    });
    m_close = new GlyphButton(QStringLiteral("xmark"), QStringLiteral("Close"), 10, false, this);
    connect(m_close, &QAbstractButton::clicked, this, [close = actions.close] {
        if (close)
            close();
    });

    row->addWidget(m_back);
    row->addWidget(m_symbol);
    row->addWidget(m_title, 0);
    row->addWidget(m_count);
    row->addStretch(1);
    row->addWidget(m_trash);
    if (m_open)
        row->addWidget(m_open);
    row->addWidget(m_float);
    row->addWidget(m_close);

    connect(&m_model, &ShelfListModel::filesChanged, this, &FileListHeader::refresh);
    connect(&m_model, &ShelfListModel::trailChanged, this, &FileListHeader::refresh);
    connect(&m_shelf, &FileShelf::trayChanged, this, &FileListHeader::refresh);
    refresh();
}

QString FileListHeader::countText(int count) {
    return count >= 300 ? QStringLiteral("300+") : QString::number(count);
}

QString FileListHeader::titleText() const {
    return m_title->text();
}

QString FileListHeader::shownTitle() const {
    return m_title->shownText();
}

void FileListHeader::refresh() {
    m_back->setVisible(!m_model.trail().isEmpty());
    m_trash->setVisible(m_model.source().isTray() && !m_shelf.tray().isEmpty());
    const QString title = shownName(m_model.title());
    m_title->setText(title);
    m_title->setToolTip(title);
    m_count->setText(countText(m_model.totalCount()));
    m_symbol->update();
}

void FileListHeader::setAccent(const QColor& accent) {
    m_accent = accent;
    m_symbol->update();
}

void FileListHeader::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_dragHandle->setGeometry(rect());
    m_dragHandle->lower();
}

} // namespace corvane
