// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/face.h"

#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ui/dial.h"

namespace chronivel {
namespace {

QColor At(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

// 0x00BBGGRR values.
constexpr std::uint32_t kRed = 0x000000FF;
constexpr std::uint32_t kTeal = 0x00B4783C;  // RGB 60, 120, 180

TEST(FaceColourTest, BgrValuesReadRedFirst)
{
    EXPECT_EQ(ColorFromBgr(kTeal), QColor(60, 120, 180));
    EXPECT_EQ(ColorFromBgr(kRed), QColor(255, 0, 0));
}

TEST(DiscTest, RedDiscShadesItsRimFromBlackInFourteenRings)
{
    const QImage disc = DrawDisc(kFaceBitmapSize, ColorFromBgr(kRed));
    // Down the middle column from the top edge, one ring per pixel.
    EXPECT_EQ(At(disc, 112, 0), QColor(0, 0, 0));
    EXPECT_EQ(At(disc, 112, 1), QColor(17, 0, 0));
    EXPECT_EQ(At(disc, 112, 13), QColor(221, 0, 0));
    EXPECT_EQ(At(disc, 112, 14), QColor(255, 0, 0));
    EXPECT_EQ(At(disc, 112, 112), QColor(255, 0, 0));
}

TEST(DiscTest, EveryRingOfATealDiscFollowsTheFormulaOnAllFourSides)
{
    const QImage disc = DrawDisc(kFaceBitmapSize, ColorFromBgr(kTeal));
    const int w = disc.width();
    for (int c = 0; c < kDiscRings; ++c) {
        const QColor ring(c * 60 / 15, c * 120 / 15, c * 180 / 15);
        EXPECT_EQ(At(disc, w / 2, c), ring) << "top " << c;
        EXPECT_EQ(At(disc, c, w / 2), ring) << "left " << c;
        EXPECT_EQ(At(disc, w / 2, w - 1 - c), ring) << "bottom " << c;
        EXPECT_EQ(At(disc, w - 1 - c, w / 2), ring) << "right " << c;
    }
    EXPECT_EQ(At(disc, w / 2, kDiscRings), QColor(60, 120, 180));
}

TEST(DiscTest, RimHasNoGapsAlongTheDiagonal)
{
    const QImage disc = DrawDisc(kFaceBitmapSize, ColorFromBgr(kRed));
    // From outside to the centre along the diagonal the red part never goes
    // down, so no pixel of fill shows through between two rings.
    int previous = -1;
    bool reachedDisc = false;
    for (int i = 0; i < 112; ++i) {
        const QColor pixel = At(disc, i, i);
        if (pixel == QColor(Qt::white)) {
            ASSERT_FALSE(reachedDisc);
            continue;
        }
        reachedDisc = true;
        EXPECT_GE(pixel.red(), previous) << i;
        previous = pixel.red();
    }
    EXPECT_EQ(previous, 255);
}

TEST(DiscTest, CornersOutsideTheDiscAreWhiteForFullRounding)
{
    const QImage disc = DrawDisc(kFaceBitmapSize, ColorFromBgr(kTeal), 100);
    EXPECT_EQ(At(disc, 0, 0), QColor(Qt::white));
    EXPECT_EQ(At(disc, 223, 223), QColor(Qt::white));
}

TEST(DiscTest, NoRoundingMakesASquareWithBlackEdge)
{
    const QImage disc = DrawDisc(kFaceBitmapSize, ColorFromBgr(kTeal), 0);
    EXPECT_EQ(At(disc, 0, 0), QColor(0, 0, 0));
    EXPECT_EQ(At(disc, 223, 223), QColor(0, 0, 0));
    EXPECT_EQ(At(disc, 13, 13), DiscRingColor(QColor(60, 120, 180), 13));
}

TEST(DialTest, CentrePixelIsTheWindowColour)
{
    for (const QSize size : {QSize(224, 224), QSize(225, 224), QSize(672, 672), QSize(100, 100)}) {
        const QImage dial = DrawDial(size);
        ASSERT_EQ(dial.size(), size);
        EXPECT_EQ(At(dial, size.width() / 2, size.height() / 2), QColor(170, 186, 192)) << size.width();
    }
}

TEST(DialTest, WhiteOutsideTheRing)
{
    const QImage dial = DrawDial(QSize(224, 224));
    for (const QPoint corner : {QPoint(0, 0), QPoint(223, 0), QPoint(0, 223), QPoint(223, 223), QPoint(15, 15)})
        EXPECT_EQ(At(dial, corner.x(), corner.y()), QColor(Qt::white)) << corner.x() << "," << corner.y();
}

TEST(DialTest, HasDarkTickAtTwelveAndMetalRing)
{
    const QImage dial = DrawDial(QSize(224, 224));
    // Somewhere on the major tick at twelve the ink is darker than any part of the plate.
    int darkest = 255;
    for (int y = 15; y < 50; ++y) darkest = std::min(darkest, qGray(dial.pixel(112, y)));
    EXPECT_LT(darkest, 90);
    // The ring is grey, neither white nor the plate's blue.
    const QColor ring = At(dial, 112, 4);
    EXPECT_NE(ring, QColor(Qt::white));
    EXPECT_LT(std::abs(ring.red() - ring.blue()), 30);
}

TEST(MakeFaceTest, ColourWinsOverPicture)
{
    const TFaceImage face = MakeFace(kFaceBitmapSize, kRed, QStringLiteral("/no/such/picture.bmp"));
    EXPECT_EQ(face.kind, TFaceKind::fkDisc);
    EXPECT_TRUE(face.error.isEmpty());
    EXPECT_EQ(face.windowColor, QColor(255, 0, 0));
    EXPECT_EQ(face.image.size(), kFaceBitmapSize);
}

TEST(MakeFaceTest, PictureGivesItsCentrePixelAsWindowColour)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage picture(31, 21, QImage::Format_RGB32);
    picture.fill(QColor(10, 20, 30));
    picture.setPixelColor(15, 10, QColor(200, 100, 50));
    for (const char* format : {"bmp", "png"}) {
        const QString path = dir.filePath(QStringLiteral("face.%1").arg(format));
        ASSERT_TRUE(picture.save(path, format));
        const TFaceImage face = MakeFace(kFaceBitmapSize, 0, path);
        EXPECT_EQ(face.kind, TFaceKind::fkPicture) << format;
        EXPECT_EQ(face.windowColor, QColor(200, 100, 50)) << format;
        EXPECT_EQ(face.image.size(), picture.size()) << format;
    }
}

TEST(MakeFaceTest, UnreadablePictureLeavesTheFaceAndSaysWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.bmp"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a bitmap");
    file.close();
    const TFaceImage face = MakeFace(kFaceBitmapSize, 0, path);
    EXPECT_EQ(face.kind, TFaceKind::fkUnchanged);
    EXPECT_TRUE(face.image.isNull());
    EXPECT_FALSE(face.windowColor.isValid());
    EXPECT_FALSE(face.error.isEmpty());
}

TEST(MakeFaceTest, NoColourNoPictureGivesTheDial)
{
    const TFaceImage face = MakeFace(kFaceBitmapSize, 0, QString());
    EXPECT_EQ(face.kind, TFaceKind::fkDial);
    EXPECT_EQ(face.windowColor, QColor(170, 186, 192));
}

TEST(FaceDragTest, AClickIsNotADragButOnceMovedTheGrabPointStaysUnderTheCursor)
{
    TFaceDrag drag;
    EXPECT_FALSE(drag.Move(QPoint(500, 400), 10).has_value()) << "no button down";
    drag.Press(QPoint(30, 40), QPoint(130, 140));
    EXPECT_FALSE(drag.Move(QPoint(136, 143), 10).has_value()) << "9 pixels away: still a click";
    EXPECT_FALSE(drag.Dragging());
    EXPECT_EQ(drag.Move(QPoint(134, 146), 10), QPoint(104, 106)) << "10 pixels away: a drag";
    EXPECT_TRUE(drag.Dragging());
    EXPECT_EQ(drag.Move(QPoint(131, 141), 10), QPoint(101, 101)) << "back near where it began, still a drag";
    EXPECT_EQ(drag.Move(QPoint(10, 10), 10), QPoint(-20, -30));
    drag.Release();
    EXPECT_FALSE(drag.Move(QPoint(500, 400), 10).has_value());
    drag.Press(QPoint(30, 40), QPoint(500, 400));
    EXPECT_FALSE(drag.Move(QPoint(501, 400), 10).has_value()) << "each press begins as a click";
}

TEST(FaceWidgetTest, StartsWithDialAndNoWindowColour)
{
    TFace face;
    face.resize(224, 224);
    EXPECT_EQ(face.Kind(), TFaceKind::fkDial);
    EXPECT_FALSE(face.WindowColor().isValid());
    EXPECT_EQ(face.Rendered().pixelColor(112, 112), QColor(170, 186, 192));
}

TEST(FaceWidgetTest, ColouredFaceIsStretchedAtZoomThree)
{
    TFace face;
    face.resize(672, 672);
    QSignalSpy changed(&face, &TFace::windowColorChanged);
    EXPECT_TRUE(face.ApplyFace(kRed, QString()).isEmpty());
    EXPECT_EQ(face.Kind(), TFaceKind::fkDisc);
    EXPECT_EQ(face.WindowColor(), QColor(255, 0, 0));
    EXPECT_EQ(changed.count(), 1);
    const QImage shown = face.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(672, 672));
    // Ring c of the 224 bitmap covers rows 3c..3c+2 at the middle column.
    EXPECT_EQ(shown.pixelColor(336, 0), QColor(0, 0, 0));
    EXPECT_EQ(shown.pixelColor(336, 2), QColor(0, 0, 0));
    EXPECT_EQ(shown.pixelColor(336, 3 * 13 + 1), QColor(221, 0, 0));
    EXPECT_EQ(shown.pixelColor(336, 3 * 14), QColor(255, 0, 0));
}

TEST(FaceWidgetTest, FailedPictureKeepsThePreviousFace)
{
    TFace face;
    face.resize(224, 224);
    face.ApplyFace(kTeal, QString());
    const QString error = face.ApplyFace(0, QStringLiteral("/no/such/picture.bmp"));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(face.Kind(), TFaceKind::fkDisc);
    EXPECT_EQ(face.WindowColor(), QColor(60, 120, 180));
}

TEST(FaceWidgetTest, RoundPercentShapesTheDisc)
{
    TFace face;
    face.resize(224, 224);
    face.SetRoundPercent(0);
    face.ApplyFace(kTeal, QString());
    EXPECT_EQ(face.Rendered().pixelColor(0, 0), QColor(0, 0, 0));
    face.SetRoundPercent(100);
    face.ApplyFace(kTeal, QString());
    EXPECT_EQ(face.Rendered().pixelColor(0, 0), QColor(Qt::white));
}

TEST(FaceWidgetTest, BackToTheDialTakesItsCentreColour)
{
    TFace face;
    face.resize(300, 300);
    face.ApplyFace(kRed, QString());
    face.ApplyFace(0, QString());
    EXPECT_EQ(face.Kind(), TFaceKind::fkDial);
    EXPECT_EQ(face.WindowColor(), QColor(170, 186, 192));
    EXPECT_EQ(face.grab().toImage().pixelColor(150, 150), QColor(170, 186, 192));
}

// Where no mask cuts the window (Wayland), its corners must stay clear
// whatever the face: the dial, a disc, a picture stretched over the window.
TEST(FaceWidgetTest, InATranslucentWindowEveryFacePaintsOnlyItsShape)
{
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("green.png"));
    QImage green(50, 50, QImage::Format_RGB32);
    green.fill(Qt::green);
    ASSERT_TRUE(green.save(picture));
    struct Case {
        std::uint32_t colour;
        QString picture;
        int roundPercent;
        bool cornerClear;
    };
    const Case cases[] = {
        {0, QString(), 100, true}, {kTeal, QString(), 100, true}, {0, picture, 100, true}, {kTeal, QString(), 0, false},
    };
    for (const Case& c : cases) {
        for (const bool translucent : {true, false}) {
            QWidget window;
            window.setAttribute(Qt::WA_TranslucentBackground, translucent);
            window.resize(224, 224);
            TFace face(&window);
            face.resize(window.size());
            face.SetRoundPercent(c.roundPercent);
            face.ApplyFace(c.colour, c.picture);
            const QImage shown = window.grab().toImage();
            const bool clear = translucent && c.cornerClear;
            EXPECT_EQ(qAlpha(shown.pixel(3, 3)), clear ? 0 : 255) << c.colour << c.roundPercent << translucent;
            EXPECT_EQ(qAlpha(shown.pixel(220, 220)), clear ? 0 : 255) << c.colour << c.roundPercent << translucent;
            EXPECT_EQ(qAlpha(shown.pixel(112, 112)), 255) << c.colour << c.roundPercent << translucent;
        }
    }
}

}  // namespace
}  // namespace chronivel
