#pragma once

#include <QString>

#include <optional>

namespace corvane {

// What a shelf list shows: the Tray, or one pinned folder.
struct ShelfSource {
    enum class Kind { tray, folder } kind = Kind::tray;
    QString path; // the folder's path; empty for the Tray
    static ShelfSource tray() { return {}; }
    static ShelfSource folder(QString path) { return {Kind::folder, std::move(path)}; }
    bool operator==(const ShelfSource&) const = default;
};

} // namespace corvane
