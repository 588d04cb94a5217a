#include "ShortcutKit/HotKey.h"

#include "ShortcutKit/HotKeyCenter.h"

namespace corvane::ShortcutKit {

HotKey::HotKey(HotKeyCenter& center, qint64 keyCode, qint64 modifiers, Action down, Action up)
    : carbonKeyCode(keyCode), carbonModifiers(modifiers), id(center.nextHotKeyId()),
      onKeyDown(std::move(down)), onKeyUp(std::move(up)), m_center(center) {}

HotKey::~HotKey() {
    m_center.forget(*this);
}

} // namespace corvane::ShortcutKit
