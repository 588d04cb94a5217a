#include "ShortcutKit/StreamRegistration.h"

#include "ShortcutKit/Registry.h"

namespace corvane::ShortcutKit {

StreamRegistration::StreamRegistration(Registry& registry, StreamTarget target,
                                       std::function<void()> onKeyDown, std::function<void()> onKeyUp)
    : m_registry(&registry), m_target(std::move(target)) {
    m_id = registry.addStream(m_target, std::move(onKeyDown), std::move(onKeyUp));
}

StreamRegistration::~StreamRegistration() {
    if (m_registry)
        m_registry->removeStream(m_target, m_id);
}

} // namespace corvane::ShortcutKit
