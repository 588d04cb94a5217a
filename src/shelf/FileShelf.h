#pragma once

#include <QObject>
#include <QStringList>

namespace corvane {

// The Tray and the pinned folders.
class FileShelf : public QObject {
    Q_OBJECT
public:
    // Pinned folder paths, in the user's order.
    const QStringList& folders() const { return m_folders; }

private:
    QStringList m_folders;
};

} // namespace corvane
