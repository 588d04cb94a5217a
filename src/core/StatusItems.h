#pragma once

namespace corvane {

class UserDefaults;

// Removes saved status-item positions left by items that ran without a name of their own: keys
// that begin with "NSStatusItem" and contain " Item-". The named items' positions stay.
void purgeStaleStatusItemDefaults(UserDefaults& defaults);

} // namespace corvane
