#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <vector>

namespace corvane {

struct Notification {
    QString name;
    QVariant object;
    QVariantMap userInfo;
};

class NotificationCenter;

// Removes its observation when destroyed.
class ObserverToken {
public:
    ObserverToken() = default;
    explicit ObserverToken(std::shared_ptr<bool> alive) : m_alive(std::move(alive)) {}
    ObserverToken(ObserverToken&&) noexcept = default;
    ObserverToken& operator=(ObserverToken&& other) noexcept {
        if (this != &other) {
            remove();
            m_alive = std::move(other.m_alive);
        }
        return *this;
    }
    ~ObserverToken() { remove(); }
    void remove() {
        if (m_alive)
            *m_alive = false;
        m_alive.reset();
    }
    bool isActive() const { return m_alive && *m_alive; }

private:
    std::shared_ptr<bool> m_alive;
};

// The product's named notifications: synchronous (observers run before `post` returns, on the
// posting thread), re-entrant (an observer may post again or add and remove observers).
class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    [[nodiscard]] ObserverToken addObserver(const QString& name, Handler handler);
    void post(const QString& name, const QVariant& object = {}, const QVariantMap& userInfo = {});
    int observerCount(const QString& name) const;

private:
    struct Observer {
        QString name;
        std::shared_ptr<bool> alive;
        std::shared_ptr<Handler> handler;
    };
    std::vector<Observer> m_observers;
};

} // namespace corvane
