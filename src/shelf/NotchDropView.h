#pragma once

#include "core/Motion.h"

#include <QPainterPath>
#include <QWidget>

namespace corvane {

class Animator;
class NotchDropModel;
class Settings;

// The drop card that unfolds from under the notch: the AirDrop and Tray zones while files are
// dragged, the confirmation after a delivery. It hangs from the top centre of its area and
// draws nothing while folded. Reads the model only. It springs open from 0.55 by 0.3 of its size
// and back, eases each zone into and out of its targeted look, and bounces a zone's symbol when
// it is targeted or left, through the animator it is given (without one, changes show at once).
class NotchDropView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double presence READ presence WRITE setPresence)
    Q_PROPERTY(double airdropTarget READ airdropTarget WRITE setAirdropTarget)
    Q_PROPERTY(double trayTarget READ trayTarget WRITE setTrayTarget)
    Q_PROPERTY(double airdropBounce READ airdropBounce WRITE setAirdropBounce)
    Q_PROPERTY(double trayBounce READ trayBounce WRITE setTrayBounce)
public:
    NotchDropView(NotchDropModel& model, const Settings& settings, double notchWidth, double notchHeight,
                  Animator* animator = nullptr, QWidget* parent = nullptr);

    static Motion phaseMotion() { return Motion::spring(0.3, 0.8); }
    static Motion zoneMotion() { return Motion::easeOut(Seconds(0.12)); }
    static Motion bounceMotion() { return Motion::easeOut(Seconds(0.5)); }
    // The Tray zone's symbol: an outline at rest, filled while files are over it.
    static QString traySymbol(bool targeted);
    // The symbol's scale at a stage of its bounce (0 to 1): up and back down once.
    static double bounceScale(double stage);
    // The card's scale at a stage of its opening (0 folded, 1 open).
    static QSizeF scaleAt(double presence);

    // 0 folded (0.55 by 0.3, transparent), 1 open; a spring passes 1 on the way.
    double presence() const { return m_presence; }
    void setPresence(double value);
    // 0 a zone's resting look, 1 its targeted one.
    double airdropTarget() const { return m_airdropTarget; }
    void setAirdropTarget(double value);
    double trayTarget() const { return m_trayTarget; }
    void setTrayTarget(double value);
    double airdropBounce() const { return m_airdropBounce; }
    void setAirdropBounce(double value);
    double trayBounce() const { return m_trayBounce; }
    void setTrayBounce(double value);

    // The card's outline in this view's coordinates, as large as it now stands; empty while
    // folded away.
    QPainterPath outline() const;
    QRectF cardRect() const;

    // The confirmation text for a delivery of `count` files to a zone.
    static QString confirmation(int count, bool airdrop);

Q_SIGNALS:
    // The outline changed with the card's opening or folding.
    void outlineChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void follow();
    void paintZone(QPainter& p, const QRectF& box, bool airdrop, double targeted, double bounce) const;
    void paintAdded(QPainter& p, const QRectF& row) const;

    NotchDropModel& m_model;
    const Settings& m_settings;
    double m_notchWidth;
    double m_notchHeight;
    Animator* m_animator;
    bool m_open = false;
    bool m_airdropTargeted = false;
    bool m_trayTargeted = false;
    double m_presence = 0;
    double m_airdropTarget = 0;
    double m_trayTarget = 0;
    double m_airdropBounce = 0;
    double m_trayBounce = 0;
};

} // namespace corvane
