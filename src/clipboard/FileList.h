#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QUrl>

namespace corvane {

// Files in the order they were copied, kept as one text: the local path of each, each ended by a
// NUL, a character no path holds. A list of thousands costs about its text; an object per file
// (a URL or a string each) costs many times that.
class FileList {
public:
    FileList() = default;
    // The local files among `urls`, in order.
    explicit FileList(const QList<QUrl>& urls);

    // Adds a file by its path; a path that holds a NUL is no path and is left out.
    void append(QStringView path);
    // Gives back the room kept for more, once the list is whole.
    void squeeze() { m_text.squeeze(); }
    qsizetype size() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }
    // The first file's path; empty when there is none.
    QString first() const;
    QStringList paths() const;
    QList<QUrl> urls() const;
    // Calls `f` with each path, in order.
    template <typename F> void forEach(F&& f) const {
        qsizetype start = 0;
        for (qsizetype i = 0; i < m_count; ++i) {
            const qsizetype end = m_text.indexOf(QChar(u'\0'), start);
            f(QStringView(m_text).sliced(start, end - start));
            start = end + 1;
        }
    }

    bool operator==(const FileList& other) const {
        return m_count == other.m_count && m_text == other.m_text;
    }

private:
    QString m_text;
    qsizetype m_count = 0;
};

} // namespace corvane
