#include "ShortcutKit/SpecialKey.h"

#include "ShortcutKit/Key.h"

#include <map>
#include <vector>

namespace corvane::ShortcutKit {

namespace {
// A keypad key: its character on a keycap.
QString keycap(const QString& text) {
    return text + QChar(0x20E3);
}

std::vector<SpecialKey> makeTable() {
    std::vector<SpecialKey> table{
        {Key::returnKey.rawValue, QStringLiteral("\u21A9")},
        {Key::deleteKey.rawValue, QStringLiteral("\u232B")},
        {Key::deleteForward.rawValue, QStringLiteral("\u2326")},
        {Key::end.rawValue, QStringLiteral("\u2198")},
        {Key::escape.rawValue, QStringLiteral("\u238B")},
        {Key::help.rawValue, QStringLiteral("?\u20DD")},
        {Key::home.rawValue, QStringLiteral("\u2196")},
        {Key::space.rawValue, QStringLiteral("Space")},
        {Key::tab.rawValue, QStringLiteral("\u21E5")},
        {Key::pageUp.rawValue, QStringLiteral("\u21DE")},
        {Key::pageDown.rawValue, QStringLiteral("\u21DF")},
        {Key::upArrow.rawValue, QStringLiteral("\u2191")},
        {Key::rightArrow.rawValue, QStringLiteral("\u2192")},
        {Key::downArrow.rawValue, QStringLiteral("\u2193")},
        {Key::leftArrow.rawValue, QStringLiteral("\u2190")},
    };
    const Key functionKeys[] = {Key::f1,  Key::f2,  Key::f3,  Key::f4,  Key::f5,  Key::f6,  Key::f7,
                                Key::f8,  Key::f9,  Key::f10, Key::f11, Key::f12, Key::f13, Key::f14,
                                Key::f15, Key::f16, Key::f17, Key::f18, Key::f19, Key::f20};
    int number = 1;
    for (Key key : functionKeys)
        table.push_back({key.rawValue, QStringLiteral("F%1").arg(number++)});
    const Key digits[] = {Key::keypad0, Key::keypad1, Key::keypad2, Key::keypad3, Key::keypad4,
                          Key::keypad5, Key::keypad6, Key::keypad7, Key::keypad8, Key::keypad9};
    int digit = 0;
    for (Key key : digits)
        table.push_back({key.rawValue, keycap(QString::number(digit++))});
    table.push_back({Key::keypadClear.rawValue, keycap(QStringLiteral("\u2612"))});
    table.push_back({Key::keypadDecimal.rawValue, keycap(QStringLiteral("."))});
    table.push_back({Key::keypadDivide.rawValue, keycap(QStringLiteral("/"))});
    table.push_back({Key::keypadEnter.rawValue, keycap(QStringLiteral("\u21A9"))});
    table.push_back({Key::keypadEquals.rawValue, keycap(QStringLiteral("="))});
    table.push_back({Key::keypadMinus.rawValue, keycap(QStringLiteral("-"))});
    table.push_back({Key::keypadMultiply.rawValue, keycap(QStringLiteral("*"))});
    table.push_back({Key::keypadPlus.rawValue, keycap(QStringLiteral("+"))});
    return table;
}
} // namespace

const SpecialKey* SpecialKey::byKeyCode(qint64 keyCode) {
    static const std::vector<SpecialKey> table = makeTable();
    static const std::map<qint64, const SpecialKey*> index = [] {
        std::map<qint64, const SpecialKey*> byCode;
        for (const SpecialKey& key : table)
            byCode.emplace(key.keyCode, &key);
        return byCode;
    }();
    const auto found = index.find(keyCode);
    return found == index.end() ? nullptr : found->second;
}

} // namespace corvane::ShortcutKit
