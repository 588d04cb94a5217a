#pragma once

#include <QString>

class QLabel;

namespace corvane {

// A small, dimmed, wrapping line under a control: the description of a toggle, a hint.
QLabel* captionLabel(const QString& text);

} // namespace corvane
