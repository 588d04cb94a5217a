#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace corvane {

// The desktop's clipboard: the content other programs copy and that pasting inserts. Its change
// count goes up by one for every new content, including a program copying twice in a row. Main
// thread only.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;

    // Cheap: no content is read.
    virtual qint64 changeCount() = 0;
    // The types the current content is offered in (MIME types, and whatever other names the
    // owner offers, such as "x-kde-passwordManagerHint").
    virtual QStringList types() = 0;
    // The content in one type; empty when it is not offered or cannot be read.
    virtual QByteArray data(const QString& type) = 0;
    // Replaces the content with these representations, in order of preference. On return the
    // change count already counts this write.
    virtual void write(const std::vector<std::pair<QString, QByteArray>>& representations) = 0;
};

} // namespace corvane
