#pragma once

namespace corvane::ShortcutKit {

enum class EventType { keyDown, keyUp };

} // namespace corvane::ShortcutKit
