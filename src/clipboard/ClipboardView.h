#pragma once

#include "clipboard/ClipItem.h"
#include "clipboard/ClipPreviews.h"

#include <QColor>
#include <QHash>
#include <QIcon>
#include <QPixmap>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace corvane {

class Animator;
class ClipboardHistory;
class ClipboardPanelModel;
class ClipCard;
class WindowDragHandle;

// What the strip asks of its controller; the view itself only shows the history and the model.
struct ClipboardViewActions {
    std::function<void(const ClipItem&)> choose;
    std::function<void(const ClipItem&)> copyOnly;
    std::function<void(const QUuid&)> remove;
    std::function<void()> clear;
    std::function<void()> close;
    // The picture of the program an entry came from; none when there is none.
    std::function<std::optional<QIcon>(const QString& bundleID)> sourceIcon;
};

// The strip's content: a header with the search field, the title, "Clear" and the close button
// (the header's empty parts drag the strip), and below it a sideways-scrolling row of cards, one
// per entry the search leaves, or a message when there is none. Drawn in light-on-dark.
// A card is made only when its place in the row comes into view, and kept while its entry is in
// the history: a search or a scroll moves and shows the cards already made.
class ClipboardView : public QWidget {
    Q_OBJECT
    // Where the card row is scrolled to, in pixels from its start.
    Q_PROPERTY(double rowScroll READ rowScroll WRITE setRowScroll)
public:
    static constexpr int rowInset = 16;
    static constexpr int cardSpacing = 12;

    // `previews`, when given, outlives the view and keeps the pictures' previews for the next one.
    // `accent` gives the cards' accent; it is asked again each time the row is laid out, and a
    // card drawn in another accent is drawn anew.
    ClipboardView(const ClipboardHistory& history, ClipboardPanelModel& model, std::function<QColor()> accent,
                  Animator& animator, ClipboardViewActions actions, ClipPreviews* previews = nullptr,
                  QWidget* parent = nullptr);

    QLineEdit* searchField() const { return m_search; }
    // Another opening of the strip: the search as the model has it, the row at its start with the
    // selection shown, and no card hovered, as a view made afresh would be.
    void resetForShow();
    // The cards in view now (and those just beside it), in order.
    std::vector<ClipCard*> cards() const;
    // How many cards have been made so far.
    int madeCardCount() const { return static_cast<int>(m_cards.size()); }
    // How many entries the row holds now.
    int shownCount() const { return static_cast<int>(m_shown.size()); }
    QString emptyMessage() const;
    bool showsClear() const;

    double rowScroll() const;
    void setRowScroll(double position);
    // The scroll position that puts the card at `index` in the middle of the row, within the
    // row's range.
    int scrollCentring(int index) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makeHeader();
    // The history or the search changed: works out what the row shows.
    void refilter();
    // Places the cards in view, making those not made yet, and hides the others.
    void placeCards();
    void followPointer();
    ClipCard* makeCard(const ClipItem& item, bool selected, const QColor& accent);
    void showSelection(bool scroll);
    const ClipItem* itemWithID(const QUuid& id) const;
    // The history's entries by id, as of the last refilter.
    QHash<QUuid, qsizetype> m_index;

    const ClipboardHistory& m_history;
    ClipboardPanelModel& m_model;
    std::function<QColor()> m_accent;
    Animator& m_animator;
    ClipboardViewActions m_actions;
    QWidget* m_header = nullptr;
    WindowDragHandle* m_dragHandle = nullptr;
    QLineEdit* m_search = nullptr;
    QPushButton* m_clear = nullptr;
    QWidget* m_empty = nullptr;
    QLabel* m_emptyMessage = nullptr;
    QScrollArea* m_row = nullptr;
    QWidget* m_rowContent = nullptr;
    // The entries the row shows, in order.
    std::vector<ClipItem> m_shown;
    QHash<QUuid, ClipCard*> m_cards;
    // The previews of picture entries: the strip's, kept across openings, or the view's own.
    std::unique_ptr<ClipPreviews> m_ownPreviews;
    ClipPreviews& m_previews;
};

} // namespace corvane
