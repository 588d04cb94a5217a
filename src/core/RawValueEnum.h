#pragma once

#include <QLatin1String>
#include <QString>

#include <array>
#include <optional>
#include <string_view>
#include <type_traits>
#include <utility>

namespace corvane {

// The stored form of a choice enumeration: every case has a raw value, a string equal to its case
// name, which is what the defaults store keeps. Each enumeration lists its cases once, in
// declaration order:
//
//   template <> struct EnumCases<Side> {
//       static constexpr std::array<std::pair<Side, std::string_view>, 2> cases{{
//           {Side::left, "left"}, {Side::right, "right"}}};
//   };
//
// Raw values are part of the persistent format: never rename one.
template <typename E> struct EnumCases;

template <typename E>
concept RawValueEnum = std::is_enum_v<E> && requires {
    EnumCases<E>::cases;
};

template <RawValueEnum E> QString rawValue(E value) {
    for (const auto& [candidate, raw] : EnumCases<E>::cases) {
        if (candidate == value)
            return QString::fromLatin1(raw.data(), static_cast<qsizetype>(raw.size()));
    }
    return {};
}

// The case whose raw value equals `raw` exactly: case-sensitive, no trimming. None otherwise.
template <RawValueEnum E> std::optional<E> fromRawValue(const QString& raw) {
    for (const auto& [candidate, text] : EnumCases<E>::cases) {
        if (raw == QLatin1String(text.data(), static_cast<qsizetype>(text.size())))
            return candidate;
    }
    return std::nullopt;
}

// Every case, in declaration order (the order pickers offer them in).
template <RawValueEnum E> constexpr auto allCases() {
    constexpr auto& cases = EnumCases<E>::cases;
    std::array<E, cases.size()> result{};
    for (std::size_t i = 0; i < cases.size(); ++i)
        result[i] = cases[i].first;
    return result;
}

} // namespace corvane
