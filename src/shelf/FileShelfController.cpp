#include "shelf/FileShelfController.h"

namespace corvane {

void FileShelfController::present(const ShelfSource& source, const QRectF& frame, double slideOffset) {
    Q_UNUSED(source);
    Q_UNUSED(frame);
    Q_UNUSED(slideOffset);
}

} // namespace corvane
