#pragma once

#include <QPainterPath>
#include <QWidget>

namespace corvane {

class NotchDropModel;
class Settings;

// The drop card that unfolds from under the notch: the AirDrop and Tray zones while files are
// dragged, the confirmation after a delivery. It hangs from the top centre of its area and
// draws nothing while folded. Reads the model only.
class NotchDropView : public QWidget {
    Q_OBJECT
public:
    NotchDropView(NotchDropModel& model, const Settings& settings, double notchWidth, double notchHeight,
                  QWidget* parent = nullptr);

    // The card's outline in this view's coordinates; empty while folded.
    QPainterPath outline() const;
    QRectF cardRect() const;
    // The confirmation text for a delivery of `count` files to a zone.
    static QString confirmation(int count, bool airdrop);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintZone(QPainter& p, const QRectF& box, bool airdrop, bool targeted) const;
    void paintAdded(QPainter& p, const QRectF& row) const;

    NotchDropModel& m_model;
    const Settings& m_settings;
    double m_notchWidth;
    double m_notchHeight;
};

} // namespace corvane
