#include "settings/BoundKey.h"

#include <QObject>

namespace corvane {

void followSettings(Settings& settings, QObject* owner, std::function<void()> refresh) {
    refresh();
    QObject::connect(&settings, &Settings::changed, owner, [refresh] { refresh(); });
}

} // namespace corvane
