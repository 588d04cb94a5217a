#include "ShortcutKit/RecorderServices.h"

#include "ShortcutKit/RecorderAlerts.h"
#include "ShortcutKit/ShortcutConflicts.h"
#include "app/AppState.h"

namespace corvane::ShortcutKit {

RecorderServices RecorderServices::of(AppState& state) {
    return {state.shortcuts(), state.notifications(), *state.platform().host, RecorderAlerts::standard(),
            ShortcutConflicts::standard()};
}

} // namespace corvane::ShortcutKit
