#include "core/StatusItems.h"

#include "platform/UserDefaults.h"

namespace corvane {

void purgeStaleStatusItemDefaults(UserDefaults& defaults) {
    for (const std::string& key : defaults.keys()) {
        if (key.starts_with("NSStatusItem") && key.find(" Item-") != std::string::npos)
            defaults.remove(key);
    }
}

} // namespace corvane
