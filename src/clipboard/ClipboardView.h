#pragma once

#include "clipboard/ClipItem.h"

#include <QColor>
#include <QIcon>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QHBoxLayout;

namespace corvane {

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
class ClipboardView : public QWidget {
    Q_OBJECT
public:
    ClipboardView(const ClipboardHistory& history, ClipboardPanelModel& model, QColor accent,
                  ClipboardViewActions actions, QWidget* parent = nullptr);

    QLineEdit* searchField() const { return m_search; }
    // The cards shown now, in order.
    std::vector<ClipCard*> cards() const;
    QString emptyMessage() const;
    bool showsClear() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* makeHeader();
    void rebuild();
    void showSelection(bool scroll);

    const ClipboardHistory& m_history;
    ClipboardPanelModel& m_model;
    QColor m_accent;
    ClipboardViewActions m_actions;
    QWidget* m_header = nullptr;
    WindowDragHandle* m_dragHandle = nullptr;
    QLineEdit* m_search = nullptr;
    QPushButton* m_clear = nullptr;
    QWidget* m_empty = nullptr;
    QLabel* m_emptyMessage = nullptr;
    QScrollArea* m_row = nullptr;
    QWidget* m_rowContent = nullptr;
    QHBoxLayout* m_rowLayout = nullptr;
};

} // namespace corvane
