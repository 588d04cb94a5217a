#pragma once

#include <QList>
#include <QUrl>

namespace corvane {

// What another program's drag in progress carries, as the desktop's drag-and-drop offers it to
// onlookers. Main thread only.
class DragSource {
public:
    virtual ~DragSource() = default;

    // Changes whenever a new drag starts offering data.
    virtual qint64 changeCount() const = 0;
    // Whether the drag offers file URLs.
    virtual bool carriesFileURLs() const = 0;
    // The file URLs the drag offers; empty when it offers none or anything else.
    virtual QList<QUrl> fileURLs() const = 0;
    virtual bool isLeftButtonDown() const = 0;
};

} // namespace corvane
