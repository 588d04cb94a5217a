#include "shelf/ShelfPath.h"

#include <QDir>
#include <QFileInfo>

namespace corvane {

QString pathKey(const QString& path) {
    return path.normalized(QString::NormalizationForm_C);
}

bool samePath(const QString& a, const QString& b) {
    return a == b || pathKey(a) == pathKey(b);
}

bool samePaths(const QStringList& a, const QStringList& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!samePath(a[i], b[i]))
            return false;
    }
    return true;
}

QString shelfDisplayName(const QString& path) {
    const QString name = QFileInfo(QDir::cleanPath(path)).fileName();
    return name.isEmpty() ? path : name;
}

namespace {

// Whether a character would act on the text rather than show: controls (a newline breaks the
// line), line and paragraph separators, and the characters that steer the direction of text.
// Each shows as "�", which every font draws (the control pictures are missing from many).
bool actsOnText(char16_t c) {
    const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
    const bool separator = c == 0x2028 || c == 0x2029;
    const bool direction = c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
                           (c >= 0x2066 && c <= 0x2069);
    return control || separator || direction;
}

constexpr char16_t leftToRightIsolate = 0x2066;
constexpr char16_t firstStrongIsolate = 0x2068;
constexpr char16_t popDirectionalIsolate = 0x2069;

} // namespace

QString shownName(const QString& name) {
    QString visible;
    visible.reserve(name.size() + 4);
    bool rightToLeft = false;
    for (const QChar c : name) {
        visible.append(actsOnText(c.unicode()) ? QChar(QChar::ReplacementCharacter) : c);
        rightToLeft = rightToLeft || c.direction() == QChar::DirR || c.direction() == QChar::DirAL;
    }
    // A name written left to right throughout reads as it is.
    if (!rightToLeft)
        return visible;
    // The extension: from the last dot of the last component, unless the dot starts it.
    const qsizetype component = visible.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = visible.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > component;
    const QString stem = hasExtension ? visible.left(dot) : visible;
    // Each part in its own isolate: the stem keeps its own direction but cannot carry the
    // extension with it, and the extension reads left to right whatever precedes it.
    QString shown = QChar(firstStrongIsolate) + stem + QChar(popDirectionalIsolate);
    if (hasExtension)
        shown += QChar(leftToRightIsolate) + visible.mid(dot) + QChar(popDirectionalIsolate);
    return shown;
}

} // namespace corvane
