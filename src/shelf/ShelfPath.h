#pragma once

#include <QString>
#include <QStringList>

namespace corvane {

// The shelf compares paths as text: a precomposed accented letter equals its decomposed form,
// and nothing else is forgiven (no case folding, no symbolic-link resolution, no trailing-slash
// tolerance).
bool samePath(const QString& a, const QString& b);
bool samePaths(const QStringList& a, const QStringList& b);

// The form under which equal paths share one key in maps and hashes.
QString pathKey(const QString& path);

// The name a file list shows for a path: its last component, or the whole path where it has none
// (the root folder).
QString shelfDisplayName(const QString& path);

} // namespace corvane
