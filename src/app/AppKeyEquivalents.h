#pragma once

#include <QObject>

#include <functional>
#include <vector>

class QKeyEvent;

namespace corvane::ShortcutKit {
struct MenuKeyEquivalent;
}

namespace corvane {

// The keys the tray menu shows beside "Settings…" (Ctrl+,) and "Quit Corvane" (Ctrl+Q), acting
// wherever Corvane has the keyboard: in that menu while it is open and in any of Corvane's own
// windows. A menu's own shortcuts act only inside a window that shows the menu, which a tray menu
// never is, so the keys are watched for the whole application instead. A shortcut recorder that
// is recording keeps every key for itself.
class AppKeyEquivalents : public QObject {
    Q_OBJECT
public:
    AppKeyEquivalents(std::function<void()> openSettings, std::function<void()> quit,
                      QObject* parent = nullptr);
    ~AppKeyEquivalents() override;

    // Runs the action of `event`'s key; false when the key is none of these.
    bool handle(const QKeyEvent& event);
    // These keys with the titles of their items, for the shortcut recorder: a global shortcut on
    // one of them would take it from every program.
    static std::vector<ShortcutKit::MenuKeyEquivalent> menuItems();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_openSettings;
    std::function<void()> m_quit;
};

} // namespace corvane
