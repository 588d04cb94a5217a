#include "ShortcutKit/ModifierFlags.h"

#include "core/ShortcutText.h"

#include <array>
#include <utility>

namespace corvane::ShortcutKit {

namespace {
struct Modifier {
    quint64 flag;
    qint64 carbon;
};
constexpr std::array<Modifier, 5> modifiers{{
    {ModifierFlags::control, CarbonModifiers::control},
    {ModifierFlags::option, CarbonModifiers::option},
    {ModifierFlags::shift, CarbonModifiers::shift},
    {ModifierFlags::command, CarbonModifiers::command},
    {ModifierFlags::function, CarbonModifiers::function},
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
    const QString fn = contains(function) ? QStringLiteral("Fn+") : QString();
    return fn + modifierPrefix(qtModifiers() & ~Qt::KeypadModifier);
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
