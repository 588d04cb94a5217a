#include "settings/BoundKey.h"

#include <QObject>

namespace corvane {

void followSetting(Settings& settings, const QString& key, QObject* owner, std::function<void()> refresh) {
    refresh();
    QObject::connect(&settings, &Settings::changed, owner, [key, refresh](const QString& changed) {
        if (key.isEmpty() || changed == key)
            refresh();
    });
}

} // namespace corvane
