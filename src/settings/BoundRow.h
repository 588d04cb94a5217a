#pragma once

#include <functional>

class QWidget;

namespace corvane {

class Settings;

// Shows `row` only while `condition` holds; checked now and after every change of the store. The
// row must already sit in its page (a row `FormSection::addRow` gave back), never a window alone.
// A page whose condition also reads something else calls `refreshBoundRows` when that changes.
void showWhile(Settings& settings, QWidget* row, std::function<bool()> condition);

// Enables `row` only while `condition` holds: dimmed, it still shows its value.
void enableWhile(Settings& settings, QWidget* row, std::function<bool()> condition);

// Checks again the conditions of the rows under `page`.
void refreshBoundRows(QWidget* page);

} // namespace corvane
