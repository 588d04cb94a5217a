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

// How a file name (or a path) reads on screen. Control characters show as "�", so a name stays
// on one line; so do the characters that steer the direction of text (overrides, embeddings,
// isolates, marks), so they cannot reorder what follows them; and in a name with right-to-left
// letters the part before the extension is isolated from the extension, which reads left to
// right after it: "photo" U+202E "gpj.exe" reads "photo�gpj.exe", never "photoexe.jpg". For
// showing only: searching, sorting, dragging and every file operation use the real name.
QString shownName(const QString& name);

} // namespace corvane
