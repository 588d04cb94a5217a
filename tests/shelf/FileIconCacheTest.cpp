#include "shelf/FileIconCache.h"

#include "shelf/ShelfFile.h"

#include <QPixmap>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

QUrl fileNumber(int n) {
    return QUrl::fromLocalFile(QStringLiteral("/files/%1").arg(n));
}

} // namespace

TEST(FileIconCache, AskedOncePerPathAndEmptiedWholeOnceItHoldsMoreThanItsCapacity) {
    int made = 0;
    FileIconCache cache([&](const QString&, FileKind) {
        ++made;
        return QIcon();
    });

    // A path asked twice is made once
    cache.icon(fileNumber(0));
    cache.icon(fileNumber(0));
    EXPECT_EQ(made, 1);

    // With 800 cached, a new icon makes 801
    for (int i = 1; i < FileIconCache::capacity; ++i)
        cache.icon(fileNumber(i));
    ASSERT_EQ(cache.count(), 800);
    cache.icon(fileNumber(800));
    EXPECT_EQ(cache.count(), 801);

    // With 801 cached, the next new path empties the cache first and leaves only its own icon
    cache.icon(fileNumber(801));
    EXPECT_EQ(cache.count(), 1);
    made = 0;
    cache.icon(fileNumber(0));
    EXPECT_EQ(made, 1) << "emptied icons are made again";
}

TEST(FileIconCache, TheDesktopThemeGivesEachTypeItsIconFromTheNameAlone) {
    FileIconCache cache;
    ShelfFile pdf = ShelfFile::fromFacts(QStringLiteral("/nowhere/report.pdf"), QStringLiteral("report.pdf"),
                                         FileFacts{FileKind::regular, 0, 10});
    ShelfFile png = pdf;
    png.url = QUrl::fromLocalFile(QStringLiteral("/nowhere/photo.png"));
    ShelfFile pipe = pdf;
    pipe.url = QUrl::fromLocalFile(QStringLiteral("/nowhere/photo2.png"));
    pipe.kind = FileKind::fifo;
    const QIcon pdfIcon = cache.icon(pdf);
    const QIcon pngIcon = cache.icon(png);
    ASSERT_FALSE(pdfIcon.isNull());
    ASSERT_FALSE(pngIcon.isNull());
    EXPECT_NE(pdfIcon.name(), pngIcon.name());
    EXPECT_NE(pdfIcon.pixmap(32).toImage(), pngIcon.pixmap(32).toImage());
    // A pipe named like a picture is a pipe.
    EXPECT_NE(cache.icon(pipe).name(), pngIcon.name());
}
