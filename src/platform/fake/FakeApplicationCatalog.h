#pragma once

#include "platform/ApplicationCatalog.h"

#include <map>

namespace corvane {

// Applications a test installs and runs by filling the two maps; the counters tell how often
// the catalog was asked.
class FakeApplicationCatalog final : public ApplicationCatalog {
public:
    std::optional<QIcon> iconForBundleID(const QString& bundleID) override;
    std::optional<QIcon> iconForPID(qint64 pid) override;
    std::optional<QIcon> iconForWindow(uint32_t windowID) override {
        ++windowLookups;
        const auto it = iconsByWindow.find(windowID);
        return it == iconsByWindow.end() ? std::nullopt : std::optional<QIcon>(it->second);
    }
    std::optional<QString> displayNameForBundleID(const QString& bundleID) override;

    std::map<QString, QIcon> iconsByBundleID;
    std::map<qint64, QIcon> iconsByPID;
    std::map<uint32_t, QIcon> iconsByWindow;
    std::map<QString, QString> namesByBundleID;
    int bundleIDLookups = 0;
    int pidLookups = 0;
    int windowLookups = 0;
};

} // namespace corvane
