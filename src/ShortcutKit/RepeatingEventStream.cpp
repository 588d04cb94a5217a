#include "ShortcutKit/RepeatingEventStream.h"

#include "ShortcutKit/Registry.h"

#include <QPointer>

#include <algorithm>

namespace corvane::ShortcutKit {

struct RepeatingEventStream::State : std::enable_shared_from_this<State> {
    State(Registry& r, Scheduler& s, StreamTarget t, KeyRepeat k, EventChannel<Tick> c)
        : registry(&r), scheduler(s), target(std::move(t)), repeat(k), channel(std::move(c)) {}

    QPointer<Registry> registry;
    Scheduler& scheduler;
    StreamTarget target;
    KeyRepeat repeat;
    EventChannel<Tick> channel;
    TimerHandle timer;
    // The name's stored shortcut at the last press.
    std::optional<Shortcut> heldShortcut;

    void pressed() {
        if (const Name* name = std::get_if<Name>(&target))
            heldShortcut = registry ? registry->getShortcut(*name) : std::nullopt;
        channel.push(Tick{});
        // A second press without a release starts over from the delay.
        schedule(repeat.delay);
    }
    void released() { timer.invalidate(); }

    void schedule(Seconds delay) {
        std::weak_ptr<State> weak = weak_from_this();
        timer = scheduler.schedule(delay, [weak] {
            if (auto self = weak.lock())
                self->tick();
        });
    }
    void tick() {
        if (!isActive())
            return;
        channel.push(Tick{});
        schedule(repeat.interval);
    }
    bool isActive() const {
        if (!registry || registry->isPaused() || !registry->isEnabled())
            return false;
        if (const Shortcut* shortcut = std::get_if<Shortcut>(&target))
            return registry->isRegistered(*shortcut);
        const Name& name = std::get<Name>(target);
        if (!registry->hasHandlers(name))
            return false;
        const std::optional<Shortcut> stored = registry->getShortcut(name);
        if (!stored || !registry->isRegistered(*stored) || !heldShortcut)
            return false;
        return *stored == *heldShortcut;
    }
};

std::shared_ptr<RepeatingEventStream::State>
RepeatingEventStream::makeState(Registry& registry, Scheduler& scheduler, const StreamTarget& target,
                                KeyRepeat repeat, EventChannel<Tick> channel) {
    // Whatever the desktop reports, a timer only ever gets a sane delay.
    const KeyRepeat fallback;
    repeat.delay = sanitizedDelay(repeat.delay, fallback.delay);
    repeat.interval =
        std::max(sanitizedDelay(repeat.interval, fallback.interval), Seconds(Scheduler::minimumInterval));
    return std::make_shared<State>(registry, scheduler, target, repeat, std::move(channel));
}

RepeatingEventStream::RepeatingEventStream(Registry& registry, Scheduler& scheduler, StreamTarget target,
                                           KeyRepeat repeat)
    : m_state(makeState(registry, scheduler, target, repeat, m_channel)),
      m_registration(
          registry, std::move(target),
          [weak = std::weak_ptr<State>(m_state)] {
              if (auto state = weak.lock())
                  state->pressed();
          },
          [weak = std::weak_ptr<State>(m_state)] {
              if (auto state = weak.lock())
                  state->released();
          }) {}

RepeatingEventStream::~RepeatingEventStream() {
    m_state->timer.invalidate();
    m_channel.finish();
}

} // namespace corvane::ShortcutKit
