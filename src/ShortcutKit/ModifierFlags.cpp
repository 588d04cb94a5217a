#include "ShortcutKit/ModifierFlags.h"

#include <array>
#include <utility>

namespace corvane::ShortcutKit {

namespace {
struct Modifier {
    quint64 flag;
    qint64 carbon;
    const char16_t* symbol;
};
// In display order.
constexpr std::array<Modifier, 5> modifiers{{
    {ModifierFlags::control, CarbonModifiers::control, u"\u2303"},
    {ModifierFlags::option, CarbonModifiers::option, u"\u2325"},
    {ModifierFlags::shift, CarbonModifiers::shift, u"\u21E7"},
    {ModifierFlags::command, CarbonModifiers::command, u"\u2318"},
    {ModifierFlags::function, CarbonModifiers::function, u"\U0001F310\uFE0E"},
}};

constexpr std::array<std::pair<quint64, Qt::KeyboardModifier>, 5> qtPairs{{
    {ModifierFlags::shift, Qt::ShiftModifier},
    {ModifierFlags::control, Qt::ControlModifier},
    {ModifierFlags::option, Qt::AltModifier},
    {ModifierFlags::command, Qt::MetaModifier},
    {ModifierFlags::numericPad, Qt::KeypadModifier},
}};
} // namespace

qint64 ModifierFlags::carbon() const {
    qint64 bits = 0;
    for (const Modifier& m : modifiers)
        if (contains(m.flag))
            bits |= m.carbon;
    return bits;
}

ModifierFlags ModifierFlags::fromCarbon(qint64 bits) {
    quint64 flags = 0;
    for (const Modifier& m : modifiers)
        if ((bits & m.carbon) == m.carbon)
            flags |= m.flag;
    return flags;
}

QString ModifierFlags::presentableDescription() const {
    QString text;
    for (const Modifier& m : modifiers)
        if (contains(m.flag))
            text += QString::fromUtf16(m.symbol);
    return text;
}

Qt::KeyboardModifiers ModifierFlags::qtModifiers() const {
    Qt::KeyboardModifiers result;
    for (const auto& [flag, qt] : qtPairs)
        if (contains(flag))
            result |= qt;
    return result;
}

ModifierFlags ModifierFlags::fromQt(Qt::KeyboardModifiers qtModifiers) {
    quint64 flags = 0;
    for (const auto& [flag, qt] : qtPairs)
        if (qtModifiers.testFlag(qt))
            flags |= flag;
    return flags;
}

} // namespace corvane::ShortcutKit
