#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace corvane {

// Files no other user may read. Folders are made 0700 and files 0600 at the moment they are
// created, never widened and narrowed after.

// $XDG_DATA_HOME/Corvane (default ~/.local/share/Corvane): where the product keeps its data.
// Creates nothing.
QString corvaneDataFolder();
// Creates the folder and any missing parent with mode 0700. True when it exists afterwards.
bool makePrivateFolder(const QString& path);
// Creates (or empties) a file with mode 0600 and sets its modification time to `time`.
bool writePrivateMarker(const QString& path, const QDateTime& time);
// The modification time of a file; none when it cannot be read.
std::optional<QDateTime> modificationTime(const QString& path);

} // namespace corvane
