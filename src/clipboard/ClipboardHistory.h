#pragma once

#include "clipboard/ClipItem.h"
#include "clipboard/ClipboardSaver.h"
#include "clipboard/ClipboardStore.h"
#include "runtime/Scheduler.h"

#include <QObject>

#include <optional>
#include <vector>

namespace corvane {

class Executor;
class Pasteboard;
struct PasteboardContent;
class RunningApplications;
class Settings;

// Everything copied, newest first, kept privately on disk, bounded by the count and age limits
// of the settings. Each copy is read as the desktop reports it (polled twice a second where it
// cannot); reads never wait on the main thread. One copy is taken in at a time: copies made while
// one is read, its picture decoded or its file list parsed wait, the newest replacing older ones, so however
// fast copies come, the work and memory they cost stay bounded and the newest is always recorded.
class ClipboardHistory : public QObject {
    Q_OBJECT
public:
    static constexpr Seconds pollInterval{0.5};
    static constexpr Seconds saveDelay = ClipboardSaver::delay;
    // A relaunch within this long after a quit takes the history over when nothing is kept on disk.
    static constexpr Seconds handoffWindow{180.0};
    // How long a read may go on once a newer copy waits behind it: what it reads is no longer on
    // the clipboard, and an owner that trickles must not hold the newest copy back.
    static constexpr Seconds staleReadGrace{0.25};

    // Saves run on `background`. With `pictures`, a copied file list is parsed there and a copied
    // picture decoded there, beside the digests of the stored pictures of its size that it is
    // compared with, never on the main thread; the entry joins the history on the main thread.
    ClipboardHistory(Settings& settings, Scheduler& scheduler, Executor& background, Pasteboard& pasteboard,
                     RunningApplications& applications, ClipboardStore store = ClipboardStore(),
                     Executor* pictures = nullptr);
    ~ClipboardHistory() override;

    const std::vector<ClipItem>& items() const { return m_items; }

    // Stops recording; when on, loads the store the first time and records from the current
    // content on.
    void setEnabled(bool enabled);
    // Whether copies are recorded.
    bool isPolling() const { return m_enabled; }
    // One poll: reads the clipboard's content when it changed.
    void capture();
    // Puts the entry on the clipboard (not recorded again) and moves it to the front.
    void copyToPasteboard(const ClipItem& item);
    void remove(const QUuid& id);
    void clear();
    // Drops entries older than the retention; true when any went. Done at each copy, at load and
    // when the retention changes, nowhere else: an entry past its age stays until one of them.
    bool prune();
    void applyRetention();

    // Saves once the changes pause, only when entries are kept for days.
    void scheduleSave();
    void cancelPendingSave() { m_saver.cancel(); }
    bool hasPendingSave() const { return m_saver.hasPending(); }
    void waitForSaves() { m_saver.waitForSaves(); }
    // The final save at quit, waiting for it; with nothing kept for days, leaves the hand-off
    // marker beside it.
    void flushForTermination();
    // Deletes a store that may not be kept: all of it when history is off, and with nothing kept
    // for days unless a quit handed it over moments ago. At start-up it is asked only when the
    // settings are the user's own; a switch made during the run always is.
    void purgeStaleStore(bool enabled, qint64 retentionDays);
    const ClipboardStore& store() const { return m_store; }
    // Copies being read or decoded (at most one), and waiting behind it (at most one).
    size_t readsInFlight() const { return m_current ? 1 : 0; }
    bool hasWaitingCopy() const { return m_waiting.has_value(); }
    int flushCount() const { return m_flushCount; }
    // What the user is to hear of the store once (a damaged index set aside, one that could not
    // be read); given out once.
    std::optional<QString> takeStoreNotice() { return std::exchange(m_storeNotice, std::nullopt); }

Q_SIGNALS:
    void itemsChanged();
    // A save failed after the last one landed: `message` says what was not saved and why. The
    // history stays in memory and the save is tried again.
    void saveFailed(const QString& message);

private:
    // A copy to take in: its change and the program that made it.
    struct Copy {
        qint64 change = 0;
        std::optional<QString> source;
    };

    void load();
    // Makes the entry of a finished read: a file list or a picture off the main thread where there
    // is a place for it, a picture with the digests of the stored pictures it may repeat; then
    // takes what is ready.
    void makeEntry(qint64 change, PasteboardContent content);
    void entryMade(qint64 change, std::optional<ClipItem> item);
    // Reads the copy, which the clipboard still holds or a newer one replaced.
    void startRead(Copy copy);
    void readStale();
    // The clipboard holds `change`, a copy that is not to be read (an excluded program's, or our
    // own write): copies before it that wait are dropped, and with `readUnderWay` so is a read
    // not yet answered, which might meet it.
    void dropCopiesBefore(qint64 change, bool readUnderWay);
    void setItems(std::vector<ClipItem> items);
    bool handoffIsFresh() const;
    void changed(qint64 change);
    void readDone(qint64 change, std::optional<PasteboardContent> content);
    void record(ClipItem item);

    Settings& m_settings;
    Scheduler& m_scheduler;
    Pasteboard& m_pasteboard;
    RunningApplications& m_applications;
    ClipboardStore m_store;
    ClipboardSaver m_saver;
    Executor* m_pictures = nullptr;
    std::vector<ClipItem> m_items;
    bool m_enabled = false;
    TimerHandle m_timer;
    qint64 m_lastChange = 0;
    std::optional<qint64> m_ignoreChange;
    // The last entry put on the clipboard: a read begun before that write never records it.
    std::optional<ClipItem> m_written;
    std::optional<Copy> m_current;
    bool m_decoding = false;
    std::optional<Copy> m_waiting;
    TimerHandle m_staleTimer;
    bool m_loaded = false;
    int m_flushCount = 0;
    std::optional<QString> m_storeNotice;
};

} // namespace corvane
