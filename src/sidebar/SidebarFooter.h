#pragma once

#include <QWidget>

namespace corvane {

// The strip's bottom row: the product's name and the settings button.
class SidebarFooter : public QWidget {
    Q_OBJECT
public:
    explicit SidebarFooter(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    // The settings button's square, in the footer's coordinates.
    QRectF gearRect() const;

Q_SIGNALS:
    void settingsClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool m_pressed = false;
};

} // namespace corvane
