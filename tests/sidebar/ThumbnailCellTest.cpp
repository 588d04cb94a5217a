#include "sidebar/ThumbnailCell.h"
#include "sidebar/WorkspaceChip.h"

#include "core/AppIcons.h"
#include "core/Colors.h"
#include "platform/fake/FakeApplicationCatalog.h"

#include <QPixmap>

#include <gtest/gtest.h>

namespace corvane {
namespace {

constexpr int32_t withIcon = 100;
constexpr int32_t withoutIcon = 200;

QIcon solidIcon(QColor color) {
    QPixmap pixmap(64, 64);
    pixmap.fill(color);
    return QIcon(pixmap);
}

class ThumbnailCellTest : public ::testing::Test {
protected:
    ThumbnailCellTest() {
        catalog.iconsByPID[withIcon] = solidIcon(Qt::green);
        metrics.thumbWidth = 100;
    }

    WindowInfo window(int32_t pid = withIcon) {
        WindowInfo info;
        info.windowID = 7;
        info.pid = pid;
        info.appName = QStringLiteral("Files");
        info.title = QStringLiteral("Documents");
        return info;
    }

    std::unique_ptr<ThumbnailCell> cell(const WindowInfo& info, std::shared_ptr<ThumbnailBox> box = nullptr,
                                        bool hovered = false, bool selected = false) {
        return std::make_unique<ThumbnailCell>(info, std::move(box), metrics, hovered, selected, brandColor(),
                                               &icons);
    }

    static std::shared_ptr<ThumbnailBox> boxWith(QImage image) {
        auto box = std::make_shared<ThumbnailBox>();
        box->setImage(std::move(image));
        return box;
    }

    FakeApplicationCatalog catalog;
    AppIcons icons{catalog};
    SidebarMetrics metrics;
};

TEST_F(ThumbnailCellTest, AnUntitledWindowIsNamedAfterItsProgram) {
    WindowInfo untitled = window();
    untitled.title.clear();

    auto shown = cell(untitled);

    EXPECT_EQ(shown->displayTitle(), QStringLiteral("Files"));
    EXPECT_EQ(shown->accessibleName(), QStringLiteral("Files: Files"));
    EXPECT_EQ(cell(window())->accessibleName(), QStringLiteral("Files: Documents"));
}

TEST_F(ThumbnailCellTest, TheTileShowsThePictureElseTheIconElseNothing) {
    QImage picture(160, 100, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::blue);

    auto live = cell(window(), boxWith(picture));
    EXPECT_EQ(live->tileContent(), ThumbnailCell::Content::image);
    EXPECT_TRUE(live->showsIconBadge());

    // Thumbnails off: the icon fills the tile and needs no badge.
    auto iconOnly = cell(window());
    EXPECT_EQ(iconOnly->tileContent(), ThumbnailCell::Content::icon);
    EXPECT_FALSE(iconOnly->showsIconBadge());

    // A program with no picture of its own shows the generic one, where the theme has it.
    auto bare = cell(window(withoutIcon), std::make_shared<ThumbnailBox>());
    EXPECT_EQ(bare->tileContent(),
              AppIcons::genericAppIcon() ? ThumbnailCell::Content::icon : ThumbnailCell::Content::nothing);
    EXPECT_FALSE(bare->showsIconBadge());
}

TEST_F(ThumbnailCellTest, AMinimisedWindowWithAnEmptyPictureDrawsItsIcon) {
    // Given a minimised window whose last picture has no width
    WindowInfo minimised = window();
    minimised.isMinimized = true;
    auto shown = cell(minimised, boxWith(QImage()));

    // Then the icon fills the tile, and the badge (which only needs a picture and an icon) stays
    EXPECT_EQ(shown->tileContent(), ThumbnailCell::Content::icon);
    EXPECT_TRUE(shown->showsIconBadge());

    // And the drawn tile centre is the icon's colour, dimmed but not blank
    const QImage drawn = shown->grab().toImage();
    const QPointF centre =
        shown->cellRect().topLeft() + QPointF(metrics.thumbWidth / 2, metrics.thumbnailHeight() / 2);
    const QColor pixel = drawn.pixelColor(centre.toPoint());
    EXPECT_GT(pixel.alpha(), 0);
    EXPECT_GT(pixel.green(), pixel.red());
    EXPECT_GT(pixel.green(), pixel.blue());
}

TEST_F(ThumbnailCellTest, AKeptTileIsDrawnAgainWhenWhatItShowsChanges) {
    // Given a cell drawn once with a blue picture
    QImage picture(160, 100, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::blue);
    const std::shared_ptr<ThumbnailBox> box = boxWith(picture);
    auto shown = cell(window(), box);
    const QPoint centre =
        (shown->cellRect().topLeft() + QPointF(metrics.thumbWidth / 2, metrics.thumbnailHeight() / 2))
            .toPoint();
    const QPoint edge = (shown->cellRect().topLeft() + QPointF(metrics.thumbWidth / 2, 0.5)).toPoint();
    const QImage first = shown->grab().toImage();
    EXPECT_EQ(first.pixelColor(centre), QColor(Qt::blue));
    // (drawn again unchanged, it is the same)
    EXPECT_EQ(shown->grab().toImage(), first);

    // When a red picture arrives, the tile shows it
    picture.fill(Qt::red);
    box->setImage(picture);
    EXPECT_EQ(shown->grab().toImage().pixelColor(centre), QColor(Qt::red));

    // When the cell is selected, its border alone marks it: the picture stays as it is
    WindowInfo front = window();
    front.isActive = true;
    shown->setWindow(front);
    EXPECT_EQ(shown->grab().toImage().pixelColor(centre), QColor(Qt::red));
    const QColor unselectedEdge = shown->grab().toImage().pixelColor(edge);
    shown->setSelected(true);
    EXPECT_NE(shown->grab().toImage().pixelColor(edge), unselectedEdge);
    EXPECT_EQ(shown->grab().toImage().pixelColor(centre), QColor(Qt::red));

    // When the window is minimised, the picture is drawn dimmed
    WindowInfo minimised = window();
    minimised.isMinimized = true;
    shown->setWindow(minimised);
    const QColor dimmed = shown->grab().toImage().pixelColor(centre);
    EXPECT_LT(dimmed.red(), 255);
    EXPECT_GT(dimmed.green(), 0);
}

TEST_F(ThumbnailCellTest, TheStateBadgePrefersMinimisedOverHidden) {
    WindowInfo info = window();
    EXPECT_EQ(cell(info)->stateSymbol(), std::nullopt);
    info.isAppHidden = true;
    EXPECT_EQ(cell(info)->stateSymbol(), QStringLiteral("eye.slash"));
    info.isMinimized = true;
    EXPECT_EQ(cell(info)->stateSymbol(), QStringLiteral("arrow.down.right.and.arrow.up.left"));
    EXPECT_TRUE(cell(info)->isDimmed());
}

TEST_F(ThumbnailCellTest, TheBorderMarksSelectionThenTheFrontWindowThenHover) {
    WindowInfo front = window();
    front.isActive = true;
    auto shown = cell(front, nullptr, true, true);
    EXPECT_EQ(shown->border(), (ThumbnailCell::Border{brandColor(), 3}));

    // The switcher ends
    shown->setSelected(false);
    QColor faded = brandColor();
    faded.setAlphaF(0.9f);
    EXPECT_EQ(shown->border(), (ThumbnailCell::Border{faded, 2}));

    auto hovered = cell(window(), nullptr, true, false);
    EXPECT_DOUBLE_EQ(hovered->border().width, 1.5);
    EXPECT_DOUBLE_EQ(hovered->tileScale(), 1.045);
    EXPECT_DOUBLE_EQ(cell(window())->border().width, 0.5);
}

TEST_F(ThumbnailCellTest, TheCellIsOneTileHighAndTitlesAddTheirRow) {
    auto plain = cell(window());
    EXPECT_EQ(plain->cellRect().size(), QSizeF(100, 66));
    EXPECT_EQ(plain->sizeHint(), QSize(100 + 2 * ThumbnailCell::bleed, 66 + 2 * ThumbnailCell::bleed));

    metrics.showTitles = true;
    EXPECT_EQ(cell(window())->cellRect().size(), QSizeF(100, 81));

    metrics.showTitles = false;
    metrics.iconsOnly = true;
    auto tile = cell(window(), nullptr, true);
    EXPECT_EQ(tile->cellRect().size(), QSizeF(100, 62));
    EXPECT_DOUBLE_EQ(tile->tileScale(), 1.06);
}

Workspace workspace(QString name, QString colour, std::optional<int> slot) {
    Workspace ws;
    ws.id = QUuid::createUuid();
    ws.name = std::move(name);
    ws.colorHex = std::move(colour);
    ws.hotkeyIndex = slot;
    return ws;
}

TEST(WorkspaceChipTest, ColourTooltipAndTargetingFollowTheWorkspace) {
    WorkspaceChip chip(workspace(QStringLiteral("Work"), QStringLiteral("#D22027"), 3), false, false);
    EXPECT_EQ(chip.discColor(), QColor(0xD2, 0x20, 0x27));
    EXPECT_EQ(chip.toolTip(), QStringLiteral("Work  Alt+3"));
    EXPECT_DOUBLE_EQ(chip.scale(), 1.0);

    chip.setWorkspace(workspace(QStringLiteral("Play"), QStringLiteral("#ABCD"), std::nullopt));
    chip.setTargeted(true);
    EXPECT_EQ(chip.discColor(), QColor::fromRgbF(0.5f, 0.5f, 0.5f));
    EXPECT_EQ(chip.toolTip(), QStringLiteral("Play"));
    EXPECT_DOUBLE_EQ(chip.scale(), 1.25);
}

} // namespace
} // namespace corvane
