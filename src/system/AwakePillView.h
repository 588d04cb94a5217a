#pragma once

#include "system/NotchModel.h"

#include <QPointer>
#include <QWidget>

namespace corvane {

// The small black tab beside the notch while the machine is kept awake: a cup inside a ring that
// drains as the time runs out (full for an open-ended hold).
class AwakePillView : public QWidget {
    Q_OBJECT
public:
    AwakePillView(NotchModel& model, double height, QWidget* parent = nullptr);

    // The ring's square, in the view: 0.72 of the height, 7 points from the right edge.
    QRectF ringRect() const;
    // The tab's outline: square but for its bottom-right corner.
    QPainterPath outline() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<NotchModel> m_model;
    double m_height;
};

} // namespace corvane
