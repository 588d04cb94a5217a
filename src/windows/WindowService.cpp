#include "windows/WindowService.h"

#include "core/PermissionManager.h"
#include "core/Settings.h"
#include "platform/RunningApplications.h"
#include "platform/WindowList.h"
#include "runtime/Executor.h"
#include "windows/AXWindowService.h"

#include <QPointer>

namespace corvane {
namespace {

// Invisible formatting characters (direction marks and the like) that some programs put in their
// names; they would make two equal names compare unequal.
QString withoutFormatCharacters(const QString& text) {
    QList<uint> kept;
    for (uint c : text.toUcs4()) {
        if (QChar::category(char32_t(c)) != QChar::Other_Format)
            kept.append(c);
    }
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(kept.constData()), kept.size());
}

bool isListableSubrole(const std::optional<QString>& subrole) {
    return !subrole || *subrole == axStandardWindowSubrole || *subrole == axDialogSubrole;
}

bool isLargeEnough(const QRectF& frame) {
    return frame.width() >= WindowService::minimumWindowSide &&
           frame.height() >= WindowService::minimumWindowSide;
}

} // namespace

WindowService::WindowService(Settings& settings, AXWindowService& ax, WindowList& windowList,
                             RunningApplications& runningApplications, Scheduler& scheduler,
                             Executor& background, int32_t ownPID)
    : m_settings(settings), m_ax(ax), m_windowList(windowList), m_running(runningApplications),
      m_scheduler(scheduler), m_background(background), m_ownPID(ownPID) {}

WindowService::~WindowService() = default;

// The desktop's own pieces, by the owner's name the window list gives (the desktop entry's name,
// else the process name): a dock, a panel, notification pop-ups, a launcher, the window
// manager. Most show windows of a kind that is not listed anyway; these catch the rest. The X
// server itself owns no client windows.
const QSet<QString>& WindowService::ignoredOwnerNames() {
    static const QSet<QString> names{
        QStringLiteral("Plank"), QStringLiteral("xfce4-panel"), QStringLiteral("dunst"),
        QStringLiteral("rofi"),  QStringLiteral("Openbox"),
    };
    return names;
}

std::vector<CGWindowRecord> WindowService::onScreenRecords() const {
    return m_windowList.onScreenWindows();
}

WindowService::AppEntry WindowService::appInfo(int32_t pid) {
    if (auto it = m_apps.find(pid); it != m_apps.end())
        return it->second;
    AppEntry entry;
    const std::optional<RunningApplication> app = m_running.application(pid);
    // A pid with no program behind it is remembered as such too: the facts of a pid are read
    // once, and the entry goes when the program ends.
    if (app) {
        entry.bundleID = app->bundleID;
        entry.name = withoutFormatCharacters(app->localizedName).trimmed();
        entry.regular = app->regular;
    }
    m_apps.emplace(pid, entry);
    return entry;
}

bool WindowService::isExcluded(int32_t pid, const QStringList& excluded) {
    const AppEntry entry = appInfo(pid);
    return entry.bundleID && excluded.contains(*entry.bundleID);
}

QCoro::Task<void> WindowService::refresh(bool force) {
    ++m_refreshCount;
    if (m_isRefreshing) {
        m_pendingRefresh = true;
        m_pendingForceSweep = m_pendingForceSweep || force;
        co_return;
    }
    // Nothing the window list reads has changed since the last pass, which this one would only
    // repeat unless something else it reads has. Counted before the list is read: a change during
    // the read brings the next pass.
    const std::optional<uint64_t> changes = m_windowList.changeCount();
    if (!force && changes && changes == m_listedAt && !readsOtherThanLastPass())
        co_return;
    m_listedAt = changes;
    m_isRefreshing = true;
    QPointer<WindowService> self(this);

    std::vector<CGWindowRecord> records;
    WindowList* list = &m_windowList;
    try {
        records = co_await runOn(m_background, [list] { return list->onScreenWindows(); });
    } catch (...) {
        // An unreadable window list is an empty one for this pass.
        records.clear();
    }
    if (!self)
        co_return;

    const QStringList excluded = m_settings.excludedBundleIDs();
    m_passExcluded = excluded;
    const QDateTime now = m_scheduler.wallNow();

    std::vector<CGWindowRecord> kept;
    std::set<uint32_t> keptIDs;
    for (const CGWindowRecord& record : records) {
        if (record.layer != 0 || !(record.alpha > 0) || record.pid == m_ownPID ||
            !isLargeEnough(record.bounds) || ignoredOwnerNames().contains(record.owner) ||
            isExcluded(record.pid, excluded) || !keptIDs.insert(record.id).second)
            continue;
        kept.push_back(record);
        if (!m_firstSeen.contains(record.id)) {
            // Windows that appear together keep their front-to-back order under the recent
            // ordering, about a second in the past so that a real activation beats them.
            const auto n = static_cast<qint64>(kept.size());
            m_firstSeen[record.id] = now;
            m_activation[record.id] = now.addMSecs(-(1000 + n));
        }
    }

    if (sweepIsDue(force, kept) && PermissionManager::cachedAccessibility()) {
        std::vector<int32_t> pids = sweepPIDs(kept, excluded);
        AXWindowService* ax = &m_ax;
        auto sweep = [ax, pids] { return ax->sweep(pids); };
        std::optional<AXSweepResult> result;
        try {
            result = co_await m_ax.run(sweep);
        } catch (...) {
            // A failed sweep leaves the last one's tables in force.
        }
        if (!self)
            co_return;
        if (result)
            storeSweep(*result);
    }

    merge(kept, excluded, now);
    finishRefresh();
}

bool WindowService::sweepIsDue(bool force, const std::vector<CGWindowRecord>& kept) {
    bool unsweptNew = false;
    std::set<uint32_t> ids;
    for (const CGWindowRecord& record : kept) {
        ids.insert(record.id);
        if (m_axWindows.contains(record.id))
            continue;
        const auto seen = m_firstSeen.find(record.id);
        const QDateTime firstSeen = seen != m_firstSeen.end() ? seen->second : m_scheduler.wallNow();
        if (!m_lastSweepAt || firstSeen > *m_lastSweepAt)
            unsweptNew = true;
    }
    bool vanished = false;
    for (uint32_t id : m_lastOnScreen)
        vanished = vanished || !ids.contains(id);
    m_lastOnScreen = std::move(ids);

    return force || unsweptNew || vanished || sweepIsDueByTime();
}

bool WindowService::sweepIsDueByTime() const {
    return !m_lastSweep || m_scheduler.elapsedSince(*m_lastSweep).count() > sweepInterval;
}

bool WindowService::readsOtherThanLastPass() const {
    if (m_settings.excludedBundleIDs() != m_passExcluded)
        return true;
    // A program's back-off began or ended since the last sweep: the sweep due now reads another
    // set of programs.
    return m_backOffTurns && m_scheduler.now() >= *m_backOffTurns && sweepIsDueByTime() &&
           PermissionManager::cachedAccessibility();
}

std::vector<int32_t> WindowService::sweepPIDs(const std::vector<CGWindowRecord>& kept,
                                              const QStringList& excluded) {
    std::set<int32_t> pids;
    for (const CGWindowRecord& record : kept)
        pids.insert(record.pid);
    for (const RunningApplication& app : m_running.runningApplications()) {
        if (!app.regular || app.pid == m_ownPID)
            continue;
        if (app.bundleID && excluded.contains(*app.bundleID))
            continue;
        pids.insert(app.pid);
    }
    return {pids.begin(), pids.end()};
}

void WindowService::storeSweep(const AXSweepResult& result) {
    // Replaced whole: the windows of programs the sweep skipped drop out.
    m_axWindows.clear();
    for (const AXWindowSnapshot& snapshot : result.windows)
        m_axWindows.emplace(snapshot.windowID, snapshot);
    m_axReadable = result.readablePIDs;
    m_backOffTurns = result.backOffTurns;
    m_lastSweep = m_scheduler.now();
    m_lastSweepAt = m_scheduler.wallNow();
    ++m_sweepCount;
}

void WindowService::merge(const std::vector<CGWindowRecord>& kept, const QStringList& excluded,
                          const QDateTime& now) {
    std::vector<WindowInfo> merged;
    std::set<uint32_t> included;

    // On screen, front to back. A program that answered the sweep vouches for its windows; one
    // that did not is listed as the window manager shows it.
    for (const CGWindowRecord& record : kept) {
        const auto found = m_axWindows.find(record.id);
        const AXWindowSnapshot* snap = found != m_axWindows.end() ? &found->second : nullptr;
        if (m_axReadable.contains(record.pid)) {
            if (!snap || !isListableSubrole(snap->subrole))
                continue;
        }
        const AppEntry entry = appInfo(record.pid);
        included.insert(record.id);
        WindowInfo info;
        info.windowID = record.id;
        info.pid = record.pid;
        info.bundleID = entry.bundleID;
        info.appName = entry.name.isEmpty() ? record.owner : entry.name;
        info.title = !record.title.isEmpty() ? record.title : (snap ? snap->title : QString());
        info.frame = record.bounds;
        merged.push_back(std::move(info));
    }

    // Off screen: only minimised windows and those of hidden programs. A window that is merely on
    // another desktop is not listed.
    for (const auto& [id, snap] : m_axWindows) {
        if (included.contains(id))
            continue;
        if (!isListableSubrole(snap.subrole) || snap.pid == m_ownPID || !isLargeEnough(snap.frame) ||
            isExcluded(snap.pid, excluded))
            continue;
        const std::optional<RunningApplication> app = m_running.application(snap.pid);
        const bool hidden = app && app->isHidden;
        if (!snap.isMinimized && !hidden)
            continue;
        if (!m_firstSeen.contains(id)) {
            m_firstSeen[id] = now;
            m_activation[id] = now.addSecs(-3600);
        }
        WindowInfo info;
        info.windowID = id;
        info.pid = snap.pid;
        info.bundleID = appInfo(snap.pid).bundleID;
        info.appName = appInfo(snap.pid).name;
        info.title = snap.title;
        info.frame = snap.frame;
        info.isMinimized = snap.isMinimized;
        info.isAppHidden = hidden && !snap.isMinimized;
        merged.push_back(std::move(info));
    }

    // A new topmost window of the program in front counts as activated now.
    const std::optional<int32_t> frontPID = m_running.frontmostApplicationPID();
    std::optional<uint32_t> activeID;
    bool topSeen = false;
    for (const CGWindowRecord& record : kept) {
        if (!included.contains(record.id))
            continue;
        if (!topSeen) {
            topSeen = true;
            if (m_lastTop != record.id) {
                m_lastTop = record.id;
                if (frontPID && record.pid == *frontPID)
                    m_activation[record.id] = now;
            }
        }
        if (frontPID && record.pid == *frontPID) {
            activeID = record.id;
            break;
        }
    }

    std::set<uint32_t> keep;
    for (WindowInfo& info : merged) {
        const auto stamp = m_activation.find(info.windowID);
        info.lastActivated = stamp != m_activation.end() ? stamp->second : now;
        info.isActive = activeID == info.windowID;
        keep.insert(info.windowID);
    }

    // Forget windows that are gone. The stamps of every kept on-screen window stay, listed or
    // not: a window its readable program did not report would otherwise be new again at every
    // pass, and a new unswept window forces a sweep, so such a window would sweep every second.
    const auto listedOrOnScreen = [&](uint32_t id) {
        return keep.contains(id) || m_lastOnScreen.contains(id);
    };
    std::erase_if(m_firstSeen, [&](const auto& item) { return !listedOrOnScreen(item.first); });
    std::erase_if(m_activation, [&](const auto& item) { return !listedOrOnScreen(item.first); });
    std::vector<uint32_t> pins;
    for (uint32_t id : m_pinned) {
        if (keep.contains(id))
            pins.push_back(id);
    }
    // The prune tells the observers of the pins at every refresh, whether or not it removed one.
    setPinned(std::move(pins), true);

    m_allWindows = std::move(merged);
    rebuildVisible();
}

void WindowService::finishRefresh() {
    m_isRefreshing = false;
    if (!m_pendingRefresh)
        return;
    const bool force = m_pendingForceSweep;
    m_pendingRefresh = false;
    m_pendingForceSweep = false;
    refresh(force);
}

} // namespace corvane
