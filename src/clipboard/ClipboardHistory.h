#pragma once

#include "clipboard/ClipItem.h"
#include "clipboard/ClipboardStore.h"
#include "runtime/Scheduler.h"

#include <QObject>

#include <vector>

namespace corvane {

class Pasteboard;
class RunningApplications;
class Settings;

// Everything copied, newest first, kept privately on disk. Polls the clipboard twice a second
// while on, bounded by the count and age limits of the settings.
class ClipboardHistory : public QObject {
    Q_OBJECT
public:
    static constexpr Seconds pollInterval{0.5};
    static constexpr Seconds saveDelay{1.0};
    // A relaunch within this long after a quit takes the history over when nothing is kept on disk.
    static constexpr Seconds handoffWindow{180.0};
    // How often entries past their age are dropped while nothing is copied.
    static constexpr Seconds pruneInterval{60.0};

    ClipboardHistory(Settings& settings, Scheduler& scheduler, Pasteboard& pasteboard,
                     RunningApplications& applications, ClipboardStore store = ClipboardStore());
    ~ClipboardHistory() override;

    const std::vector<ClipItem>& items() const { return m_items; }

    // Stops the poll; when on, loads the store the first time and polls from the current content.
    void setEnabled(bool enabled);
    bool isPolling() const { return m_timer.isValid(); }
    // One poll: records the clipboard's content when it changed.
    void capture();
    // Puts the entry on the clipboard (not recorded again) and moves it to the front.
    void copyToPasteboard(const ClipItem& item);
    void remove(const QUuid& id);
    void clear();
    // Drops entries older than the retention; true when any went.
    bool prune();
    // Prunes, and saves when that removed anything.
    void pruneAndSave();
    void applyRetention();

    // Saves a second after the last change, only when entries are kept for days.
    void scheduleSave();
    void cancelPendingSave();
    bool hasPendingSave() const { return m_saveTimer.isValid(); }
    // The final save at quit; with nothing kept for days, leaves the hand-off marker beside it.
    void flushForTermination();
    // Deletes a store that may not be kept: all of it when history is off, and with nothing kept
    // for days unless a quit handed it over moments ago.
    void purgeStaleStore(bool enabled, qint64 retentionDays);
    const ClipboardStore& store() const { return m_store; }
    int flushCount() const { return m_flushCount; }

Q_SIGNALS:
    void itemsChanged();

private:
    void load();
    void setItems(std::vector<ClipItem> items);
    bool handoffIsFresh() const;
    std::optional<ClipItem> readPasteboard();
    bool isIgnored(const QStringList& types);

    Settings& m_settings;
    Scheduler& m_scheduler;
    Pasteboard& m_pasteboard;
    RunningApplications& m_applications;
    ClipboardStore m_store;
    std::vector<ClipItem> m_items;
    TimerHandle m_timer;
    TimerHandle m_pruneTimer;
    TimerHandle m_saveTimer;
    qint64 m_lastChange = 0;
    std::optional<qint64> m_ignoreChange;
    bool m_loaded = false;
    int m_flushCount = 0;
};

} // namespace corvane
