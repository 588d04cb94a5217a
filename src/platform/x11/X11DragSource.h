#pragma once

#include "platform/DragSource.h"

namespace corvane {

// Drags between other programs are not watched here: the only reader is the drop shelf under a
// camera notch, and no screen here has one. It reports that no drag is in progress.
class X11DragSource final : public DragSource {
public:
    qint64 changeCount() const override { return 0; }
    bool carriesFileURLs() const override { return false; }
    QList<QUrl> fileURLs() const override { return {}; }
    bool isLeftButtonDown() const override { return false; }
};

} // namespace corvane
