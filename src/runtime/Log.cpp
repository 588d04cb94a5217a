#include "runtime/Log.h"

Q_LOGGING_CATEGORY(lcApp, "com.lumenforge.corvane.app", QtInfoMsg)
Q_LOGGING_CATEGORY(lcAx, "com.lumenforge.corvane.ax", QtInfoMsg)
Q_LOGGING_CATEGORY(lcThumbnails, "com.lumenforge.corvane.thumbnails", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWorkspaces, "com.lumenforge.corvane.workspaces", QtInfoMsg)
Q_LOGGING_CATEGORY(lcLayout, "com.lumenforge.corvane.layout", QtInfoMsg)
Q_LOGGING_CATEGORY(lcRadial, "com.lumenforge.corvane.radial", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPermissions, "com.lumenforge.corvane.permissions", QtInfoMsg)

namespace corvane::Log {

void installMessagePattern() {
    qSetMessagePattern(QStringLiteral("%{time hh:mm:ss.zzz} %{if-category}%{category}: %{endif}%{message}"));
}

} // namespace corvane::Log
