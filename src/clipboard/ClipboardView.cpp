#include "clipboard/ClipboardView.h"

#include "clipboard/ClipCard.h"
#include "clipboard/ClipboardHistory.h"
#include "clipboard/ClipboardPanelModel.h"
#include "core/SymbolImage.h"
#include "shelf/WindowDragHandle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>

namespace corvane {

namespace {

const char* capsuleStyle = "background: rgba(255,255,255,26); border-radius: 14px;";

// A row that a plain mouse wheel scrolls sideways; a mostly sideways gesture passes as it is.
class SidewaysScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;

protected:
    void wheelEvent(QWheelEvent* event) override {
        const QPoint delta = event->pixelDelta().isNull() ? event->angleDelta() : event->pixelDelta();
        if (std::abs(delta.x()) < std::abs(delta.y())) {
            QScrollBar* bar = horizontalScrollBar();
            bar->setValue(bar->value() - delta.y());
            event->accept();
            return;
        }
        QScrollArea::wheelEvent(event);
    }
};

QLabel* glyphLabel(const QString& name, const QColor& tint, int size, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setPixmap(symbolImage(name, tint, size, parent->devicePixelRatioF()));
    label->setFixedSize(size, size);
    label->setStyleSheet("background: transparent;");
    return label;
}

const QColor secondary(255, 255, 255, 140);

} // namespace

ClipboardView::ClipboardView(const ClipboardHistory& history, ClipboardPanelModel& model, QColor accent,
                             ClipboardViewActions actions, QWidget* parent)
    : QWidget(parent), m_history(history), m_model(model), m_accent(accent), m_actions(std::move(actions)) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::PlaceholderText, secondary);
    setPalette(palette);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 12, 0, 12);
    column->setSpacing(10);
    column->addWidget(makeHeader());

    m_empty = new QWidget(this);
    auto* emptyColumn = new QVBoxLayout(m_empty);
    emptyColumn->setSpacing(6);
    emptyColumn->addStretch();
    emptyColumn->addWidget(glyphLabel("doc.on.clipboard", secondary, 26, m_empty), 0, Qt::AlignHCenter);
    m_emptyMessage = new QLabel(m_empty);
    QFont messageFont = font();
    messageFont.setPixelSize(12);
    m_emptyMessage->setFont(messageFont);
    m_emptyMessage->setStyleSheet("color: rgba(255,255,255,140);");
    emptyColumn->addWidget(m_emptyMessage, 0, Qt::AlignHCenter);
    emptyColumn->addStretch();
    column->addWidget(m_empty, 1);

    m_row = new SidewaysScrollArea(this);
    m_row->setFrameShape(QFrame::NoFrame);
    m_row->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_row->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_row->setWidgetResizable(true);
    m_row->setStyleSheet("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }");
    m_rowContent = new QWidget;
    m_rowContent->setAttribute(Qt::WA_TranslucentBackground);
    m_rowLayout = new QHBoxLayout(m_rowContent);
    m_rowLayout->setContentsMargins(16, 0, 16, 0);
    m_rowLayout->setSpacing(12);
    m_rowLayout->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_row->setWidget(m_rowContent);
    column->addWidget(m_row, 1);

    connect(&history, &ClipboardHistory::itemsChanged, this, &ClipboardView::rebuild);
    connect(&model, &ClipboardPanelModel::queryChanged, this, &ClipboardView::rebuild);
    connect(&model, &ClipboardPanelModel::selectedIndexChanged, this, [this] { showSelection(true); });
    rebuild();
}

QWidget* ClipboardView::makeHeader() {
    m_header = new QWidget(this);
    // Behind everything in the header: pressing on its empty parts drags the strip.
    m_dragHandle = new WindowDragHandle(m_header);
    auto* row = new QHBoxLayout(m_header);
    row->setContentsMargins(16, 0, 16, 0);
    row->setSpacing(8);

    auto* capsule = new QWidget(m_header);
    capsule->setAttribute(Qt::WA_StyledBackground);
    capsule->setStyleSheet(capsuleStyle);
    capsule->setFixedHeight(28);
    capsule->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* capsuleRow = new QHBoxLayout(capsule);
    capsuleRow->setContentsMargins(10, 0, 10, 0);
    capsuleRow->setSpacing(6);
    capsuleRow->addWidget(glyphLabel("magnifyingglass", secondary, 11, capsule));
    m_search = new QLineEdit(capsule);
    m_search->setPlaceholderText(tr("Search clipboard"));
    m_search->setFrame(false);
    m_search->setFixedWidth(180);
    m_search->setStyleSheet("QLineEdit { background: transparent; color: white; font-size: 12px; }");
    m_search->setText(m_model.query());
    connect(m_search, &QLineEdit::textEdited, &m_model, &ClipboardPanelModel::setSearchText);
    capsuleRow->addWidget(m_search);
    row->addWidget(capsule);

    auto* title = new QWidget(m_header);
    title->setAttribute(Qt::WA_StyledBackground);
    title->setStyleSheet(capsuleStyle);
    title->setFixedHeight(28);
    title->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* titleRow = new QHBoxLayout(title);
    titleRow->setContentsMargins(12, 0, 12, 0);
    titleRow->setSpacing(6);
    titleRow->addWidget(glyphLabel("clock.arrow.circlepath", Qt::white, 12, title));
    auto* titleText = new QLabel(tr("Clipboard"), title);
    titleText->setStyleSheet("background: transparent; color: white; font-size: 12px; font-weight: 600;");
    titleRow->addWidget(titleText);
    row->addWidget(title);
    row->addStretch();

    m_clear = new QPushButton(tr("Clear"), m_header);
    m_clear->setFlat(true);
    m_clear->setCursor(Qt::PointingHandCursor);
    m_clear->setStyleSheet(
        "QPushButton { border: none; background: transparent; color: rgba(255,255,255,140);"
        " font-size: 11px; font-weight: 500; padding: 4px; }"
        "QPushButton:hover { color: white; }");
    connect(m_clear, &QPushButton::clicked, this, [this] {
        if (m_actions.clear)
            m_actions.clear();
    });
    row->addWidget(m_clear);

    auto* close = new QToolButton(m_header);
    close->setFixedSize(26, 26);
    close->setIcon(QIcon(symbolImage("xmark", secondary, 10, devicePixelRatioF())));
    close->setIconSize(QSize(10, 10));
    close->setAccessibleName(tr("Close"));
    close->setStyleSheet(
        "QToolButton { background: rgba(255,255,255,26); border: none; border-radius: 13px; }"
        "QToolButton:hover { background: rgba(255,255,255,50); }");
    connect(close, &QToolButton::clicked, this, [this] {
        if (m_actions.close)
            m_actions.close();
    });
    row->addWidget(close);
    m_dragHandle->lower();
    return m_header;
}

void ClipboardView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_dragHandle->setGeometry(m_header->rect());
}

std::vector<ClipCard*> ClipboardView::cards() const {
    std::vector<ClipCard*> found;
    for (int i = 0; i < m_rowLayout->count(); ++i)
        if (auto* card = qobject_cast<ClipCard*>(m_rowLayout->itemAt(i)->widget()))
            found.push_back(card);
    return found;
}

QString ClipboardView::emptyMessage() const {
    return m_empty->isHidden() ? QString() : m_emptyMessage->text();
}

bool ClipboardView::showsClear() const {
    return !m_clear->isHidden();
}

void ClipboardView::rebuild() {
    const std::vector<ClipItem> shown = filteredClips(m_history.items(), m_model);
    // Cards go later: the one whose menu or click led here may still be on the stack.
    while (QLayoutItem* item = m_rowLayout->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    const int selected = m_model.selectedIndex();
    for (size_t i = 0; i < shown.size(); ++i) {
        const ClipItem& item = shown[i];
        std::optional<QIcon> icon;
        if (item.sourceBundleID && m_actions.sourceIcon)
            icon = m_actions.sourceIcon(*item.sourceBundleID);
        ClipCard::Actions actions{
            [this, item] {
                if (m_actions.choose)
                    m_actions.choose(item);
            },
            [this, item] {
                if (m_actions.copyOnly)
                    m_actions.copyOnly(item);
            },
            [this, id = item.id] {
                if (m_actions.remove)
                    m_actions.remove(id);
            },
        };
        m_rowLayout->addWidget(new ClipCard(item, static_cast<int>(i) == selected, m_accent, icon,
                                            std::move(actions), m_rowContent));
    }
    m_clear->setVisible(!m_history.items().empty());
    m_emptyMessage->setText(m_history.items().empty() ? tr("Copy something \u2014 it shows up here")
                                                      : tr("No matches"));
    m_empty->setVisible(shown.empty());
    m_row->setVisible(!shown.empty());
}

void ClipboardView::showSelection(bool scroll) {
    const std::vector<ClipCard*> all = cards();
    const int selected = m_model.selectedIndex();
    for (size_t i = 0; i < all.size(); ++i)
        all[i]->setSelected(static_cast<int>(i) == selected);
    if (!scroll || selected < 0 || selected >= static_cast<int>(all.size()))
        return;
    // The selected card stands in the middle of the row.
    m_rowContent->adjustSize();
    const ClipCard* card = all[static_cast<size_t>(selected)];
    const int centre = card->geometry().center().x();
    m_row->horizontalScrollBar()->setValue(centre - m_row->viewport()->width() / 2);
}

} // namespace corvane
