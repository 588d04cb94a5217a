#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <type_traits>

namespace corvane {

// The values a setting offers, declared beside its key in the settings definition. The store keeps
// whatever it is given; the pages offer these values, and code that needs the value within them
// takes it through `bound`.

// Every value from `minimum` to `maximum`, in steps of `step` (for a stepper or a slider).
template <typename T> struct SettingRange {
    T minimum;
    T maximum;
    T step;

    // The value moved into the range; a value that is not a number gives the minimum.
    constexpr T bound(T value) const {
        if constexpr (std::is_floating_point_v<T>) {
            if (std::isnan(value))
                return minimum;
        }
        return std::clamp(value, minimum, maximum);
    }
};

// A fixed list of values, in the order a picker shows them.
template <typename T, std::size_t N> struct SettingValues {
    std::array<T, N> values;

    constexpr T minimum() const { return *std::min_element(values.begin(), values.end()); }
    constexpr T maximum() const { return *std::max_element(values.begin(), values.end()); }
    constexpr bool offers(T value) const {
        return std::find(values.begin(), values.end(), value) != values.end();
    }
    // The value moved between the lowest and the highest offered; not a number gives the lowest.
    constexpr T bound(T value) const { return SettingRange<T>{minimum(), maximum(), T{}}.bound(value); }
    constexpr auto begin() const { return values.begin(); }
    constexpr auto end() const { return values.end(); }
};

// What a row of the settings definition writes: `range(10, 200, 10)` or `values(1, 3, 5)`, in the
// row's own value type.
template <typename T> struct SettingBounds {
    static constexpr SettingRange<T> range(T minimum, T maximum, T step = T{1}) {
        return {minimum, maximum, step};
    }
    template <typename... V> static constexpr SettingValues<T, sizeof...(V)> values(V... values) {
        constexpr std::size_t count = sizeof...(V);
        SettingValues<T, count> result{{static_cast<T>(values)...}};
        return result;
    }
};

} // namespace corvane
