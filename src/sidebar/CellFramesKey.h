#pragma once

#include <QRectF>

#include <cstdint>
#include <map>

namespace corvane {

// The frames of the strip's window cells, by window number, in the strip's coordinates.
struct CellFramesKey {
    using Value = std::map<uint32_t, QRectF>;

    static Value defaultValue() { return {}; }
    // A cell reported twice keeps the frame reported last.
    static void reduce(Value& value, const Value& next) {
        for (const auto& [id, frame] : next)
            value.insert_or_assign(id, frame);
    }
};

} // namespace corvane
