#include "system/NotchHUDView.h"

#include "core/Animator.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <utility>

namespace corvane {

namespace {

const QColor volumeTint = QColor::fromRgbF(0.30f, 0.85f, 0.45f);
const QColor brightnessTint = QColor::fromRgbF(1.00f, 0.80f, 0.20f);

// A loudspeaker with up to three waves, or struck through.
void paintSpeaker(QPainter& p, const QRectF& box, int waves, bool slashed) {
    const double u = box.height() / 10;
    QPainterPath body;
    body.moveTo(box.left() + 1 * u, box.top() + 3.5 * u);
    body.lineTo(box.left() + 3 * u, box.top() + 3.5 * u);
    body.lineTo(box.left() + 5.5 * u, box.top() + 1 * u);
    body.lineTo(box.left() + 5.5 * u, box.top() + 9 * u);
    body.lineTo(box.left() + 3 * u, box.top() + 6.5 * u);
    body.lineTo(box.left() + 1 * u, box.top() + 6.5 * u);
    body.closeSubpath();
    p.fillPath(body, Qt::white);
    p.setPen(QPen(Qt::white, 1.2 * u, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < waves; ++i) {
        const double r = (2.0 + 1.6 * i) * u;
        p.drawArc(QRectF(box.left() + 5.5 * u - r, box.top() + 5 * u - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    }
    if (slashed)
        p.drawLine(QPointF(box.left() + 7 * u, box.top() + 3 * u),
                   QPointF(box.left() + 10 * u, box.top() + 7 * u));
}

// A sun: a disc with rays, the rays longer for the brighter one.
void paintSun(QPainter& p, const QRectF& box, bool bright) {
    const QPointF c = box.center();
    const double u = box.height() / 10;
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, 2.4 * u, 2.4 * u);
    p.setPen(QPen(Qt::white, 1.1 * u, Qt::SolidLine, Qt::RoundCap));
    const double inner = 3.6 * u, outer = (bright ? 5.0 : 4.3) * u;
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        p.drawLine(c + QPointF(std::cos(a), std::sin(a)) * inner,
                   c + QPointF(std::cos(a), std::sin(a)) * outer);
    }
}

void paintSymbol(QPainter& p, const QRectF& box, const QString& name) {
    p.save();
    if (name.startsWith(QLatin1String("sun.")))
        paintSun(p, box, name == QLatin1String("sun.max.fill"));
    else
        paintSpeaker(p, box,
                     name.endsWith(QLatin1String("3.fill"))   ? 3
                     : name.endsWith(QLatin1String("2.fill")) ? 2
                     : name.endsWith(QLatin1String("1.fill")) ? 1
                                                              : 0,
                     name == QLatin1String("speaker.slash.fill"));
    p.restore();
}

// A symbol drawn at `scale` of its box about the box's centre, at `opacity` of what the painter
// has.
void paintSymbol(QPainter& p, const QRectF& box, const QString& name, double scale, double opacity) {
    p.save();
    p.setOpacity(p.opacity() * opacity);
    p.translate(box.center());
    p.scale(scale, scale);
    p.translate(-box.center());
    paintSymbol(p, box, name);
    p.restore();
}

// Right-aligned digits, each in a cell of one width. The digits that differ from `before` are
// `change` of their way through counting up: the old rise out and fade, the new rise in from below.
void paintNumber(QPainter& p, const QRectF& frame, const QString& now, const QString& before, double change) {
    const QFontMetricsF metrics(p.font());
    double cell = 0;
    for (char digit = '0'; digit <= '9'; ++digit)
        cell = std::max(cell, metrics.horizontalAdvance(QLatin1Char(digit)));
    const double rise = 0.5 * p.font().pixelSize();
    const double t = std::clamp(change, 0.0, 1.0);
    const double opacity = p.opacity();
    const auto digitAt = [](const QString& text, qsizetype fromRight) {
        return fromRight < text.size() ? text.at(text.size() - 1 - fromRight) : QChar();
    };
    for (qsizetype i = 0; i < std::max(now.size(), before.size()); ++i) {
        const QRectF box(frame.right() - double(i + 1) * cell, frame.top(), cell, frame.height());
        const QChar to = digitAt(now, i);
        const QChar from = digitAt(before, i);
        const auto draw = [&](QChar digit, double offset, double seen) {
            if (digit.isNull())
                return;
            p.setOpacity(opacity * seen);
            p.drawText(box.translated(0, offset), Qt::AlignCenter, QString(digit));
        };
        if (t >= 1 || from == to) {
            draw(to, 0, 1);
            continue;
        }
        draw(from, -rise * t, 1 - t);
        draw(to, rise * (1 - t), t);
    }
    p.setOpacity(opacity);
}

} // namespace

NotchHUDView::NotchHUDView(NotchModel& model, double notchWidth, double height, Animator* animator,
                           QWidget* parent)
    : QWidget(parent), m_model(&model), m_notchWidth(notchWidth), m_height(height), m_animator(animator) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A new view starts where the model stands.
    m_unfolded = model.visible();
    m_unfold = m_unfolded ? 1 : 0;
    m_levelTarget = model.muted() ? 0.0 : double(model.level());
    m_shownLevel = m_levelTarget;
    m_kind = model.kind();
    m_kindBlend = m_kind == NotchModel::Kind::brightness ? 1 : 0;
    m_number = numberText(model.muted(), model.level());
    m_symbol = symbolName(model.kind(), model.muted(), model.level());
    connect(&model, &NotchModel::changed, this, &NotchHUDView::follow);
}

void NotchHUDView::follow() {
    update();
    if (!m_model)
        return;
    const auto drive = [this](const char* property, double value, const Motion& motion) {
        animateOrSet(m_animator, *this, property, value, motion);
    };
    if (m_model->visible() != m_unfolded) {
        m_unfolded = m_model->visible();
        drive("unfold", m_unfolded ? 1.0 : 0.0, unfoldMotion());
    }
    const double level = m_model->muted() ? 0.0 : double(m_model->level());
    if (level != m_levelTarget) {
        m_levelTarget = level;
        drive("shownLevel", level, levelMotion());
    }
    const bool otherKind = m_model->kind() != m_kind;
    if (otherKind) {
        m_kind = m_model->kind();
        drive("kindBlend", m_kind == NotchModel::Kind::brightness ? 1.0 : 0.0, kindMotion());
    }
    // The number and the symbol change with the level or the kind that changed them.
    const Motion contentMotion = otherKind ? kindMotion() : levelMotion();
    const QString number = numberText(m_model->muted(), m_model->level());
    if (number != m_number) {
        m_previousNumber = std::exchange(m_number, number);
        m_numberChange = 0;
        drive("numberChange", 1.0, contentMotion);
    }
    const QString symbol = symbolName(m_model->kind(), m_model->muted(), m_model->level());
    if (symbol != m_symbol) {
        m_previousSymbol = std::exchange(m_symbol, symbol);
        m_symbolChange = 0;
        drive("symbolChange", 1.0, contentMotion);
    }
}

void NotchHUDView::setNumberChange(double value) {
    m_numberChange = value;
    update();
}

void NotchHUDView::setSymbolChange(double value) {
    m_symbolChange = value;
    update();
}

void NotchHUDView::setUnfold(double value) {
    if (value == m_unfold)
        return;
    m_unfold = value;
    update();
    Q_EMIT outlineChanged();
}

void NotchHUDView::setShownLevel(double value) {
    m_shownLevel = value;
    update();
}

void NotchHUDView::setKindBlend(double value) {
    m_kindBlend = value;
    update();
}

QString NotchHUDView::symbolName(NotchModel::Kind kind, bool muted, float level) {
    if (kind == NotchModel::Kind::brightness)
        return level < 0.5f ? QStringLiteral("sun.min.fill") : QStringLiteral("sun.max.fill");
    if (muted || level <= 0.001f)
        return QStringLiteral("speaker.slash.fill");
    if (level < 0.34f)
        return QStringLiteral("speaker.wave.1.fill");
    if (level < 0.67f)
        return QStringLiteral("speaker.wave.2.fill");
    return QStringLiteral("speaker.wave.3.fill");
}

QString NotchHUDView::label(NotchModel::Kind kind, bool muted) {
    if (kind == NotchModel::Kind::brightness)
        return QStringLiteral("Brightness");
    return muted ? QStringLiteral("Muted") : QStringLiteral("Volume");
}

double NotchHUDView::fillWidth(bool muted, float level) {
    const double shown = muted ? 0.0 : double(level);
    if (!(shown > 0))
        return 0;
    return std::max(barWidth * shown, 4.0);
}

QString NotchHUDView::numberText(bool muted, float level) {
    if (muted || !std::isfinite(level))
        return QStringLiteral("0");
    return QString::number(std::llround(100.0 * double(level)));
}

QPainterPath NotchHUDView::outlineAt(double unfold) const {
    // A spring overshoots a little; the bar never grows past its panel.
    const double width = m_notchWidth + 2 * columnWidth * std::clamp(unfold, 0.0, 1.0);
    const QRectF box((this->width() - width) / 2, 0, width, m_height);
    const double radius = 0.42 * m_height;
    QPainterPath path;
    path.moveTo(box.topLeft());
    path.lineTo(box.topRight());
    path.lineTo(box.right(), box.bottom() - radius);
    path.quadTo(box.bottomRight(), QPointF(box.right() - radius, box.bottom()));
    path.lineTo(box.left() + radius, box.bottom());
    path.quadTo(box.bottomLeft(), QPointF(box.left(), box.bottom() - radius));
    path.closeSubpath();
    return path;
}

void NotchHUDView::paintEvent(QPaintEvent*) {
    if (!m_model)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::black);
    // Folded it is all but transparent, where a compositing manager shows that.
    p.setOpacity(0.01 + 0.99 * std::clamp(m_unfold, 0.0, 1.0));
    const NotchModel& model = *m_model;
    const double h = m_height;
    const double left = (width() - m_notchWidth) / 2 - columnWidth;
    const double right = (width() + m_notchWidth) / 2;

    // Left column: the symbol and the word.
    const QRectF symbolBox(left + 0.45 * h, (h - 0.6 * h) / 2, 0.6 * h, 0.6 * h);
    const double swap = std::clamp(m_symbolChange, 0.0, 1.0);
    if (swap < 1 && !m_previousSymbol.isEmpty()) {
        paintSymbol(p, symbolBox, m_previousSymbol, 1 - 0.5 * swap, 1 - swap);
        paintSymbol(p, symbolBox, m_symbol, 0.5 + 0.5 * swap, swap);
    } else {
        paintSymbol(p, symbolBox, m_symbol);
    }
    QFont font = p.font();
    font.setPixelSize(std::max(1, int(std::lround(0.36 * h))));
    font.setWeight(QFont::Medium);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(symbolBox.right() + 7, 0, columnWidth, h), Qt::AlignLeft | Qt::AlignVCenter,
               label(model.kind(), model.muted()));

    // Right column: the level bar and the number.
    const double blend = std::clamp(m_kindBlend, 0.0, 1.0);
    const QColor tint =
        QColor::fromRgbF(float(volumeTint.redF() + (brightnessTint.redF() - volumeTint.redF()) * blend),
                         float(volumeTint.greenF() + (brightnessTint.greenF() - volumeTint.greenF()) * blend),
                         float(volumeTint.blueF() + (brightnessTint.blueF() - volumeTint.blueF()) * blend));
    const double numberRight = right + columnWidth - 0.45 * h;
    const QRectF number(numberRight - 26, 0, 26, h);
    const QRectF track(number.left() - 8 - barWidth, (h - 4) / 2, barWidth, 4);
    QColor faint = tint;
    faint.setAlphaF(0.25f);
    p.setPen(Qt::NoPen);
    p.setBrush(faint);
    p.drawRoundedRect(track, 2, 2);
    p.setBrush(tint);
    const double fill = fillWidth(false, float(std::max(m_shownLevel, 0.0)));
    if (fill > 0)
        p.drawRoundedRect(QRectF(track.topLeft(), QSizeF(fill, 4)), 2, 2);
    font.setPixelSize(std::max(1, int(std::lround(0.38 * h))));
    font.setWeight(QFont::DemiBold);
    font.setStyleHint(QFont::Monospace);
    p.setFont(font);
    p.setPen(Qt::white);
    paintNumber(p, number, m_number, m_previousNumber, m_numberChange);
}

} // namespace corvane
