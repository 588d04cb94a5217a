#pragma once

#include "platform/UserDefaults.h"

#include <QString>

namespace corvane {

// The defaults as one pretty-printed JSON document with sorted keys. Integers and doubles stay
// apart (12 and 12.0 read back as written). Saves are atomic: a temporary file in the same
// folder, synced to disk, then renamed over the old one, readable by the user alone.
class JsonDefaultsFile final : public DefaultsFile {
public:
    // The largest file read and written: the settings take a few kilobytes, so anything near this is no
    // settings file of ours, and a bound keeps a link to an endless device from filling memory.
    static constexpr qint64 sizeLimit = 4 * 1024 * 1024;

    explicit JsonDefaultsFile(QString path);

    // $XDG_CONFIG_HOME/Corvane/defaults.json, with ~/.config when the variable is unset.
    static QString defaultPath();

    const QString& path() const { return m_path; }

    LoadResult load() override;
    std::optional<QString> save(const Json& document) override;
    // Renames the file to "<name>.damaged-<yyyyMMdd-hhmmss>", never replacing an earlier one.
    std::optional<QString> setAside() override;

private:
    QString m_path;
};

} // namespace corvane
