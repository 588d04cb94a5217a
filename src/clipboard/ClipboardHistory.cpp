#include "clipboard/ClipboardHistory.h"

#include "core/SettingKeys.h"
#include "platform/Pasteboard.h"
#include "platform/RunningApplications.h"

#include "clipboard/ClipboardReading.h"
#include "runtime/Executor.h"
#include "runtime/Log.h"

#include <QFileInfo>
#include <QPointer>

#include <algorithm>

namespace corvane {

namespace {

const QString plainText = QStringLiteral("text/plain");
const QString uriList = QStringLiteral("text/uri-list");

} // namespace

ClipboardHistory::ClipboardHistory(Settings& settings, Scheduler& scheduler, Executor& background,
                                   Pasteboard& pasteboard, RunningApplications& applications,
                                   ClipboardStore store, Executor* pictures)
    : m_settings(settings), m_scheduler(scheduler), m_pasteboard(pasteboard), m_applications(applications),
      m_store(store), m_saver(scheduler, background, std::move(store)), m_pictures(pictures),
      m_lastChange(pasteboard.changeCount()) {
    m_pasteboard.setChangeHandler([this](qint64 change) { changed(change); });
    m_saver.onFailure = [this](const QString& message) { Q_EMIT saveFailed(message); };
}

ClipboardHistory::~ClipboardHistory() {
    m_pasteboard.setChangeHandler({});
}

void ClipboardHistory::setItems(std::vector<ClipItem> items) {
    const bool same = items == m_items; // ids only, in order
    m_items = std::move(items);
    if (!same)
        Q_EMIT itemsChanged();
}

void ClipboardHistory::setEnabled(bool enabled) {
    m_enabled = enabled;
    m_timer.invalidate();
    if (!enabled) {
        // What was being read when recording stopped is never recorded.
        if (m_current && !m_decoding)
            m_pasteboard.cancelReads();
        m_current.reset();
        m_waiting.reset();
        m_staleTimer.invalidate();
        return;
    }
    if (!m_loaded) {
        m_loaded = true;
        load();
    }
    // What is on the clipboard when recording starts is not recorded.
    m_lastChange = m_pasteboard.changeCount();
    // Where the desktop reports each copy, nothing needs polling.
    if (!m_pasteboard.reportsChanges())
        m_timer = m_scheduler.scheduleRepeating(pollInterval, Seconds(0.2), [this] { capture(); });
}

void ClipboardHistory::capture() {
    changed(m_pasteboard.changeCount());
}

void ClipboardHistory::changed(qint64 change) {
    if (!m_enabled || change == m_lastChange)
        return;
    // From here this change is consumed, whatever follows.
    m_lastChange = change;
    if (m_ignoreChange && *m_ignoreChange == change) {
        dropCopiesBefore(change, false);
        return;
    }

    // The program in front now is the one that copied, whenever the read ends. It is taken from
    // what the desktop has already reported, so the read starts without waiting on a round trip.
    std::optional<QString> source;
    if (const std::optional<int32_t> pid = m_applications.reportedFrontmostApplicationPID())
        if (const std::optional<RunningApplication> app = m_applications.application(*pid))
            source = app->bundleID;
    if (source && m_settings.excludedBundleIDs().contains(*source)) {
        // Not a byte of it is read: neither by the copy waiting nor by a read not answered yet.
        dropCopiesBefore(change, true);
        return;
    }

    if (!m_current) {
        startRead({change, std::move(source)});
        return;
    }
    if (m_waiting)
        qCDebug(lcApp, "Clipboard copy %lld skipped: a newer one came while another was taken in",
                static_cast<long long>(m_waiting->change));
    m_waiting = Copy{change, std::move(source)};
    if (!m_decoding && !m_staleTimer.isValid())
        m_staleTimer = m_scheduler.schedule(staleReadGrace, [this] { readStale(); });
}

void ClipboardHistory::dropCopiesBefore(qint64 change, bool readUnderWay) {
    if (m_waiting && m_waiting->change < change) {
        qCDebug(lcApp, "Clipboard copy %lld skipped: the clipboard holds another one it may not read for it",
                static_cast<long long>(m_waiting->change));
        m_waiting.reset();
        m_staleTimer.invalidate();
    }
    // A read that was answered already met the copy it was for.
    if (readUnderWay && m_current && !m_decoding && m_current->change < change) {
        qCDebug(lcApp, "Clipboard copy %lld skipped: its read was still going when the clipboard was taken",
                static_cast<long long>(m_current->change));
        m_pasteboard.cancelReads();
        m_current.reset();
        m_staleTimer.invalidate();
    }
}

void ClipboardHistory::startRead(Copy copy) {
    const qint64 change = copy.change;
    m_current = std::move(copy);
    m_decoding = false;
    m_staleTimer.invalidate();
    QPointer<ClipboardHistory> self(this);
    m_pasteboard.read(typesToRead, [self, change](std::optional<PasteboardContent> content) {
        if (self)
            self->readDone(change, std::move(content));
    });
}

void ClipboardHistory::readStale() {
    if (!m_current || m_decoding || !m_waiting)
        return;
    qCDebug(lcApp, "Clipboard copy %lld skipped: its read was still going when a newer copy came",
            static_cast<long long>(m_current->change));
    m_pasteboard.cancelReads();
    m_current.reset();
    startRead(*std::exchange(m_waiting, std::nullopt));
}

void ClipboardHistory::readDone(qint64 change, std::optional<PasteboardContent> content) {
    if (!m_current || m_current->change != change)
        return;
    if (content)
        makeEntry(change, std::move(*content));
    else
        entryMade(change, std::nullopt);
}

void ClipboardHistory::makeEntry(qint64 change, PasteboardContent content) {
    if (!m_pictures || !entryNeedsWork(content)) {
        entryMade(change, itemFromContent(content));
        return;
    }
    // The stored pictures carry no digest until one is needed; a new picture is compared with
    // those of its size, so their digests are taken beside it. Their bytes are shared, not copied.
    std::vector<ClipItem> stored;
    if (entryMayBePicture(content))
        for (const ClipItem& item : m_items)
            if (item.kind == ClipItem::Kind::image && item.imageDigest.isEmpty())
                stored.push_back(item);
    QPointer<ClipboardHistory> self(this);
    Executor& pictures = *m_pictures;
    m_decoding = true;
    m_staleTimer.invalidate();
    pictures.post(
        [self, change, &pictures, content = std::move(content), stored = std::move(stored)]() mutable {
            std::optional<ClipItem> item = itemFromContent(content);
            std::vector<std::pair<QUuid, QByteArray>> digests;
            if (item)
                for (const ClipItem& other : stored)
                    if (other.imageSize == item->imageSize)
                        digests.emplace_back(other.id, other.pixelDigest());
            pictures.deliver([self, change, item = std::move(item), digests = std::move(digests)]() mutable {
                if (!self)
                    return;
                for (const auto& [id, digest] : digests)
                    for (ClipItem& existing : self->m_items)
                        if (existing.id == id)
                            existing.imageDigest = digest;
                self->entryMade(change, std::move(item));
            });
        });
}

void ClipboardHistory::entryMade(qint64 change, std::optional<ClipItem> item) {
    if (!m_current || m_current->change != change)
        return;
    Copy done = *std::exchange(m_current, std::nullopt);
    m_decoding = false;
    m_staleTimer.invalidate();
    // A read begun before our own write may still have met our content.
    if (item && !(m_written && m_ignoreChange && change < *m_ignoreChange && item->sameContent(*m_written))) {
        item->sourceBundleID = done.source;
        record(std::move(*item));
    }
    if (m_waiting && m_enabled)
        startRead(*std::exchange(m_waiting, std::nullopt));
}

void ClipboardHistory::record(ClipItem item) {
    item.id = QUuid::createUuid();
    item.date = m_scheduler.wallNow().toUTC();

    std::vector<ClipItem> items;
    items.reserve(m_items.size() + 1);
    items.push_back(std::move(item));
    for (const ClipItem& existing : m_items)
        if (!existing.sameContent(items.front()))
            items.push_back(existing);
    // The list is cut to the limit as stored, whatever the page offers; 0 keeps nothing. A limit
    // below 0 can only come from editing the stored settings by hand and means no count: the
    // default stands in, rather than emptying the history at the next copy.
    qint64 limit = m_settings.clipboardLimit();
    if (limit < 0)
        limit = SettingDefaults::clipboardLimit();
    if (items.size() > static_cast<quint64>(limit))
        items.resize(static_cast<size_t>(limit));
    setItems(std::move(items));
    prune();
    scheduleSave();
}

void ClipboardHistory::copyToPasteboard(const ClipItem& item) {
    std::vector<std::pair<QString, QByteArray>> representations;
    switch (item.kind) {
    case ClipItem::Kind::text:
        representations = {{plainText, item.text.toUtf8()}};
        break;
    case ClipItem::Kind::link: {
        const QByteArray address = item.link.toEncoded();
        representations = {{uriList, address + "\r\n"}, {plainText, address}};
        break;
    }
    case ClipItem::Kind::image:
        representations = {{QStringLiteral("image/png"), item.pngData()}};
        break;
    case ClipItem::Kind::files: {
        QByteArray list, copied = "copy";
        item.files.forEach([&](QStringView path) {
            const QByteArray url = QUrl::fromLocalFile(path.toString()).toEncoded();
            list += url + "\r\n";
            copied += '\n' + url;
        });
        // File managers paste files from their own type; everything else reads the URI list.
        representations = {{uriList, list}, {QStringLiteral("x-special/gnome-copied-files"), copied}};
        break;
    }
    }
    m_pasteboard.write(representations);
    m_ignoreChange = m_pasteboard.changeCount();
    m_lastChange = m_pasteboard.changeCount();
    m_written = item;
    // A copy that waits is no longer on the clipboard: its read would meet this write.
    dropCopiesBefore(m_lastChange, false);

    const auto it = std::find(m_items.begin(), m_items.end(), item);
    if (it == m_items.end())
        return;
    std::vector<ClipItem> items;
    items.reserve(m_items.size());
    items.push_back(item);
    for (const ClipItem& existing : m_items)
        if (!(existing == item))
            items.push_back(existing);
    setItems(std::move(items));
}

void ClipboardHistory::remove(const QUuid& id) {
    std::vector<ClipItem> items;
    for (const ClipItem& existing : m_items)
        if (existing.id != id)
            items.push_back(existing);
    setItems(std::move(items));
    scheduleSave();
}

void ClipboardHistory::clear() {
    setItems({});
    scheduleSave();
}

bool ClipboardHistory::prune() {
    const qint64 days = m_settings.clipboardRetentionDays();
    if (days < 1)
        return false;
    // In UTC: entries are dated so, and each comparison is then one of two numbers. A retention
    // edited by hand past any real one must not overflow.
    const qint64 cutoff =
        m_scheduler.wallNow().toMSecsSinceEpoch() - std::min<qint64>(days, 1000000) * 86400000;
    std::vector<ClipItem> items;
    for (const ClipItem& existing : m_items)
        if (existing.date.toMSecsSinceEpoch() >= cutoff)
            items.push_back(existing);
    const bool removed = items.size() != m_items.size();
    if (removed)
        setItems(std::move(items));
    return removed;
}

void ClipboardHistory::scheduleSave() {
    if (m_settings.clipboardRetentionDays() < 1)
        return;
    m_saver.schedule(m_items);
}

void ClipboardHistory::flushForTermination() {
    ++m_flushCount;
    // A save waiting, under way or failed: the list's last state may not be on disk.
    const bool unsaved = m_saver.hasUnsaved();
    m_saver.cancel();
    if (!m_settings.clipboardEnabled()) {
        m_saver.waitForSaves();
        return;
    }
    if (m_settings.clipboardRetentionDays() >= 1) {
        // An emptied history is saved too, or the entries on disk would come back.
        if (!m_items.empty() || unsaved)
            m_saver.saveNow(m_items);
        else
            m_saver.waitForSaves();
        return;
    }
    if (m_items.empty()) {
        m_saver.waitForSaves();
        return;
    }
    m_saver.saveNow(m_items);
    m_store.writeHandoff(m_scheduler.wallNow());
}

bool ClipboardHistory::handoffIsFresh() const {
    const std::optional<QDateTime> quit = m_store.handoffTime();
    if (!quit)
        return false;
    const qint64 ageMs = quit->msecsTo(m_scheduler.wallNow());
    // A quit "in the future" means the clock was set back: nothing vouches for that store.
    return ageMs >= 0 && ageMs < static_cast<qint64>(handoffWindow.count() * 1000);
}

void ClipboardHistory::purgeStaleStore(bool enabled, qint64 retentionDays) {
    // A save still pending, or one being written, would bring the deleted store back.
    if (!enabled || retentionDays == 0) {
        cancelPendingSave();
        m_saver.waitForSaves();
    }
    if (!m_store.exists())
        return;
    if (!enabled || (retentionDays == 0 && !handoffIsFresh()))
        m_saver.removeAll();
}

void ClipboardHistory::load() {
    bool handedOver = false;
    // Kept only until quitting, the history is not read again; unless nobody knows it was.
    if (m_settings.clipboardRetentionDays() == 0 && m_settings.areStored()) {
        if (!handoffIsFresh()) {
            m_saver.removeAll();
            return;
        }
        handedOver = true;
    }
    ClipboardStore::Loaded loaded = m_store.load();
    using Status = ClipboardStore::Loaded::Status;
    if (loaded.status == Status::loaded) {
        // Everything stored is loaded: a limit lowered since it was saved cuts the list at the
        // next copy, as a lowered limit always does.
        setItems(std::move(loaded.items));
        if (prune())
            scheduleSave();
    }
    // A handed-over history lives in memory until the next quit writes it again.
    if (handedOver) {
        m_saver.removeAll();
        return;
    }
    if (loaded.status == Status::damaged) {
        m_storeNotice = QStringLiteral("The clipboard history was damaged and is kept in ") +
                        QFileInfo(*loaded.setAsidePath).fileName() + QStringLiteral("; it starts empty");
        qCWarning(lcApp, "%s (%s: %s)", qUtf8Printable(*m_storeNotice), qUtf8Printable(*loaded.setAsidePath),
                  qUtf8Printable(loaded.detail));
    } else if (loaded.status == Status::unreadable) {
        // Whatever it holds, this run could not take it in: writing over it would lose it.
        m_saver.refuse();
        m_storeNotice = QStringLiteral(
            "The clipboard history could not be read; it is not saved until that is dealt with");
        qCWarning(lcApp, "%s (%s: %s)", qUtf8Printable(*m_storeNotice),
                  qUtf8Printable(m_store.directory() + QStringLiteral("/index.json")),
                  qUtf8Printable(loaded.detail));
    }
}

void ClipboardHistory::applyRetention() {
    if (m_settings.clipboardRetentionDays() != 0) {
        prune();
        scheduleSave();
        return;
    }
    m_saver.removeAll();
}

} // namespace corvane
