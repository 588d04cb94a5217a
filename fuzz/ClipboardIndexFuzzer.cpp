// Feeds arbitrary bytes to the clipboard store's index reader, then restores every record it
// accepts against a real store folder, and aborts when a record reaches outside that folder: the
// only picture a restored image entry may show is the store's own. Deep nesting must be refused
// quickly, never recursed into.

#include "clipboard/ClipboardIndex.h"
#include "clipboard/ClipboardStore.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace corvane;

namespace {

QTemporaryDir* root = nullptr;
QString storeFolder;
const QString ownImage = QStringLiteral("0F8FAD5B-D9CB-469F-A165-70867728950E.png");

void check(bool ok, const char* broken) {
    if (ok)
        return;
    std::fprintf(stderr, "clipboard index fuzzer: %s\n", broken);
    std::abort();
}

void writePicture(const QString& path, QColor color) {
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(color);
    image.save(path, "PNG");
}

// The store holds one green picture of its own; magenta pictures lie beside and above it, where
// a name with a folder in it would lead.
void prepare() {
    root = new QTemporaryDir;
    storeFolder = root->path() + QStringLiteral("/Corvane/Clipboard");
    QDir().mkpath(storeFolder);
    writePicture(storeFolder + QLatin1Char('/') + ownImage, Qt::green);
    writePicture(root->path() + QStringLiteral("/Corvane/") + ownImage, Qt::magenta);
    writePicture(root->path() + QStringLiteral("/outside.png"), Qt::magenta);
    writePicture(storeFolder + QStringLiteral("/outside.png"), Qt::magenta);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!root)
        prepare();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto records = decodeClipboardIndex(bytes);
    if (!records)
        return 0;
    const ClipboardStore store(storeFolder);
    for (const StoredClip& record : *records) {
        const std::optional<ClipItem> item = store.restoreItem(record);
        if (!item || item->kind != ClipItem::Kind::image)
            continue;
        check(record.image && isStoreImageName(*record.image),
              "an image was read under a name of another form");
        check(item->fullImage().pixelColor(0, 0) == QColor(Qt::green),
              "a picture from outside the store was read");
    }
    // What was accepted survives being written and read again, and is written the same then; its
    // length is known before it is written.
    const QByteArray written = encodeClipboardIndex(*records);
    const auto again = decodeClipboardIndex(written);
    check(again.has_value(), "a written index does not read back");
    check(encodeClipboardIndex(*again) == written, "an index read back is written otherwise");
    check(clipboardIndexSize(*records) == written.size(), "an index's length was measured wrong");
    return 0;
}
