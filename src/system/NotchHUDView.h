#pragma once

#include "system/NotchModel.h"

#include <QPointer>
#include <QWidget>

namespace corvane {

// The black bar that grows sideways out of the notch: on the left a symbol and "Volume", "Muted"
// or "Brightness", on the right a level bar and the level as a number. The view only paints its
// model; folded, only the part behind the notch remains.
class NotchHUDView : public QWidget {
    Q_OBJECT
public:
    // Each side column is this wide; the bar is `notchWidth` plus both.
    static constexpr double columnWidth = 116;
    static constexpr double barWidth = 52;

    NotchHUDView(NotchModel& model, double notchWidth, double height, QWidget* parent = nullptr);

    // What the bar shows for a state of the model.
    static QString symbolName(NotchModel::Kind kind, bool muted, float level);
    static QString label(NotchModel::Kind kind, bool muted);
    // The level bar's filled width: nothing at 0, never thinner than its height otherwise.
    static double fillWidth(bool muted, float level);
    static QString numberText(bool muted, float level);

    // The outline the panel keeps while unfolded or folded: square top corners, rounded bottom.
    QPainterPath outline(bool unfolded) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<NotchModel> m_model;
    double m_notchWidth;
    double m_height;
};

} // namespace corvane
