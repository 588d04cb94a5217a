#include "windows/WindowMatching.h"

#include <QStringList>
#include <QTextBoundaryFinder>

#include <set>

namespace corvane {
namespace {

constexpr int hintLength = 60;

// The first `count` user-perceived characters: an accent or an emoji sequence is never cut apart.
QString leftGraphemes(const QString& text, int count) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (int taken = 0; taken < count; ++taken) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0)
            return text;
        end = next;
    }
    return text.left(end);
}

QStringList splitAtSeparators(const QString& title) {
    static const QStringList separators = {QStringLiteral(" \u2014 "), QStringLiteral(" \u2013 "),
                                           QStringLiteral(" - "), QStringLiteral(" | ")};
    QStringList pieces{title};
    for (const QString& separator : separators) {
        QStringList cut;
        for (const QString& piece : pieces)
            cut += piece.split(separator);
        pieces = cut;
    }
    return pieces;
}

bool namesProgram(const QString& lowerPiece, const QString& lowerName) {
    // An unnamed program names nothing; an empty name would otherwise sit inside every piece.
    if (lowerName.isEmpty())
        return false;
    return lowerPiece == lowerName || lowerPiece.contains(lowerName) || lowerName.contains(lowerPiece);
}

} // namespace

std::optional<QString> titleHint(const QString& title, const QString& appName) {
    const QString lowerName = appName.toLower();
    std::optional<QString> last;
    for (const QString& raw : splitAtSeparators(title)) {
        const QString piece = raw.trimmed();
        if (piece.isEmpty() || namesProgram(piece.toLower(), lowerName))
            continue;
        last = piece;
    }
    if (!last)
        return std::nullopt;
    return leftGraphemes(*last, hintLength);
}

std::map<int, uint32_t> matchWindows(const std::vector<MatchRequest>& requests,
                                     const std::vector<MatchCandidate>& candidates) {
    std::map<int, uint32_t> chosen;
    std::set<uint32_t> used;
    auto take = [&](int index, const MatchRequest& request, auto&& qualifies) {
        for (const MatchCandidate& candidate : candidates) {
            if (candidate.bundleID != request.bundleID || used.count(candidate.windowID))
                continue;
            if (!qualifies(candidate))
                continue;
            chosen[index] = candidate.windowID;
            used.insert(candidate.windowID);
            return;
        }
    };

    // Every request named by its title is served before any falls back to its program's first
    // window, so a request without a title never takes a window that a later one names.
    for (int index = 0; index < static_cast<int>(requests.size()); ++index) {
        const MatchRequest& request = requests[index];
        if (!request.titleContains)
            continue;
        const QString fragment = request.titleContains->trimmed();
        if (fragment.isEmpty())
            continue;
        take(index, request, [&fragment](const MatchCandidate& candidate) {
            return candidate.title.contains(fragment, Qt::CaseInsensitive);
        });
    }
    for (int index = 0; index < static_cast<int>(requests.size()); ++index) {
        if (chosen.count(index))
            continue;
        take(index, requests[index], [](const MatchCandidate&) { return true; });
    }
    return chosen;
}

} // namespace corvane
