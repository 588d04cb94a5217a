#include "workspaces/Workspace.h"

#include <QStringList>
#include <QTextBoundaryFinder>

#include <optional>

namespace corvane {

namespace {

// A character separates words unless its first code point is a letter or a number.
bool isWordCharacter(QStringView character) {
    if (character.isEmpty())
        return false;
    const char32_t first = character.toUcs4().value(0);
    return QChar::isLetter(first) || QChar::isNumber(first);
}

// The badge as read from `text`, the start of a name (all of it when `whole`); none when that
// start does not settle it. Grapheme boundaries before the end of a start are those of the whole
// name, but its last character may go on past it.
std::optional<QString> initialsOf(QStringView text, bool whole) {
    QString nameStart;     // the first two characters of the text
    QStringList firstWord; // the first two characters of the first word
    int words = 0;
    bool inWord = false;
    int characters = 0;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const qsizetype end = finder.position();
        if (end <= start)
            continue;
        if (!whole && end == text.size())
            return std::nullopt;
        const QStringView character = text.mid(start, end - start);
        start = end;
        if (characters++ < 2)
            nameStart += character;
        if (!isWordCharacter(character)) {
            inWord = false;
            continue;
        }
        if (!inWord) {
            inWord = true;
            if (++words == 2)
                return (firstWord.front() + character.toString()).toUpper();
        }
        if (firstWord.size() < 2)
            firstWord.append(character.toString());
    }
    if (!whole)
        return std::nullopt;
    return words == 1 ? firstWord.join(QString()).toUpper() : nameStart.toUpper();
}

} // namespace

QString Workspace::initials() const {
    // The badge lies near the start of a name: it is read from a start that doubles until it
    // settles it, so that a long name costs no more than where its second word begins.
    for (qsizetype length = 64;; length *= 2) {
        const bool whole = length >= name.size();
        if (std::optional<QString> badge = initialsOf(QStringView(name).left(length), whole))
            return *badge;
    }
}

const std::array<QString, 9>& workspacePalette() {
    static const std::array<QString, 9> palette = {"#D22027", "#0A84FF", "#30D158", "#FF9F0A", "#BF5AF2",
                                                   "#64D2FF", "#FF375F", "#FFD60A", "#8E8E93"};
    return palette;
}

QRectF clampUnitRect(const QRectF& rect) {
    const auto side = [](double value) {
        if (!(value > 0.05))
            value = 0.05; // also catches NaN
        return value > 1 ? 1.0 : value;
    };
    const auto offset = [](double value, double size) {
        if (!(value > 0))
            value = 0;
        return std::min(value, 1 - size);
    };
    const double w = side(rect.width());
    const double h = side(rect.height());
    return QRectF(offset(rect.x(), w), offset(rect.y(), h), w, h);
}

QRectF relativeUnitRect(const QRectF& frame, const QRectF& reference) {
    if (!(reference.width() > 0) || !(reference.height() > 0))
        return QRectF(0, 0, 0, 0);
    return clampUnitRect(QRectF((frame.x() - reference.x()) / reference.width(),
                                (frame.y() - reference.y()) / reference.height(),
                                frame.width() / reference.width(), frame.height() / reference.height()));
}

} // namespace corvane
