#pragma once

#include "core/SettingsEnums.h"
#include "runtime/Scheduler.h"
#include "snapping/SpringValue.h"

#include <QColor>
#include <QWidget>

namespace corvane {

// A drawn miniature of the strip: three workspace dots over four window thumbnails, the first
// framed in the accent colour, with title bars under them when titles are shown. It follows the
// thumbnail size, titles and accent, nothing else; size and titles spring to their new look.
class SidebarMiniPreview : public QWidget {
    Q_OBJECT
public:
    explicit SidebarMiniPreview(Scheduler& scheduler, QWidget* parent = nullptr);

    void setLook(ThumbnailSize size, bool showTitles, const QColor& accent);
    ThumbnailSize size() const { return m_size; }
    bool showsTitles() const { return m_showTitles; }
    QColor accent() const { return m_accent; }
    bool isAnimating() const { return m_frames.isValid(); }

    // The thumbnail width of a size: 48, 66 or 90.
    static int thumbnailWidth(ThumbnailSize size);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void step();

    Scheduler& m_scheduler;
    // The thumbnail width and how far the title bars are in (0 to 1), as drawn.
    SpringValue m_width;
    SpringValue m_titles;
    TimerHandle m_frames;
    Instant m_lastFrame;
    ThumbnailSize m_size = ThumbnailSize::medium;
    bool m_showTitles = false;
    QColor m_accent;
};

} // namespace corvane
