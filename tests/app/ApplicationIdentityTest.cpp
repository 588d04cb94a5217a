#include "app/ApplicationIdentity.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QWidget>

namespace corvane {
namespace {

// Every window without an icon of its own carries the product's, drawn (not the toolkit's
// generic one), and the windows belong to the desktop entry.
TEST(ApplicationIdentityTest, EveryWindowCarriesTheProductIconAndTheDesktopEntry) {
    setApplicationIdentity();
    QWidget window;
    const QImage picture = window.windowIcon().pixmap(QSize(48, 48)).toImage();
    ASSERT_FALSE(picture.isNull());
    // The product's picture: its brand red fills the middle of its left edge
    const QColor edge = picture.pixelColor(picture.width() / 8, picture.height() / 2);
    EXPECT_GT(edge.red(), 150);
    EXPECT_LT(edge.green(), 90);
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("corvane"));
    // carried inside the program, for a build run where it was built
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/corvane/corvane.svg")));
    QGuiApplication::setWindowIcon(QIcon());
}

} // namespace
} // namespace corvane
