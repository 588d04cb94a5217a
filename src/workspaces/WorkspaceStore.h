#pragma once

#include <QString>

namespace corvane {

// The saved workspaces on disk: "workspaces.json" in the product's data folder.
class WorkspaceStore {
public:
    explicit WorkspaceStore(QString filePath) : m_filePath(std::move(filePath)) {}
    // $XDG_DATA_HOME/Corvane/workspaces.json.
    static QString defaultFileURL();
    const QString& filePath() const { return m_filePath; }

private:
    QString m_filePath;
};

} // namespace corvane
