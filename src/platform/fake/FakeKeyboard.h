#pragma once

#include "platform/Keyboard.h"

#include <map>

namespace corvane {

// A US keyboard in memory: letters, digits and punctuation print as on a US layout. A test can
// change what a key prints (another layout), map native key codes and set the repeat rate.
class FakeKeyboard final : public Keyboard {
public:
    FakeKeyboard();

    std::optional<QString> keyText(qint64 keyCode) const override;
    std::optional<qint64> keyCode(quint32 nativeKeyCode) const override;
    KeyRepeat keyRepeat() const override { return m_repeat; }

    // None makes the key print nothing.
    void setKeyText(qint64 keyCode, std::optional<QString> text);
    void setNativeKey(quint32 nativeKeyCode, qint64 keyCode) { m_native[nativeKeyCode] = keyCode; }
    void setKeyRepeat(KeyRepeat repeat) { m_repeat = repeat; }

private:
    std::map<qint64, std::optional<QString>> m_texts;
    std::map<quint32, qint64> m_native;
    KeyRepeat m_repeat;
};

} // namespace corvane
