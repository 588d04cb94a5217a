#pragma once

#include "clipboard/ClipItem.h"

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QUuid>

#include <vector>

namespace corvane {

class Executor;

// The pictures that fill the strip's picture cards, made once for each entry and kept while the
// entry stays in the history, from one opening of the strip to the next. Decoding a screen's worth
// of picture takes tens of milliseconds: with a place to decode, a preview is made there and
// `ready` tells when it is, and a card shows without it meanwhile. Without one, it is made at once.
class ClipPreviews : public QObject {
    Q_OBJECT
public:
    explicit ClipPreviews(Executor* decoder = nullptr);
    ~ClipPreviews() override;

    // The preview of a picture entry. Null while it is being made, and for an entry that is no
    // picture or cannot be decoded.
    QPixmap preview(const ClipItem& item);
    // Drops the previews of entries that `items` no longer holds.
    void keepOnly(const std::vector<ClipItem>& items);

Q_SIGNALS:
    void ready(const QUuid& id);

private:
    static QImage make(const ClipItem& item);
    void made(const QUuid& id, const QImage& image);

    Executor* m_decoder;
    QHash<QUuid, QPixmap> m_made;
    QSet<QUuid> m_pending;
};

} // namespace corvane
