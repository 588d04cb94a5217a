#include "shelf/ShelfTransfer.h"

#include <QMimeData>

#include <gtest/gtest.h>

#include <memory>

using namespace corvane;

// Only local files can go into the Tray, which keeps paths; other URLs in the same drop are left.
TEST(ShelfTransferTest, DropsYieldOnlyLocalFilesAndCopiesCarryBothFileFormats) {
    QMimeData drop;
    drop.setUrls({QUrl(QStringLiteral("https://example.org/a.txt")),
                  QUrl::fromLocalFile(QStringLiteral("/tmp/b c.txt")),
                  QUrl(QStringLiteral("sftp://host/c.txt"))});
    EXPECT_EQ(localFileUrls(drop), QList<QUrl>({QUrl::fromLocalFile(QStringLiteral("/tmp/b c.txt"))}));
    QMimeData text;
    text.setText(QStringLiteral("/tmp/b.txt"));
    EXPECT_TRUE(localFileUrls(text).isEmpty());

    const std::unique_ptr<QMimeData> copied(fileMimeData(
        {QUrl::fromLocalFile(QStringLiteral("/tmp/b c.txt")), QUrl::fromLocalFile(QStringLiteral("/x"))}));
    EXPECT_EQ(copied->data(QStringLiteral("text/uri-list")),
              QByteArray("file:///tmp/b%20c.txt\r\nfile:///x\r\n"));
    EXPECT_EQ(copied->data(QStringLiteral("x-special/gnome-copied-files")),
              QByteArray("copy\nfile:///tmp/b%20c.txt\nfile:///x"));
}
