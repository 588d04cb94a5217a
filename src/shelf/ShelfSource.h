#pragma once

#include "shelf/ShelfPath.h"

#include <QHashFunctions>
#include <QString>

#include <functional>

namespace corvane {

// What a shelf list shows: the Tray, or one pinned folder.
struct ShelfSource {
    enum class Kind { tray, folder } kind = Kind::tray;
    QString path; // the folder's path; empty for the Tray

    static ShelfSource tray() { return {}; }
    static ShelfSource folder(QString path) { return {Kind::folder, std::move(path)}; }

    bool isTray() const { return kind == Kind::tray; }
    // "tray", or the folder's path. Keys the floating file panels, also in the user defaults.
    QString id() const { return isTray() ? QStringLiteral("tray") : path; }

    friend bool operator==(const ShelfSource& a, const ShelfSource& b) {
        return a.kind == b.kind && (a.isTray() || samePath(a.path, b.path));
    }
};

inline size_t qHash(const ShelfSource& source, size_t seed = 0) {
    return source.isTray() ? ::qHash(0, seed) : ::qHash(pathKey(source.path), seed);
}

} // namespace corvane

template <> struct std::hash<corvane::ShelfSource> {
    size_t operator()(const corvane::ShelfSource& source) const noexcept { return corvane::qHash(source); }
};
