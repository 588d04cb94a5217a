#include "workspaces/WorkspaceStore.h"

#include <QDir>
#include <QStandardPaths>

namespace corvane {

QString WorkspaceStore::defaultFileURL() {
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty()) dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return dataHome + QStringLiteral("/Corvane/workspaces.json");
}

} // namespace corvane
