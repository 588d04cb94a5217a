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
    std::optional<QString> displayNameForBundleID(const QString& bundleID) override;

    std::map<QString, QIcon> iconsByBundleID;
    std::map<qint64, QIcon> iconsByPID;
    std::map<QString, QString> namesByBundleID;
    int bundleIDLookups = 0;
    int pidLookups = 0;
};

} // namespace corvane
