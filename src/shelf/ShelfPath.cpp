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

} // namespace corvane
