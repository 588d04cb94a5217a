#pragma once

#include "core/Motion.h"
#include "system/NotchModel.h"

#include <QPainterPath>
#include <QPointer>
#include <QWidget>

namespace corvane {

class Animator;

// The black bar that grows sideways out of the notch: on the left a symbol and "Volume", "Muted"
// or "Brightness", on the right a level bar and the level as a number. The view only paints its
// model; folded, only the part behind the notch remains. It unfolds and folds on a spring, and
// eases to a new level and to the other kind's tint, through the animator it is given. A new
// number counts up into place digit by digit, and a new symbol replaces the old one, with the
// change that brought them.
class NotchHUDView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double unfold READ unfold WRITE setUnfold)
    Q_PROPERTY(double shownLevel READ shownLevel WRITE setShownLevel)
    Q_PROPERTY(double kindBlend READ kindBlend WRITE setKindBlend)
    Q_PROPERTY(double numberChange READ numberChange WRITE setNumberChange)
    Q_PROPERTY(double symbolChange READ symbolChange WRITE setSymbolChange)
public:
    // Each side column is this wide; the bar is `notchWidth` plus both.
    static constexpr double columnWidth = 116;
    static constexpr double barWidth = 52;

    // Without an animator every change shows at once.
    NotchHUDView(NotchModel& model, double notchWidth, double height, Animator* animator = nullptr,
                 QWidget* parent = nullptr);

    // The motions: unfolding and folding; a new level; the other kind.
    static Motion unfoldMotion() { return Motion::spring(0.32, 0.82); }
    static Motion levelMotion() { return Motion::easeOut(Seconds(0.12)); }
    static Motion kindMotion() { return Motion::easeOut(Seconds(0.15)); }

    // How far the bar stands unfolded: 0 folded into the notch, 1 open (a spring passes it).
    double unfold() const { return m_unfold; }
    void setUnfold(double value);
    // The level the bar draws, on its way to the model's.
    double shownLevel() const { return m_shownLevel; }
    void setShownLevel(double value);
    // 0 the volume's tint, 1 the brightness's, between them while it changes.
    double kindBlend() const { return m_kindBlend; }
    void setKindBlend(double value);
    // How far the number has gone from the one shown before to the model's, 1 once there: each
    // digit that differs rises out as its successor rises in from below.
    double numberChange() const { return m_numberChange; }
    void setNumberChange(double value);
    // How far the symbol has gone from the one shown before: the old shrinks and fades as the new
    // grows in.
    double symbolChange() const { return m_symbolChange; }
    void setSymbolChange(double value);

    // What the bar shows for a state of the model.
    static QString symbolName(NotchModel::Kind kind, bool muted, float level);
    static QString label(NotchModel::Kind kind, bool muted);
    // The level bar's filled width: nothing at 0, never thinner than its height otherwise.
    static double fillWidth(bool muted, float level);
    static QString numberText(bool muted, float level);

    // The outline the panel keeps while unfolded or folded: square top corners, rounded bottom.
    QPainterPath outline(bool unfolded) const { return outlineAt(unfolded ? 1.0 : 0.0); }
    // The outline at a stage of the unfolding.
    QPainterPath outlineAt(double unfold) const;

Q_SIGNALS:
    // The outline changed with the unfolding.
    void outlineChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Starts the motions towards what the model now says.
    void follow();

    QPointer<NotchModel> m_model;
    double m_notchWidth;
    double m_height;
    Animator* m_animator;
    double m_unfold = 0;
    double m_shownLevel = 0;
    double m_kindBlend = 0;
    bool m_unfolded = false;
    double m_levelTarget = 0;
    NotchModel::Kind m_kind = NotchModel::Kind::volume;
    QString m_number;
    QString m_previousNumber;
    double m_numberChange = 1;
    QString m_symbol;
    QString m_previousSymbol;
    double m_symbolChange = 1;
};

} // namespace corvane
