#include "clipboard/ClipboardHistory.h"

namespace corvane {

void ClipboardHistory::purgeStaleStore(bool enabled, qint64 retentionDays) {
    Q_UNUSED(enabled);
    Q_UNUSED(retentionDays);
}

} // namespace corvane
