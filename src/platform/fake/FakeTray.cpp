#include "platform/fake/FakeTray.h"

#include <algorithm>

namespace corvane {

FakeTrayIcon::FakeTrayIcon(FakeTray& tray, QString name)
    : m_name(std::move(name)), m_visible(tray.isAvailable()) {}

void FakeTrayIcon::click() {
    if (m_menu)
        m_menu->popup(QPoint());
    else
        Q_EMIT activated();
}

void FakeTrayIcon::removeByUser() {
    if (!m_visible)
        return;
    m_visible = false;
    m_removedByUser = true;
    Q_EMIT hidden(HideReason::removedByUser);
}

void FakeTrayIcon::setHostAvailable(bool available) {
    // An icon the user took away stays away, whatever the host does.
    if (m_removedByUser || m_visible == available)
        return;
    m_visible = available;
    if (available)
        Q_EMIT shown();
    else
        Q_EMIT hidden(HideReason::hostUnavailable);
}

std::unique_ptr<TrayIcon> FakeTray::makeIcon(const QString& name) {
    auto icon = std::make_unique<FakeTrayIcon>(*this, name);
    std::erase_if(m_icons, [](const QPointer<FakeTrayIcon>& live) { return live.isNull(); });
    m_icons.emplace_back(icon.get());
    return icon;
}

void FakeTray::setAvailable(bool available) {
    if (m_available == available)
        return;
    m_available = available;
    for (const QPointer<FakeTrayIcon>& icon : std::vector(m_icons))
        if (icon)
            icon->setHostAvailable(available);
    Q_EMIT availabilityChanged(available);
}

FakeTrayIcon* FakeTray::icon(const QString& name) const {
    for (const QPointer<FakeTrayIcon>& icon : m_icons)
        if (icon && icon->name() == name)
            return icon.data();
    return nullptr;
}

int FakeTray::iconCount() const {
    return static_cast<int>(std::count_if(m_icons.begin(), m_icons.end(),
                                          [](const QPointer<FakeTrayIcon>& icon) { return !icon.isNull(); }));
}

} // namespace corvane
