#pragma once

#include "core/AwakeMode.h"
#include "core/LayoutPreset.h"
#include "core/MouseScrollDirection.h"
#include "core/SettingsEnums.h"
#include "core/ShelfSort.h"
#include "platform/UserDefaults.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace corvane {

class NotificationCenter;

// Every preference of the product, one line each: value type, name (which is also the stored
// key), setter, default and, for a number the pages offer from a range or a list, those values
// (`SettingRanges::name`, see core/SettingKeys.h). The default is used when the key is absent or
// its stored value does not read as the type. The store itself never compares a value with its
// range: the code that needs a value within it bounds it where it uses it.
// clang-format off
#define CORVANE_SETTINGS(X) \
    X(bool,               hasCompletedOnboarding, setHasCompletedOnboarding, false) \
    X(bool,               showDockIcon,           setShowDockIcon,           false) \
    X(bool,               showSettingsOnLaunch,   setShowSettingsOnLaunch,   true) \
    X(bool,               sidebarEnabled,         setSidebarEnabled,         true) \
    X(SidebarEdge,        sidebarEdge,            setSidebarEdge,            SidebarEdge::left) \
    X(SidebarDisplay,     sidebarDisplay,         setSidebarDisplay,         SidebarDisplay::main) \
    X(QString,            specificDisplayID,      setSpecificDisplayID,      QString()) \
    X(bool,               autoHide,               setAutoHide,               false) \
    X(bool,               autoHideInFullscreen,   setAutoHideInFullscreen,   true) \
    X(WindowScope,        windowScope,            setWindowScope,            WindowScope::allDisplays) \
    X(bool,               hideOthersOnRestore,    setHideOthersOnRestore,    false) \
    X(ThumbnailSize,      thumbnailSize,          setThumbnailSize,          ThumbnailSize::medium) \
    X(qint64,             maxVisible,             setMaxVisible,             12, range(3, 25)) \
    X(bool,               showTitles,             setShowTitles,             false) \
    X(double,             refreshInterval,        setRefreshInterval,        3.0, values(1, 3, 5, 10, 30, 60, 300, 600)) \
    X(bool,               hoverPreview,           setHoverPreview,           true) \
    X(double,             hoverDelay,             setHoverDelay,             0.3, range(0.1, 1.0, 0.05)) \
    X(WindowOrdering,     ordering,               setOrdering,               WindowOrdering::recent) \
    X(PanelStyle,         panelStyle,             setPanelStyle,             PanelStyle::glass) \
    X(AccentChoice,       sidebarAccent,          setSidebarAccent,          AccentChoice::lumenForge) \
    X(bool,               showThumbnails,         setShowThumbnails,         true) \
    X(bool,               showFooter,             setShowFooter,             true) \
    X(bool,               showSpaces,             setShowSpaces,             false) \
    X(bool,               showFiles,              setShowFiles,              true) \
    X(bool,               showAwakeIcon,          setShowAwakeIcon,          true) \
    X(bool,               clipboardEnabled,       setClipboardEnabled,       true) \
    X(qint64,             clipboardLimit,         setClipboardLimit,         60, range(10, 200, 10)) \
    X(bool,               showClipboardIcon,      setShowClipboardIcon,      true) \
    X(bool,               clipboardPasteDirectly, setClipboardPasteDirectly, true) \
    X(bool,               showMenuBarIcon,        setShowMenuBarIcon,        true) \
    X(bool,               notchHUD,               setNotchHUD,               true) \
    X(qint64,             volumeStepPercent,      setVolumeStepPercent,      6, values(1, 2, 3, 5, 6, 10)) \
    X(qint64,             brightnessStepPercent,  setBrightnessStepPercent,  6, values(1, 2, 3, 5, 6, 10)) \
    X(qint64,             minBrightnessPercent,   setMinBrightnessPercent,   10, values(0, 5, 10, 15, 20, 25)) \
    X(bool,               notchAirDrop,           setNotchAirDrop,           true) \
    X(bool,               notchTray,              setNotchTray,              true) \
    X(bool,               notchAwakeIndicator,    setNotchAwakeIndicator,    true) \
    X(AwakeMode,          awakeMode,              setAwakeMode,              AwakeMode::display) \
    X(double,             awakeLastDuration,      setAwakeLastDuration,      0.0) \
    X(MouseScrollDirection, mouseScrollDirection, setMouseScrollDirection,   MouseScrollDirection::system) \
    X(bool,               reverseMouseHorizontal, setReverseMouseHorizontal, false) \
    X(bool,               stripIconsOnly,         setStripIconsOnly,         false) \
    X(bool,               stripShowTray,          setStripShowTray,          true) \
    X(bool,               stripShowFolders,       setStripShowFolders,       true) \
    X(bool,               stripShowWorkspaces,    setStripShowWorkspaces,    true) \
    X(bool,               showFilesIcon,          setShowFilesIcon,          true) \
    X(qint64,             clipboardRetentionDays, setClipboardRetentionDays, 0, values(0, 1, 3, 5, 10, 30)) \
    X(bool,               showTray,               setShowTray,               true) \
    X(ShelfSort,          shelfSort,              setShelfSort,              ShelfSort::newest) \
    X(bool,               shelfAlwaysOnTop,       setShelfAlwaysOnTop,       true) \
    X(double,             layoutGap,              setLayoutGap,              8.0, range(0.0, 24.0, 2.0)) \
    X(LayoutPreset,       quickTilePreset,        setQuickTilePreset,        LayoutPreset::halves) \
    X(bool,               cycleSnapSizes,         setCycleSnapSizes,         true) \
    X(bool,               reserveSidebarSpace,    setReserveSidebarSpace,    true) \
    X(bool,               radialEnabled,          setRadialEnabled,          true) \
    X(RadialTrigger,      radialTrigger,          setRadialTrigger,          RadialTrigger::fn) \
    X(double,             radialHoldDelay,        setRadialHoldDelay,        0.15, range(0.05, 0.5, 0.05)) \
    X(RadialCenterAction, radialCenterAction,     setRadialCenterAction,     RadialCenterAction::maximize) \
    X(RadialTarget,       radialTarget,           setRadialTarget,           RadialTarget::focused) \
    X(bool,               radialShowPreview,      setRadialShowPreview,      true) \
    X(bool,               radialHaptics,          setRadialHaptics,          true) \
    X(AccentChoice,       radialAccent,           setRadialAccent,           AccentChoice::system) \
    X(QStringList,        excludedBundleIDs,      setExcludedBundleIDs,      Settings::defaultExcludedBundleIDs())
// clang-format on

// The one store of the user's preferences. Every key is read once at construction; afterwards
// this is the only writer of them. Each assignment, also of an unchanged value, keeps the value in
// memory, writes it to the user defaults and posts "CorvaneSettingsDidChange" with the key as
// object; when the value differs from the one kept it then emits `changed(key)` for what is bound
// to that key. That order lets a receiver see the new value wherever it looks.
// Stored values are not range-checked here: the code that uses a value bounds it.
class Settings : public QObject {
    Q_OBJECT
public:
    Settings(UserDefaults& defaults, NotificationCenter& notifications);
    ~Settings() override;

    // The process-wide instance, set by main or a test fixture; using it unset is a fatal error.
    static Settings& shared();
    static void setShared(Settings* settings);

    static const QString didChangeNotification;
    // Every key of the store, in table order.
    static const QStringList& allKeys();
    static QStringList defaultExcludedBundleIDs();
    // Whether the values are the user's as stored: false when the settings file could not be taken
    // in at start-up, so that the defaults stand in for choices nobody knows.
    bool areStored() const;

    // clang-format off
#define CORVANE_SETTINGS_DECLARE(Type, name, setter, fallback, ...) \
    Type name() const { return m_##name; } \
    void setter(Type value);
    // clang-format on
    CORVANE_SETTINGS(CORVANE_SETTINGS_DECLARE)
#undef CORVANE_SETTINGS_DECLARE

Q_SIGNALS:
    void changed(const QString& key);

private:
    void persist(const QString& key, const Json& value, bool differs);

    UserDefaults& m_defaults;
    NotificationCenter& m_notifications;

#define CORVANE_SETTINGS_FIELD(Type, name, setter, fallback, ...) Type m_##name;
    CORVANE_SETTINGS(CORVANE_SETTINGS_FIELD)
#undef CORVANE_SETTINGS_FIELD
};

} // namespace corvane
