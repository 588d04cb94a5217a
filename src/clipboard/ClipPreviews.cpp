#include "clipboard/ClipPreviews.h"

#include "clipboard/ClipCard.h"
#include "runtime/Executor.h"

#include <QPointer>

namespace corvane {

namespace {
// Pictures are decoded at most this large, enough to fill a card from.
constexpr QSize previewBound(3 * ClipCard::cardSize.width(), 3 * ClipCard::cardSize.width());
} // namespace

ClipPreviews::ClipPreviews(Executor* decoder) : m_decoder(decoder) {}

ClipPreviews::~ClipPreviews() = default;

QImage ClipPreviews::make(const ClipItem& item) {
    const QImage image = item.previewImage(previewBound);
    return image.isNull()
               ? image
               : image.scaled(ClipCard::cardSize, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
}

QPixmap ClipPreviews::preview(const ClipItem& item) {
    if (item.kind != ClipItem::Kind::image)
        return {};
    if (const auto found = m_made.constFind(item.id); found != m_made.constEnd())
        return found.value();
    if (!m_decoder) {
        made(item.id, make(item));
        return m_made.value(item.id);
    }
    if (m_pending.contains(item.id))
        return {};
    m_pending.insert(item.id);
    QPointer<ClipPreviews> self(this);
    Executor& decoder = *m_decoder;
    // The entry's bytes are shared with the history, not copied.
    decoder.post([self, &decoder, item] {
        QImage image = make(item);
        decoder.deliver([self, id = item.id, image = std::move(image)] {
            if (self && self->m_pending.remove(id)) {
                self->made(id, image);
                Q_EMIT self->ready(id);
            }
        });
    });
    return {};
}

void ClipPreviews::made(const QUuid& id, const QImage& image) {
    m_made.insert(id, image.isNull() ? QPixmap() : QPixmap::fromImage(image));
}

void ClipPreviews::keepOnly(const std::vector<ClipItem>& items) {
    QSet<QUuid> kept;
    for (const ClipItem& item : items)
        kept.insert(item.id);
    for (auto it = m_made.begin(); it != m_made.end();)
        it = kept.contains(it.key()) ? std::next(it) : m_made.erase(it);
    // A preview still being made for an entry that went is dropped when it arrives.
    for (auto it = m_pending.begin(); it != m_pending.end();)
        it = kept.contains(*it) ? std::next(it) : m_pending.erase(it);
}

} // namespace corvane
