#pragma once

#include <QByteArray>
#include <QString>

#include <nlohmann/json.hpp>

#include <optional>

namespace corvane {

// The deepest nesting any file Corvane stores may hold (objects and arrays inside each other).
// Our own files need fewer than ten levels; a deeper file did not come from us, and reading it
// would cost stack and memory with every copy.
inline constexpr int storedJsonMaxDepth = 64;

// How deep `bytes` nest, counted without parsing (brackets inside strings do not count); stops
// counting once the depth passes `limit`.
int storedJsonDepth(const QByteArray& bytes, int limit = storedJsonMaxDepth);

// The one reader of stored JSON: parses `bytes` when they nest no deeper than
// `storedJsonMaxDepth`; none (with the reason in `error`) when they nest deeper or do not parse.
std::optional<nlohmann::json> parseStoredJson(const QByteArray& bytes, QString* error = nullptr);

} // namespace corvane
