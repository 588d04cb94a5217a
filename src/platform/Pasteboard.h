#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace corvane {

// What a read of the clipboard found: the types the content is offered in, and the bytes of the
// types that were asked for and could be had.
struct PasteboardContent {
    QStringList types;
    QHash<QString, QByteArray> data;
};

// The desktop's clipboard: the content other programs copy and that pasting inserts. Its change
// count goes up by one for every new content, including a program copying twice in a row. Main
// thread only. Nothing here waits for the program that owns the content: reads answer later.
class Pasteboard {
public:
    // Picks, from the offered types, those whose bytes a read fetches, in that order.
    using TypePicker = std::function<QStringList(const QStringList& types)>;
    using ReadDone = std::function<void(std::optional<PasteboardContent>)>;

    virtual ~Pasteboard() = default;

    // Cheap: no content is read.
    virtual qint64 changeCount() = 0;
    // Whether `setChangeHandler` hears of every new content as it happens. Without it the change
    // count has to be polled.
    virtual bool reportsChanges() const = 0;
    // Called on the main thread with the new change count, once per new content, soon after the
    // owner changed and never inside a call into this object.
    virtual void setChangeHandler(std::function<void(qint64 change)> handler) = 0;
    // Reads the current content: its types (MIME types, and whatever other names the owner offers,
    // such as "x-kde-passwordManagerHint"), then the bytes of the types `pick` names. `done` runs
    // on the main thread, perhaps before `read` returns; with none when the owner did not answer
    // within a bounded time or sent more than a bounded amount. Reads overlap: one owner that
    // never answers holds up no other read.
    virtual void read(TypePicker pick, ReadDone done) = 0;
    // Ends every read under way; their `done` never runs.
    virtual void cancelReads() = 0;
    // Replaces the content with these representations, in order of preference. On return the
    // change count already counts this write.
    virtual void write(const std::vector<std::pair<QString, QByteArray>>& representations) = 0;
};

} // namespace corvane
