#pragma once

#include "runtime/Scheduler.h"
#include "shelf/ShelfSource.h"

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <vector>

class QKeyEvent;
class QMenu;

namespace corvane {

class Animator;
class Executor;
class FilePanel;
class FileShelf;
class PanelMotion;
class PanelWindowing;
class PreviewPanel;
class Scheduler;
class Screens;
class Settings;
class StatusItems;
class ShelfHost;
class SystemShell;
class UserDefaults;

// The "files" status item, the popover file panel and the floating file panels, with the keys
// of every file panel. Main thread only.
class FileShelfController : public QObject {
    Q_OBJECT
public:
    struct Services {
        Settings& settings;
        FileShelf& shelf;
        UserDefaults& defaults;
        PanelWindowing& windowing;
        Screens& screens;
        SystemShell& shell;
        Animator& animator;
        Scheduler& scheduler;
        ShelfHost& host;
        StatusItems& statusItems;
        // Where listings and previews read the disk.
        Executor& worker;
    };

    static constexpr double popoverWidth = 260, popoverHeight = 360;
    static constexpr double floatingWidth = 230, floatingHeight = 300;
    static const QString floatingShelvesKey; // "floatingShelves"
    // "shelfFrame." followed by the source's id.
    static QString frameKey(const ShelfSource& source);

    explicit FileShelfController(Services services);
    ~FileShelfController() override;

    // Reopens the floating file panels the previous run left open.
    void restoreFloatingShelves();
    // Adds or removes the "files" status item.
    void syncStatusItem();
    bool hasStatusItem() const;
    static const QString statusItemIdentifier; // "files"
    // Closes panels whose source is gone and sets every panel's level.
    void syncFloatingPanels();
    // A 260 × 360 popover under `anchor` (the status item, in screen coordinates).
    void showPopover(const ShelfSource& source, const QRectF& anchor);
    // Shows the popover of a source at a frame sliding in by `slideOffset`; presenting the
    // source shown toggles the popover off; a source with a floating panel brings that forward.
    void present(const ShelfSource& source, const QRectF& frame, double slideOffset);
    // Fades the popover file panel out.
    void closePopover();
    // Opens the source's floating file panel, or brings it to the front.
    void openFloating(const ShelfSource& source);
    // Closes the source's floating file panel, keeping its frame.
    void closeFloating(const ShelfSource& source);
    void toggleFloating(const ShelfSource& source);
    void closeShelf(const ShelfSource& source, bool isFloating);
    // The status menu's entry: the source's popover under the status item, a moment later.
    void togglePopover(const ShelfSource& source);
    bool hasFloatingPanel(const ShelfSource& source) const;

    // Tells the user why opening or showing files did nothing, as a toast.
    void reportFailure(const QString& message);

    // The key handling of every file panel: true when the key was used and goes no further.
    bool handleKeyDown(FilePanel& panel, int key, Qt::KeyboardModifiers modifiers);

    FilePanel* popover() const { return m_popover.get(); }
    bool isPopoverShown() const;
    const std::optional<ShelfSource>& popoverSource() const { return m_popoverSource; }
    FilePanel* floatingPanel(const ShelfSource& source) const;
    PreviewPanel& preview();
    // The status menu's entries as they would be built now.
    void rebuildStatusMenu(QMenu& menu);
    // The sources the status menu offers: the Tray and the pinned folders, as the settings show them.
    std::vector<ShelfSource> shownSources() const;
    // Where a new floating panel opens with `openCount` panels already open.
    QRectF defaultFloatingFrame(int openCount) const;
    // Where the popover under `anchor` goes; none without a screen.
    std::optional<QRectF> popoverFrame(const QRectF& anchor) const;
    // The same under (or over) a tray icon, kept clear of the icon itself.
    std::optional<QRectF> popoverFrameBeside(const QRectF& icon) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<FilePanel> makePanel(const ShelfSource& source, bool isFloating, int level);
    void setContent(FilePanel& panel, const ShelfSource& source, bool isFloating);
    void saveFrame(const FilePanel& panel, const ShelfSource& source);
    void storeFloatingIds();
    int floatingLevel() const;
    void openSelection(FilePanel& panel);

    Services m_services;
    std::unique_ptr<FilePanel> m_popover;
    // Declared after the popover, so that it goes first: it looks at the panel.
    std::unique_ptr<PanelMotion> m_popoverMotion;
    std::optional<ShelfSource> m_popoverSource;
    // Open floating panels by the key of their source's id.
    std::map<QString, std::pair<ShelfSource, std::unique_ptr<FilePanel>>> m_floating;
    std::unique_ptr<QMenu> m_statusMenu;
    std::unique_ptr<PreviewPanel> m_preview;
    // The wait between a menu entry chosen and its popover: the menu closes meanwhile.
    TimerHandle m_menuChoice;
};

} // namespace corvane
