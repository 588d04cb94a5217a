#include "clipboard/ClipboardView.h"

#include "clipboard/ClipCard.h"
#include "clipboard/ClipboardHistory.h"
#include "clipboard/ClipboardPanelModel.h"
#include "core/Animator.h"
#include "core/SymbolImage.h"
#include "shelf/WindowDragHandle.h"

#include <QCursor>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
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

constexpr int cardPitch = ClipCard::cardSize.width() + ClipboardView::cardSpacing;
// The row's way to the selected card.
const Motion scrollMotion = Motion::easeOut(Seconds(0.15));

int rowWidth(size_t count) {
    if (count == 0)
        return 0;
    const int n = static_cast<int>(count);
    return 2 * ClipboardView::rowInset + n * ClipCard::cardSize.width() +
           (n - 1) * ClipboardView::cardSpacing;
}

} // namespace

ClipboardView::ClipboardView(const ClipboardHistory& history, ClipboardPanelModel& model,
                             std::function<QColor()> accent, Animator& animator, ClipboardViewActions actions,
                             ClipPreviews* previews, QWidget* parent)
    : QWidget(parent), m_history(history), m_model(model), m_accent(std::move(accent)), m_animator(animator),
      m_actions(std::move(actions)), m_ownPreviews(previews ? nullptr : std::make_unique<ClipPreviews>()),
      m_previews(previews ? *previews : *m_ownPreviews) {
    connect(&m_previews, &ClipPreviews::ready, this, [this](const QUuid& id) {
        const ClipItem* item = itemWithID(id);
        if (ClipCard* card = m_cards.value(id); card && item)
            card->setPreview(m_previews.preview(*item));
    });
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
    // Typing always goes to the search field: a click on the row (or on "Clear") takes nothing.
    m_row->setFocusPolicy(Qt::NoFocus);
    m_row->setStyleSheet("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }");
    // Nothing of the row's own shows: it leaves its area to the strip's background unfilled.
    m_row->viewport()->setAutoFillBackground(false);
    // The row sizes its content itself: the scroll range follows at once.
    m_rowContent = new QWidget;
    m_rowContent->setAttribute(Qt::WA_TranslucentBackground);
    m_row->setWidget(m_rowContent);
    m_row->viewport()->installEventFilter(this);
    connect(m_row->horizontalScrollBar(), &QScrollBar::valueChanged, this, &ClipboardView::placeCards);
    column->addWidget(m_row, 1);

    connect(&history, &ClipboardHistory::itemsChanged, this, &ClipboardView::refilter);
    connect(&model, &ClipboardPanelModel::queryChanged, this, &ClipboardView::refilter);
    connect(&model, &ClipboardPanelModel::selectedIndexChanged, this, [this] { showSelection(true); });
    refilter();
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
    m_clear->setFocusPolicy(Qt::NoFocus);
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

bool ClipboardView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_row->viewport() && event->type() == QEvent::Resize)
        placeCards();
    return QWidget::eventFilter(watched, event);
}

std::vector<ClipCard*> ClipboardView::cards() const {
    std::vector<ClipCard*> found;
    for (const ClipItem& item : m_shown)
        if (ClipCard* card = m_cards.value(item.id); card && !card->isHidden())
            found.push_back(card);
    return found;
}

QString ClipboardView::emptyMessage() const {
    return m_empty->isHidden() ? QString() : m_emptyMessage->text();
}

bool ClipboardView::showsClear() const {
    return !m_clear->isHidden();
}

void ClipboardView::resetForShow() {
    if (m_search->text() != m_model.query())
        m_search->setText(m_model.query());
    for (ClipCard* card : std::as_const(m_cards))
        card->resetHover();
    m_row->horizontalScrollBar()->setValue(0);
    placeCards();
    showSelection(false);
}

void ClipboardView::refilter() {
    m_shown = filteredClips(m_history.items(), m_model);
    m_index.clear();
    m_index.reserve(qsizetype(m_history.items().size()));
    for (size_t i = 0; i < m_history.items().size(); ++i)
        m_index.insert(m_history.items()[i].id, qsizetype(i));
    // Cards of entries the history no longer holds go, later: the one whose menu or click led
    // here may still be on the stack.
    for (auto it = m_cards.begin(); it != m_cards.end();) {
        if (m_index.contains(it.key())) {
            ++it;
            continue;
        }
        it.value()->hide();
        it.value()->deleteLater();
        it = m_cards.erase(it);
    }
    m_previews.keepOnly(m_history.items());
    m_clear->setVisible(!m_history.items().empty());
    m_emptyMessage->setText(m_history.items().empty() ? tr("Copy something \u2014 it shows up here")
                                                      : tr("No matches"));
    m_empty->setVisible(m_shown.empty());
    m_row->setVisible(!m_shown.empty());
    placeCards();
}

void ClipboardView::placeCards() {
    const QSize viewport = m_row->viewport()->size();
    m_rowContent->resize(std::max(rowWidth(m_shown.size()), viewport.width()), viewport.height());
    // One card beyond each edge is ready before it scrolls into view.
    const int first = m_row->horizontalScrollBar()->value() - cardPitch;
    const int last = m_row->horizontalScrollBar()->value() + viewport.width() + cardPitch;
    const int top = (viewport.height() - ClipCard::cardSize.height()) / 2 - ClipCard::growthRoom;
    const int selected = m_model.selectedIndex();
    const QColor accent = m_accent();
    QHash<QUuid, ClipCard*> unplaced = m_cards;
    // Only the entries in reach: the history may hold thousands.
    const size_t from =
        static_cast<size_t>(std::max(0, (first - rowInset - ClipCard::cardSize.width()) / cardPitch));
    const size_t to =
        std::min(m_shown.size(), static_cast<size_t>(std::max(0, (last - rowInset) / cardPitch + 1)));
    for (size_t i = from; i < to; ++i) {
        const int x = rowInset + static_cast<int>(i) * cardPitch;
        if (x + ClipCard::cardSize.width() < first || x > last)
            continue;
        const ClipItem& item = m_shown[i];
        const bool isSelected = static_cast<int>(i) == selected;
        ClipCard* card = m_cards.value(item.id);
        if (!card)
            card = m_cards.insert(item.id, makeCard(item, isSelected, accent)).value();
        unplaced.remove(item.id);
        card->setSelected(isSelected);
        card->setAccent(accent);
        card->move(x - ClipCard::growthRoom, top);
        card->show();
    }
    for (ClipCard* card : std::as_const(unplaced))
        card->hide();
    followPointer();
}

void ClipboardView::followPointer() {
    // Cards that a search, a deletion or a scroll moves under a pointer at rest hear nothing of it
    // from the toolkit: the hover goes to the card the pointer is over now.
    if (!m_row->viewport()->underMouse())
        return;
    const QPoint pointer = m_rowContent->mapFromGlobal(QCursor::pos());
    for (ClipCard* card : std::as_const(m_cards))
        if (!card->isHidden())
            card->setHovered(card->geometry().contains(pointer));
}

ClipCard* ClipboardView::makeCard(const ClipItem& item, bool selected, const QColor& accent) {
    std::optional<QIcon> icon;
    if (item.sourceBundleID && m_actions.sourceIcon)
        icon = m_actions.sourceIcon(*item.sourceBundleID);
    // The actions find the entry as the history holds it when they run.
    const QUuid id = item.id;
    ClipCard::Actions actions{
        [this, id] {
            if (const ClipItem* found = itemWithID(id); found && m_actions.choose)
                m_actions.choose(*found);
        },
        [this, id] {
            if (const ClipItem* found = itemWithID(id); found && m_actions.copyOnly)
                m_actions.copyOnly(*found);
        },
        [this, id] {
            if (m_actions.remove)
                m_actions.remove(id);
        },
    };
    return new ClipCard(item, selected, accent, icon, m_previews.preview(item), std::move(actions),
                        m_animator, m_rowContent);
}

const ClipItem* ClipboardView::itemWithID(const QUuid& id) const {
    // The history may have changed since the last refilter (its signal still on its way).
    const std::vector<ClipItem>& items = m_history.items();
    if (const auto it = m_index.constFind(id);
        it != m_index.constEnd() && size_t(*it) < items.size() && items[size_t(*it)].id == id)
        return &items[size_t(*it)];
    for (const ClipItem& item : items)
        if (item.id == id)
            return &item;
    return nullptr;
}

double ClipboardView::rowScroll() const {
    return m_row->horizontalScrollBar()->value();
}

void ClipboardView::setRowScroll(double position) {
    m_row->horizontalScrollBar()->setValue(static_cast<int>(std::lround(position)));
}

int ClipboardView::scrollCentring(int index) const {
    const int centre = rowInset + index * cardPitch + ClipCard::cardSize.width() / 2;
    const QScrollBar* bar = m_row->horizontalScrollBar();
    return std::clamp(centre - m_row->viewport()->width() / 2, bar->minimum(), bar->maximum());
}

void ClipboardView::showSelection(bool scroll) {
    const int selected = m_model.selectedIndex();
    const bool inRow = selected >= 0 && selected < static_cast<int>(m_shown.size());
    // Through the cards made (those near the row's visible part), not every entry the row holds:
    // the history may hold thousands.
    const QUuid selectedID = inRow ? m_shown[static_cast<size_t>(selected)].id : QUuid();
    for (auto it = m_cards.cbegin(); it != m_cards.cend(); ++it)
        it.value()->setSelected(inRow && it.key() == selectedID);
    if (!scroll || !inRow)
        return;
    // The selected card comes to the middle of the row.
    m_animator.animate(*this, "rowScroll", static_cast<double>(scrollCentring(selected)), scrollMotion);
}

} // namespace corvane
