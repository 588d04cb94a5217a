#pragma once

#include <QObject>
#include <QSet>

#include <functional>

namespace corvane {

// Tells when one of the product's own menus opens and when the last one closes (submenus
// included), so that the strip stays up while the user picks from a context menu.
class MenuTracking : public QObject {
    Q_OBJECT
public:
    MenuTracking(std::function<void()> began, std::function<void()> ended, QObject* parent = nullptr);
    ~MenuTracking() override;

    bool isTracking() const { return !m_open.isEmpty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void closed(QObject* menu);

    std::function<void()> m_began;
    std::function<void()> m_ended;
    QSet<QObject*> m_open;
};

} // namespace corvane
