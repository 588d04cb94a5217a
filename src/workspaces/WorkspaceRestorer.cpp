#include "workspaces/WorkspaceRestorer.h"

namespace corvane {

QCoro::Task<WorkspaceRestorer::Result> WorkspaceRestorer::restore(Workspace workspace) {
    Q_UNUSED(workspace);
    co_return Result{};
}

} // namespace corvane
