#include "runtime/NotificationCenter.h"

#include <algorithm>

namespace corvane {

ObserverToken NotificationCenter::addObserver(const QString& name, Handler handler) {
    auto alive = std::make_shared<bool>(true);
    m_observers.push_back({name, alive, std::make_shared<Handler>(std::move(handler))});
    return ObserverToken(alive);
}

void NotificationCenter::post(const QString& name, const QVariant& object, const QVariantMap& userInfo) {
    std::erase_if(m_observers, [](const Observer& o) { return !*o.alive; });
    // Observers added while posting do not see this notification; removed ones stop at once.
    const std::vector<Observer> snapshot = m_observers;
    const Notification notification{name, object, userInfo};
    for (const auto& observer : snapshot) {
        if (observer.name == name && *observer.alive)
            (*observer.handler)(notification);
    }
}

int NotificationCenter::observerCount(const QString& name) const {
    return static_cast<int>(std::count_if(m_observers.begin(), m_observers.end(),
                                          [&](const Observer& o) { return o.name == name && *o.alive; }));
}

} // namespace corvane
