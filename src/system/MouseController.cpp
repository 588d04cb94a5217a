#include "system/MouseController.h"

#include "core/PermissionManager.h"
#include "core/Settings.h"
#include "platform/PointerDevices.h"
#include "platform/UserDefaults.h"
#include "runtime/Log.h"

namespace corvane {

namespace {

MouseController* currentController = nullptr;
const char* const kOriginalsKey = "mouseNaturalScrollingOriginals";

bool isMouse(const PointerDevices::Device& device) {
    return !device.isTouchpad && device.naturalScrolling.has_value();
}

} // namespace

MouseController::MouseController(Settings& settings, PointerDevices& devices, UserDefaults& defaults)
    : m_settings(settings), m_devices(devices), m_defaults(defaults) {
    currentController = this;
    // Values an earlier run changed and never gave back: they are still the ones to restore.
    if (const auto stored = m_defaults.object(kOriginalsKey); stored && stored->is_object())
        for (const auto& [name, value] : stored->items())
            if (value.is_boolean())
                m_originals[QString::fromStdString(name)] = value.get<bool>();
    connect(&m_devices, &PointerDevices::devicesChanged, this, [this] {
        apply();
        Q_EMIT devicesChanged();
    });
}

MouseController::~MouseController() {
    if (currentController == this)
        currentController = nullptr;
}

MouseController* MouseController::current() {
    return currentController;
}

bool MouseController::isAvailable() const {
    for (const PointerDevices::Device& device : m_devices.devices())
        if (isMouse(device))
            return true;
    return false;
}

bool MouseController::touchpadScrollsNaturally() const {
    for (const PointerDevices::Device& device : m_devices.devices())
        if (device.isTouchpad && device.naturalScrolling)
            return *device.naturalScrolling;
    return true;
}

void MouseController::saveOriginals() {
    if (m_originals.empty()) {
        m_defaults.remove(kOriginalsKey);
        return;
    }
    Json record = Json::object();
    for (const auto& [name, value] : m_originals)
        record[name.toStdString()] = value;
    m_defaults.set(kOriginalsKey, std::move(record));
    // A crash right after the change must find the record on disk.
    m_defaults.flush();
}

void MouseController::apply() {
    const MouseScrollDirection direction = m_settings.mouseScrollDirection();
    const bool systemNatural = touchpadScrollsNaturally();
    const bool invert = (direction == MouseScrollDirection::standard && systemNatural) ||
                        (direction == MouseScrollDirection::natural && !systemNatural);
    qCInfo(lcApp, "Mouse: direction=%s systemNatural=%s invert=%s ax=%s", qUtf8Printable(rawValue(direction)),
           Log::boolText(systemNatural), Log::boolText(invert),
           Log::boolText(PermissionManager::cachedAccessibility()));

    if (direction == MouseScrollDirection::system) {
        restoreOriginals();
        return;
    }
    const bool wanted = direction == MouseScrollDirection::natural;
    for (const PointerDevices::Device& device : m_devices.devices()) {
        if (!isMouse(device) || *device.naturalScrolling == wanted)
            continue;
        if (m_originals.emplace(device.name, *device.naturalScrolling).second)
            saveOriginals();
        m_devices.setNaturalScrolling(device.id, wanted);
    }
}

void MouseController::restoreOriginals() {
    if (m_originals.empty())
        return;
    for (const PointerDevices::Device& device : m_devices.devices()) {
        if (!isMouse(device))
            continue;
        const auto it = m_originals.find(device.name);
        if (it != m_originals.end() && *device.naturalScrolling != it->second)
            m_devices.setNaturalScrolling(device.id, it->second);
    }
    // A mouse that is gone comes back with its driver's default: nothing is left to give back.
    m_originals.clear();
    saveOriginals();
}

} // namespace corvane
