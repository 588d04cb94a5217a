#pragma once

#include <QWidget>

namespace corvane {

// What the window list shows when it lists nothing: a window symbol over "No windows", as large
// as one cell.
class NoWindowsPlaceholder : public QWidget {
    Q_OBJECT
public:
    explicit NoWindowsPlaceholder(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace corvane
