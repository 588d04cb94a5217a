#include "shelf/PreviewPanel.h"

#include "runtime/Executor.h"
#include "shelf/FilePanel.h"
#include "shelf/FileTypeIcon.h"
#include "shelf/ShelfListModel.h"
#include "shelf/ShelfPath.h"

#include <QFontDatabase>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace corvane {

namespace {

constexpr int margin = 14;
constexpr double radius = 12;

} // namespace

PreviewPanel::PreviewPanel(PanelWindowing& windowing, Executor& worker, PdfPreviewRenderer pdf)
    : FloatingPanel(windowing, QRect(0, 0, width, height), PanelLevel::status, false), m_worker(worker),
      m_pdf(std::move(pdf)) {
    // Cut to its rounded outline where it must be, with its shadow around it where that shows.
    setOutline(roundedOutline(radius));
}

PreviewPanel::~PreviewPanel() {
    // Reads still on their way are answered to nobody, and a drawing under way is killed: the
    // quit that destroys the panel never waits for it.
    ++*m_request;
    m_pdf.stop();
}

void PreviewPanel::showFor(FilePanel& owner, const QList<QUrl>& urls) {
    m_owner = &owner;
    m_items = urls;
    showItem(0);
    place();
    show();
    raise();
}

void PreviewPanel::reloadData() {
    const ShelfListModel* model = m_owner ? m_owner->model() : nullptr;
    const QList<QUrl> urls = model ? model->selectedURLs() : QList<QUrl>();
    if (urls == m_items)
        return;
    if (urls.isEmpty()) {
        showNothing();
        return;
    }
    const QUrl shown = m_items.value(m_index);
    m_items = urls;
    const int kept = static_cast<int>(urls.indexOf(shown));
    if (kept >= 0) {
        m_index = kept;
        update();
    } else {
        showItem(0);
    }
}

void PreviewPanel::step(int delta) {
    if (m_items.isEmpty())
        return;
    const int next = std::clamp(m_index + delta, 0, static_cast<int>(m_items.size()) - 1);
    if (next != m_index)
        showItem(next);
}

QString PreviewPanel::titleText() const {
    if (m_items.isEmpty())
        return QString();
    QString title = shownName(m_content.name);
    if (m_items.size() > 1)
        title += QStringLiteral("  (%1 of %2)").arg(m_index + 1).arg(m_items.size());
    return title;
}

void PreviewPanel::showItem(int index) {
    m_index = index;
    const QUrl url = m_items.value(index);
    m_content = PreviewContent::placeholder(url);
    m_icon = QIcon();
    update();
    const quint64 request = ++*m_request;
    const QSize pageSize(width - 2 * margin, height - 2 * margin - 40);
    QPointer<PreviewPanel> self(this);
    Executor* worker = &m_worker;
    m_worker.post([self, worker, request, latest = m_request, url, pageSize, pdf = m_pdf] {
        // Arrows held down ask for many files; only the last one asked is worth reading.
        if (latest->load() != request)
            return;
        // A newer request's drawing cancels this one's, so one helper at most runs per panel.
        PreviewContent content = PreviewContent::load(url, pageSize, pdf, request);
        worker->deliver([self, request, content = std::move(content)]() mutable {
            if (self)
                self->take(request, std::move(content));
        });
    });
}

void PreviewPanel::showNothing() {
    m_items.clear();
    m_index = 0;
    m_content = PreviewContent();
    m_icon = QIcon();
    // A read still on its way was for a file no longer selected.
    ++*m_request;
    update();
}

void PreviewPanel::take(quint64 request, PreviewContent content) {
    if (request != m_request->load())
        return;
    m_content = std::move(content);
    // By name and kind only, never by content.
    m_icon = fileTypeIcon(m_content.path, m_content.fileKind);
    update();
    if (m_content.pdfHelperMissing && !m_pdfHelperMissingTold) {
        m_pdfHelperMissingTold = true;
        Q_EMIT pdfHelperMissing();
    }
}

void PreviewPanel::place() {
    if (!m_owner)
        return;
    const QRect anchor = m_owner->frame();
    QScreen* screen = m_owner->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(anchor.topLeft(), QSize(width, height));
    // Beside the list, on whichever side has room; over it where neither has.
    int x = anchor.right() + 10;
    if (x + width > area.right())
        x = anchor.left() - 10 - width;
    if (x < area.left())
        x = area.left() + (area.width() - width) / 2;
    const int y = std::clamp(anchor.top(), area.top(), std::max(area.top(), area.bottom() - height));
    setFrame(QRect(x, y, width, height));
}

void PreviewPanel::paintEvent(QPaintEvent* event) {
    FloatingPanel::paintEvent(event);
    QPainter painter(this);
    // The panel's own drawing stands in its frame, inside the shadow's margin.
    painter.translate(shadowMargins().left(), shadowMargins().top());
    const QRect bounds(QPoint(0, 0), frame().size());
    painter.setRenderHint(QPainter::Antialiasing);
    // Opaque: it must read the same with and without a compositing manager.
    QPainterPath shape;
    shape.addRoundedRect(QRectF(bounds).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter.fillPath(shape, QColor(38, 38, 42));
    painter.setPen(QPen(QColor(255, 255, 255, 40), 1));
    painter.drawPath(shape);
    // With nothing selected the panel stays, empty.
    if (m_items.isEmpty())
        return;

    const QRect inner = bounds.adjusted(margin, margin, -margin, -margin);
    QFont titleFont = font();
    titleFont.setPointSizeF(9.5);
    titleFont.setWeight(QFont::DemiBold);
    painter.setFont(titleFont);
    painter.setPen(Qt::white);
    const QString title = titleText();
    const QRect titleBox(inner.left(), inner.top(), inner.width(), 20);
    painter.drawText(titleBox, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(title, Qt::ElideMiddle, titleBox.width()));
    const QRect body = inner.adjusted(0, 28, 0, 0);

    switch (m_content.kind) {
    case PreviewContent::Kind::image:
    case PreviewContent::Kind::pdf: {
        const QSize fitted = m_content.image.size().scaled(body.size(), Qt::KeepAspectRatio);
        const QSize shown =
            m_content.image.width() <= body.width() && m_content.image.height() <= body.height()
                ? m_content.image.size()
                : fitted;
        const QRect target(body.center() - QPoint(shown.width() / 2, shown.height() / 2), shown);
        if (m_content.kind == PreviewContent::Kind::pdf)
            painter.fillRect(target, Qt::white);
        painter.drawImage(target, m_content.image);
        break;
    }
    case PreviewContent::Kind::text: {
        painter.fillRect(body, QColor(24, 24, 27));
        QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        mono.setPointSizeF(8.5);
        painter.setFont(mono);
        painter.setPen(QColor(230, 230, 230));
        painter.setClipRect(body);
        painter.drawText(body.adjusted(8, 6, -8, -6), Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs,
                         m_content.text);
        painter.setClipping(false);
        break;
    }
    case PreviewContent::Kind::loading:
        break;
    case PreviewContent::Kind::summary: {
        const QRect iconBox(body.center().x() - 48, body.top() + 40, 96, 96);
        m_icon.paint(&painter, iconBox);
        QStringList lines{m_content.kindDescription};
        if (m_content.size)
            lines.append(QLocale().formattedDataSize(*m_content.size));
        if (m_content.modified.isValid())
            lines.append(QLocale().toString(m_content.modified, QLocale::LongFormat));
        QFont detail = font();
        detail.setPointSizeF(9);
        painter.setFont(detail);
        painter.setPen(QColor(200, 200, 205));
        painter.drawText(QRect(body.left(), iconBox.bottom() + 16, body.width(), 80),
                         Qt::AlignHCenter | Qt::AlignTop, lines.join(QLatin1Char('\n')));
        break;
    }
    }
}

} // namespace corvane
