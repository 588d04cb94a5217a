#pragma once

#include "platform/DragSource.h"

namespace corvane {

// A drag in memory: a test starts one with files or other data and lets the button go.
class FakeDragSource final : public DragSource {
public:
    qint64 changeCount() const override { return count; }
    bool carriesFileURLs() const override { return !files.isEmpty(); }
    QList<QUrl> fileURLs() const override { return files; }
    bool isLeftButtonDown() const override { return buttonDown; }

    // A new drag offering these URLs (none: some other data, such as text).
    void beginDrag(QList<QUrl> urls) {
        ++count;
        files = std::move(urls);
        buttonDown = true;
    }

    qint64 count = 0;
    QList<QUrl> files;
    bool buttonDown = false;
};

} // namespace corvane
