#pragma once

class QWidget;

namespace corvane {

// Clips a borderless window to a rounded outline, so that its corners stay clear also without a
// compositing manager, where translucent pixels would show black. A radius of 0 clears the clip.
void applyRoundedMask(QWidget& window, double radius);

} // namespace corvane
