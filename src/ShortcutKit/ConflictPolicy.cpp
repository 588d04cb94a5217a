#include "ShortcutKit/ConflictPolicy.h"

#include <QHashFunctions>

namespace corvane::ShortcutKit {

size_t qHash(const ConflictPolicy& policy, size_t seed) noexcept {
    return qHashMulti(seed, static_cast<int>(policy.menuItem), static_cast<int>(policy.systemShortcut),
                      static_cast<int>(policy.disallowed));
}

} // namespace corvane::ShortcutKit
