#pragma once

#include <QImage>
#include <QObject>

#include <optional>

namespace corvane {

// One window's latest small picture. A strip cell observes its own box, so a finished capture
// redraws only that cell.
class ThumbnailBox : public QObject {
    Q_OBJECT
public:
    const std::optional<QImage>& image() const { return m_image; }

    // Notifies only when the value changes: storing absent over absent, or the very same picture
    // again, stays quiet.
    void setImage(std::optional<QImage> image) {
        const bool same =
            image.has_value() == m_image.has_value() && (!image || image->cacheKey() == m_image->cacheKey());
        m_image = std::move(image);
        if (!same)
            Q_EMIT imageChanged();
    }

Q_SIGNALS:
    void imageChanged();

private:
    std::optional<QImage> m_image;
};

} // namespace corvane
