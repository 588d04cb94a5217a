#include "workspaces/Workspace.h"

#include <QTextBoundaryFinder>

namespace corvane {

namespace {

// The user-perceived characters of `text`.
QStringList graphemes(const QString& text) {
    QStringList result;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const qsizetype end = finder.position();
        if (end > start)
            result.push_back(text.mid(start, end - start));
        start = end;
    }
    return result;
}

// A character separates words unless its first code point is a letter or a number.
bool isWordCharacter(const QString& character) {
    if (character.isEmpty())
        return false;
    const char32_t first = character.toUcs4().value(0);
    return QChar::isLetter(first) || QChar::isNumber(first);
}

} // namespace

QString Workspace::initials() const {
    const QStringList characters = graphemes(name);
    std::vector<QStringList> words(1);
    for (const QString& character : characters) {
        if (isWordCharacter(character)) {
            words.back().push_back(character);
        } else if (!words.back().isEmpty()) {
            words.emplace_back();
        }
    }
    if (words.back().isEmpty())
        words.pop_back();

    if (words.size() >= 2)
        return (words[0].front() + words[1].front()).toUpper();
    const QStringList& source = words.empty() ? characters : words.front();
    return source.mid(0, 2).join(QString()).toUpper();
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
