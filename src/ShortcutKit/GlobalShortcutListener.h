#pragma once

#include "ShortcutKit/EventType.h"
#include "ShortcutKit/Name.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class QWidget;

namespace corvane::ShortcutKit {

class Registry;

// Runs an action for every press or release of a name's global hot key for as long as a view is
// shown: it listens from the view's showing to its hiding and again at the next showing. Lives
// as a child of the view. Main thread only.
class GlobalShortcutListener final : public QObject {
    Q_OBJECT
public:
    using Perform = std::function<void(EventType)>;

    // With `only`, just the events of that type are delivered.
    GlobalShortcutListener(QWidget& view, const Name& name, Registry& shortcuts, Perform perform,
                           std::optional<EventType> only = std::nullopt);
    ~GlobalShortcutListener() override;

    bool isListening() const { return m_streamId != 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startListening();
    void stopListening();
    void deliver(EventType type);

    Name m_name;
    Registry& m_shortcuts;
    Perform m_perform;
    std::optional<EventType> m_only;
    quint64 m_streamId = 0;
};

// Every press and release of the name's hot key while the view is shown.
GlobalShortcutListener& onGlobalKeyboardShortcut(QWidget& view, const Name& name, Registry& shortcuts,
                                                 std::function<void(EventType)> perform);
// Only the presses, or only the releases, while the view is shown.
GlobalShortcutListener& onGlobalKeyboardShortcut(QWidget& view, const Name& name, EventType type,
                                                 Registry& shortcuts, std::function<void()> perform);

} // namespace corvane::ShortcutKit
