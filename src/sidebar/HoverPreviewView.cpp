#include "sidebar/HoverPreviewView.h"

#include "core/AppIcons.h"
#include "sidebar/HoverPreviewModel.h"
#include "windows/ThumbnailService.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace corvane {

namespace {

constexpr double pictureRadius = 10;
constexpr double cardRadius = 14;
constexpr double iconSize = 96;
constexpr double rowIconSize = 22;

QFont pixelFont(int pixelSize, QFont::Weight weight) {
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QColor withAlpha(QColor color, double alpha) {
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}

} // namespace

HoverPreviewView::HoverPreviewView(HoverPreviewModel& model, ThumbnailService& thumbnails, AppIcons& icons,
                                   QWidget* parent)
    : QWidget(parent), m_model(model), m_thumbnails(thumbnails), m_icons(icons) {
    setAttribute(Qt::WA_TranslucentBackground);
    connect(&m_model, &HoverPreviewModel::windowChanged, this, &HoverPreviewView::windowChanged);
    connect(&m_thumbnails, &ThumbnailService::hoverImageChanged, this, qOverload<>(&QWidget::update));
    windowChanged();
}

HoverPreviewView::~HoverPreviewView() {
    disconnect(m_boxConnection);
}

void HoverPreviewView::windowChanged() {
    disconnect(m_boxConnection);
    m_box.reset();
    if (const auto& window = m_model.window()) {
        m_box = m_thumbnails.box(window->windowID);
        m_boxConnection =
            connect(m_box.get(), &ThumbnailBox::imageChanged, this, qOverload<>(&QWidget::update));
    }
    update();
}

std::optional<QImage> HoverPreviewView::picture() const {
    const auto& window = m_model.window();
    if (!window)
        return std::nullopt;
    if (m_thumbnails.hoverImageID() == window->windowID && m_thumbnails.hoverImage())
        return m_thumbnails.hoverImage();
    if (m_box && m_box->image())
        return m_box->image();
    return std::nullopt;
}

QString HoverPreviewView::displayTitle(const WindowInfo& window) {
    return window.title.isEmpty() ? window.appName : window.title;
}

QString HoverPreviewView::stateText(const WindowInfo& window) {
    if (window.isMinimized)
        return QStringLiteral("Minimized");
    if (window.isAppHidden)
        return QStringLiteral("Hidden");
    return {};
}

void HoverPreviewView::paintEvent(QPaintEvent*) {
    const auto& window = m_model.window();
    if (!window)
        return;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    const QRectF content = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    const double pictureHeight = std::max(0.0, content.height() - spacing - titleRowHeight);
    const QRectF pictureArea(content.left(), content.top(), content.width(), pictureHeight);
    const std::optional<QIcon> icon =
        m_icons.appIconForWindow(window->windowID, window->pid, window->bundleID);

    // The picture area: a dark rounded well holding the picture fitted in, else the big icon.
    QPainterPath well;
    well.addRoundedRect(pictureArea, pictureRadius, pictureRadius);
    painter.fillPath(well, QColor(0, 0, 0, 64));
    painter.save();
    painter.setClipPath(well);
    if (const std::optional<QImage> image = picture(); image && !image->isNull()) {
        QSizeF fitted = QSizeF(image->size()).scaled(pictureArea.size(), Qt::KeepAspectRatio);
        QRectF target(QPointF(), fitted);
        target.moveCenter(pictureArea.center());
        painter.drawImage(target, *image);
    } else if (icon) {
        QRectF target(0, 0, iconSize, iconSize);
        target.moveCenter(pictureArea.center());
        icon->paint(&painter, target.toRect());
    }
    painter.restore();

    // The title row: icon, then the title over the program's name and state.
    const QRectF row(content.left(), pictureArea.bottom() + spacing, content.width(), titleRowHeight);
    double x = row.left();
    if (icon) {
        const QRectF iconRect(x, row.center().y() - rowIconSize / 2, rowIconSize, rowIconSize);
        icon->paint(&painter, iconRect.toRect());
        x += rowIconSize + spacing;
    }
    const double textWidth = std::max(0.0, row.right() - x);
    const QFont titleFont = pixelFont(13, QFont::DemiBold);
    const QFont detailFont = pixelFont(11, QFont::Normal);
    const QFontMetricsF titleMetrics(titleFont);
    const QFontMetricsF detailMetrics(detailFont);
    const double textHeight = titleMetrics.height() + 1 + detailMetrics.height();
    const double top = row.center().y() - textHeight / 2;

    const QColor text = palette().color(QPalette::WindowText);
    painter.setPen(text);
    painter.setFont(titleFont);
    painter.drawText(QRectF(x, top, textWidth, titleMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     titleMetrics.elidedText(displayTitle(*window), Qt::ElideMiddle, textWidth));

    QString detail = window->appName;
    if (const QString state = stateText(*window); !state.isEmpty())
        detail += QStringLiteral(" \u00B7 ") + state;
    painter.setPen(withAlpha(text, 0.55));
    painter.setFont(detailFont);
    painter.drawText(QRectF(x, top + titleMetrics.height() + 1, textWidth, detailMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     detailMetrics.elidedText(detail, Qt::ElideRight, textWidth));

    // A hairline just inside the card's edge.
    QPainterPath edge;
    edge.addRoundedRect(QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25), cardRadius, cardRadius);
    painter.strokePath(edge, QPen(QColor(255, 255, 255, 31), 0.5));
}

} // namespace corvane
