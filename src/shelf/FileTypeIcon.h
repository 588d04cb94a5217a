#pragma once

#include "platform/FileFacts.h"

#include <QIcon>
#include <QString>

namespace corvane {

// The desktop icon theme's icon for a file's type, found from its name and kind alone: nothing
// is opened or read, so it may run on the main thread for any file. Folders get the folder icon;
// pipes, sockets and devices their own kind's; other files their type's icon by name, else its
// generic icon. Where the desktop names no icon theme, or its theme lacks an icon, the
// "Adwaita" theme stands in.
QIcon fileTypeIcon(const QString& path, FileKind kind);

} // namespace corvane
