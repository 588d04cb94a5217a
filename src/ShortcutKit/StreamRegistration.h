#pragma once

#include "ShortcutKit/StreamTarget.h"

#include <QPointer>

#include <functional>

namespace corvane::ShortcutKit {

class Registry;

// A stream's place in the registry: its key-down and key-up closures under one id, for as long
// as it lives. While it lives, its shortcut's hot key stays registered; when it goes, the hot key
// is released unless something else still uses it.
class StreamRegistration {
public:
    StreamRegistration(Registry& registry, StreamTarget target, std::function<void()> onKeyDown,
                       std::function<void()> onKeyUp);
    ~StreamRegistration();
    StreamRegistration(const StreamRegistration&) = delete;
    StreamRegistration& operator=(const StreamRegistration&) = delete;

    const StreamTarget& target() const { return m_target; }

private:
    QPointer<Registry> m_registry;
    StreamTarget m_target;
    quint64 m_id = 0;
};

} // namespace corvane::ShortcutKit
