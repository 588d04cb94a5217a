#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace corvane {

// Writes a file the user owns so that it is always either the old file or the whole new one: a
// temporary file in the same folder (mode 0600), synced, then renamed over the target, and the
// folder synced. Creates the folder. Answers none on success, else why it failed; on failure
// the old file is untouched.
std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace corvane
