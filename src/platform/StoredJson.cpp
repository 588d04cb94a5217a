#include "platform/StoredJson.h"

#include <algorithm>

namespace corvane {

int storedJsonDepth(const QByteArray& bytes, int limit) {
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : bytes) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        switch (c) {
        case '"':
            inString = true;
            break;
        case '[':
        case '{':
            deepest = std::max(deepest, ++depth);
            if (deepest > limit)
                return deepest;
            break;
        case ']':
        case '}':
            // Unbalanced closers make the parser refuse the text; the count only has to stay sane.
            depth = std::max(0, depth - 1);
            break;
        default:
            break;
        }
    }
    return deepest;
}

std::optional<nlohmann::json> parseStoredJson(const QByteArray& bytes, QString* error) {
    if (storedJsonDepth(bytes) > storedJsonMaxDepth) {
        if (error)
            *error = QStringLiteral("it nests deeper than %1 levels").arg(storedJsonMaxDepth);
        return std::nullopt;
    }
    try {
        return nlohmann::json::parse(bytes.constBegin(), bytes.constEnd());
    } catch (const nlohmann::json::exception& failure) {
        if (error)
            *error = QString::fromUtf8(failure.what());
        return std::nullopt;
    }
}

} // namespace corvane
