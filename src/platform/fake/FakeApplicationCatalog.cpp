#include "platform/fake/FakeApplicationCatalog.h"

namespace corvane {

std::optional<QIcon> FakeApplicationCatalog::iconForBundleID(const QString& bundleID) {
    ++bundleIDLookups;
    if (auto it = iconsByBundleID.find(bundleID); it != iconsByBundleID.end())
        return it->second;
    return std::nullopt;
}

std::optional<QIcon> FakeApplicationCatalog::iconForPID(qint64 pid) {
    ++pidLookups;
    if (auto it = iconsByPID.find(pid); it != iconsByPID.end())
        return it->second;
    return std::nullopt;
}

std::optional<QString> FakeApplicationCatalog::displayNameForBundleID(const QString& bundleID) {
    if (auto it = namesByBundleID.find(bundleID); it != namesByBundleID.end())
        return it->second;
    return std::nullopt;
}

} // namespace corvane
