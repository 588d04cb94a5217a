#pragma once

#include "core/SettingsEnums.h"

#include <QColor>
#include <QWidget>

namespace corvane {

// A drawn miniature of the strip: three workspace dots over four window thumbnails, the first
// framed in the accent colour, with title bars under them when titles are shown. It follows the
// thumbnail size, titles and accent, nothing else.
class SidebarMiniPreview : public QWidget {
    Q_OBJECT
public:
    explicit SidebarMiniPreview(QWidget* parent = nullptr);

    void setLook(ThumbnailSize size, bool showTitles, const QColor& accent);
    ThumbnailSize size() const { return m_size; }
    bool showsTitles() const { return m_showTitles; }
    QColor accent() const { return m_accent; }

    // The thumbnail width of a size: 48, 66 or 90.
    static int thumbnailWidth(ThumbnailSize size);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ThumbnailSize m_size = ThumbnailSize::medium;
    bool m_showTitles = false;
    QColor m_accent;
};

} // namespace corvane
