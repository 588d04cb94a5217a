#pragma once

#include "ShortcutKit/ConflictPolicy.h"

class QWidget;

namespace corvane::ShortcutKit {

// A window or a part of one can choose the conflict policy of the recorders inside it. Recorders
// read it from their nearest ancestor that set one when they are made and again before every
// recording, so a change reaches recorders already shown.
void setShortcutKitConflictPolicy(QWidget& subtree, const ConflictPolicy& policy);
// The policy the widget's nearest ancestor (the widget included) set; the default when none did.
ConflictPolicy shortcutKitConflictPolicy(const QWidget* widget);

} // namespace corvane::ShortcutKit
