#pragma once

#include "clipboard/ClipboardHistory.h"
#include "platform/fake/FakePlatform.h"

#include <QString>

#include <memory>

namespace corvane {

// A recording history over the fake pasteboard, holding `entries` ordinary texts copied in turn.
inline std::unique_ptr<ClipboardHistory> filledClipboardHistory(Settings& settings, Scheduler& scheduler,
                                                                Executor& background, FakePlatform& platform,
                                                                const QString& home, int entries) {
    auto history = std::make_unique<ClipboardHistory>(settings, scheduler, background, *platform.pasteboard,
                                                      *platform.runningApplications, ClipboardStore(home));
    history->setEnabled(true);
    for (int i = 0; i < entries; ++i) {
        platform.fakePasteboard->copyText(
            QStringLiteral("entry number %1 with some ordinary words in it").arg(i));
        history->capture();
    }
    return history;
}

} // namespace corvane
