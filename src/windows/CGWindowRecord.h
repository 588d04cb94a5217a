#pragma once

#include "platform/WindowList.h"

namespace corvane {

// One entry of the window manager's on-screen list, as the window list and snapping read it.
using CGWindowRecord = WindowListEntry;

} // namespace corvane
