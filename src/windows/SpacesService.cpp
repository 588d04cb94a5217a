#include "windows/SpacesService.h"

#include "core/ScreenHelpers.h"
#include "platform/RunningApplications.h"
#include "runtime/Executor.h"

#include <QPointer>
#include <QThread>

namespace corvane {

SpacesService::SpacesService(Desktops& desktops, Screens& screens, RunningApplications& runningApplications,
                             Scheduler& scheduler, Executor& background)
    : m_desktops(desktops), m_running(runningApplications), m_scheduler(scheduler), m_background(background),
      m_screenProvider([&screens] { return screens.mainScreen(); }) {}

SpacesService::~SpacesService() = default;

void SpacesService::start() {
    if (m_observer)
        return;
    m_observer = connect(&m_running, &RunningApplications::activeSpaceChanged, this, [this] {
        Q_ASSERT(QThread::currentThread() == thread());
        refresh();
    });
    refresh();
}

void SpacesService::refresh() {
    if (m_refreshing)
        return;
    m_refreshing = true;
    std::optional<QString> identifier;
    if (m_screenProvider) {
        if (const std::optional<ScreenInfo> screen = m_screenProvider())
            identifier = displayUUID(*screen);
    }
    runRefresh(std::move(identifier));
}

QCoro::Task<void> SpacesService::runRefresh(std::optional<QString> displayIdentifier) {
    QPointer<SpacesService> self(this);
    Desktops* desktops = &m_desktops;
    auto read = [desktops, displayIdentifier] { return readManagedSpaces(*desktops, displayIdentifier); };
    std::optional<Reading> reading;
    try {
        reading = co_await runOn(m_background, read);
    } catch (...) {
        reading.reset();
    }
    if (!self)
        co_return;
    m_refreshing = false;
    apply(reading);
}

void SpacesService::apply(const std::optional<Reading>& reading) {
    if (!reading) {
        // An unreadable list empties the chips but keeps the last known desktop.
        setSpaces({});
        return;
    }
    setSpaces(reading->spaces);
    setCurrentID(reading->currentID);
}

void SpacesService::setSpaces(std::vector<SpaceInfo> spaces) {
    if (spaces == m_spaces)
        return;
    m_spaces = std::move(spaces);
    Q_EMIT spacesChanged();
}

void SpacesService::setCurrentID(std::optional<uint64_t> id) {
    if (id == m_currentID)
        return;
    m_currentID = id;
    Q_EMIT currentIDChanged();
}

void SpacesService::startSpacesTimer(bool run) {
    if (!run) {
        m_timer.invalidate();
        return;
    }
    if (m_timer.isValid())
        return;
    QPointer<SpacesService> self(this);
    m_timer = m_scheduler.scheduleRepeating(Seconds(pollInterval), Seconds(pollTolerance), [self] {
        if (!self)
            return;
        Q_ASSERT(QThread::currentThread() == self->thread());
        self->refresh();
    });
    refresh();
}

std::optional<SpacesService::Reading>
SpacesService::readManagedSpaces(Desktops& desktops, const std::optional<QString>& displayIdentifier) {
    const std::optional<DesktopState> state = desktops.readDesktops(displayIdentifier);
    if (!state)
        return std::nullopt;
    return parseDesktopState(*state);
}

std::optional<SpacesService::Reading> SpacesService::parseDesktopState(const DesktopState& state) {
    if (state.count > maximumDesktops)
        return std::nullopt;
    Reading reading;
    reading.spaces.reserve(state.count);
    for (uint32_t position = 0; position < state.count; ++position) {
        // A desktop here never belongs to one full-screen program.
        reading.spaces.push_back(SpaceInfo{position + 1ull, static_cast<int>(position) + 1, false});
    }
    // A current desktop past the end of the list names none of the listed ones.
    if (state.current && *state.current < state.count)
        reading.currentID = *state.current + 1ull;
    return reading;
}

} // namespace corvane
