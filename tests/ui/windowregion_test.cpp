// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windowregion.h"

#include <gtest/gtest.h>

namespace chronivel {
namespace {

int Area(const QRegion& region)
{
    int area = 0;
    for (const QRect& rect : region) area += rect.width() * rect.height();
    return area;
}

TEST(WindowRegionTest, FullRoundingIsTheInscribedCircle)
{
    const QRegion region = WindowRegion(224, 224, 100);
    for (const QPoint corner : {QPoint(1, 1), QPoint(223, 1), QPoint(1, 223), QPoint(223, 223), QPoint(20, 20)})
        EXPECT_FALSE(region.contains(corner)) << corner.x() << "," << corner.y();
    EXPECT_TRUE(region.contains(QPoint(112, 112)));
    // The circle touches the middle of every side of the (1, 1)-(224, 224) box.
    EXPECT_TRUE(region.contains(QPoint(112, 1)));
    EXPECT_TRUE(region.contains(QPoint(1, 112)));
    EXPECT_TRUE(region.contains(QPoint(223, 112)));
    EXPECT_TRUE(region.contains(QPoint(112, 223)));
    EXPECT_FALSE(region.contains(QPoint(112, 0)));
    EXPECT_FALSE(region.contains(QPoint(0, 112)));
}

TEST(WindowRegionTest, FullRoundingIsSymmetricAboutTheBoxCentre)
{
    const QRegion region = WindowRegion(224, 224, 100);
    // Mirroring within the box 1..223 maps x to 224 - x.
    for (int y = 1; y < 224; y += 7)
        for (int x = 1; x < 224; x += 3)
            ASSERT_EQ(region.contains(QPoint(x, y)), region.contains(QPoint(224 - x, 224 - y))) << x << "," << y;
}

TEST(WindowRegionTest, NoRoundingIsTheRectangleWithoutTopRowAndLeftColumn)
{
    const QRegion region = WindowRegion(224, 224, 0);
    EXPECT_EQ(region, QRegion(1, 1, 223, 223));
    EXPECT_FALSE(region.contains(QPoint(0, 0)));
    EXPECT_FALSE(region.contains(QPoint(100, 0)));
    EXPECT_FALSE(region.contains(QPoint(0, 100)));
    EXPECT_TRUE(region.contains(QPoint(1, 1)));
    EXPECT_TRUE(region.contains(QPoint(223, 223)));
}

TEST(WindowRegionTest, HalfRoundingHasQuarterSideCornerRadius)
{
    const QRegion region = WindowRegion(224, 224, 50);
    // Corner ellipse 112 × 112: the straight sides run from 1 + 56 to 224 - 56.
    EXPECT_FALSE(region.contains(QPoint(1, 1)));
    EXPECT_FALSE(region.contains(QPoint(10, 10)));
    EXPECT_FALSE(region.contains(QPoint(223, 223)));
    EXPECT_TRUE(region.contains(QPoint(112, 112)));
    EXPECT_TRUE(region.contains(QPoint(57, 1)));
    EXPECT_TRUE(region.contains(QPoint(166, 1)));
    EXPECT_FALSE(region.contains(QPoint(40, 1)));
    EXPECT_TRUE(region.contains(QPoint(1, 112)));
    // Far enough in along the corner's diagonal.
    EXPECT_TRUE(region.contains(QPoint(20, 20)));
    // Covers more than the circle and less than the rectangle.
    EXPECT_GT(Area(region), Area(WindowRegion(224, 224, 100)));
    EXPECT_LT(Area(region), Area(WindowRegion(224, 224, 0)));
}

TEST(WindowRegionTest, CornerEllipseUsesIntegerDivision)
{
    EXPECT_EQ(CornerEllipse(224, 224, 50), QSize(112, 112));
    EXPECT_EQ(CornerEllipse(672, 672, 33), QSize(221, 221));
    EXPECT_EQ(CornerEllipse(225, 224, 50), QSize(112, 112));
}

TEST(WindowRegionTest, AbsurdRoundingIsClamped)
{
    EXPECT_EQ(WindowRegion(224, 224, -20), WindowRegion(224, 224, 0));
    EXPECT_EQ(WindowRegion(224, 224, 400), WindowRegion(224, 224, 100));
}

TEST(WindowRegionTest, RegionFollowsTheWindowSize)
{
    const QRegion region = WindowRegion(672, 672, 100);
    EXPECT_TRUE(region.contains(QPoint(336, 336)));
    EXPECT_TRUE(region.contains(QPoint(336, 1)));
    EXPECT_FALSE(region.contains(QPoint(60, 60)));
    EXPECT_EQ(region.boundingRect(), QRect(1, 1, 671, 671));
}

TEST(WindowRegionTest, RowsOfARoundRectangle)
{
    // A 10 × 10 box whose corners are quarter circles of radius 5: a disc.
    const QRect box(0, 0, 10, 10);
    const TRowSpan middle = RoundRectRow(box, QSize(10, 10), 5);
    EXPECT_EQ(middle.first, 0);
    EXPECT_EQ(middle.last, 9);
    const TRowSpan top = RoundRectRow(box, QSize(10, 10), 0);
    EXPECT_GT(top.first, 0);
    EXPECT_EQ(top.first + top.last, 9);
    EXPECT_TRUE(RoundRectRow(box, QSize(10, 10), 10).Empty());
    EXPECT_TRUE(RoundRectRow(box, QSize(10, 10), -1).Empty());
}

// The configuration dialog's crescent fits against the main window once the
// two have slid apart by two thirds of a side: between them only a seam.
TEST(CrescentRegion, IsTheRightHandMoonThatHugsTheMainWindow)
{
    for (const int zoom : {1, 3}) {
        const int side = 224 * zoom;
        const QRegion crescent = CrescentRegion(side, side, 100);
        EXPECT_TRUE(crescent.contains(QPoint(side - 3, side / 2))) << "the right-hand rim";
        EXPECT_TRUE(crescent.contains(QPoint(side / 3 + 2, side / 2))) << "the moon's inner edge";
        EXPECT_FALSE(crescent.contains(QPoint(side / 3 - 2, side / 2)));
        EXPECT_FALSE(crescent.contains(QPoint(side / 4, side / 4))) << "the left-hand part is cut away";
        const QRegion mainWindow = WindowRegion(side, side, 100).translated(-2 * 74 * zoom, 0);
        int overlap = 0;
        for (const QRect& r : crescent.intersected(mainWindow)) overlap += r.width() * r.height();
        EXPECT_LT(overlap, 3 * side) << "at zoom " << zoom;
        int area = 0;
        for (const QRect& r : crescent) area += r.width() * r.height();
        EXPECT_GT(area, side * side / 4);
    }
    // A square window keeps a crescent too, from its rounded-off shape.
    EXPECT_FALSE(CrescentRegion(224, 224, 0).isEmpty());
}

}  // namespace
}  // namespace chronivel
