// The main window's controls as a user meets them: what their buttons show.
#include <QTest>

#include <gtest/gtest.h>

#include "tests/ui/mainwindow_fixture.h"
#include "ui/colorbutton.h"
#include "ui/mainmenus.h"

namespace chronivel {
namespace {

class WindowControlsTest : public testing::MainWindowFixture {
protected:
    void Key(QKeyCombination key) { QTest::keyClick(window.get(), key.key(), key.keyboardModifiers()); }
};

// Pixels inside the button's edge that satisfy `is`.
template <typename Test>
int Count(const QImage& picture, Test is)
{
    const QRect inside = picture.rect().adjusted(4, 4, -4, -4);
    int count = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (is(picture.pixelColor(x, y))) ++count;
    return count;
}

// How many separate stretches of `is` pixels row `y` has inside the button's edge.
template <typename Test>
int Runs(const QImage& picture, int y, Test is)
{
    int runs = 0;
    bool in = false;
    for (int x = 4; x < picture.width() - 4; ++x) {
        const bool now = is(picture.pixelColor(x, y));
        if (now && !in) ++runs;
        in = now;
    }
    return runs;
}

TEST_F(WindowControlsTest, ThePauseButtonShowsItsBarsWhileRunningAndItsTriangleWhilePaused)
{
    Start();
    auto* pause = Find<TBitBtnWithColor>("bPause");
    Key(Qt::Key_Return);
    ASSERT_TRUE(pause->isVisible());
    const auto dark = [](const QColor& c) { return c.red() < 64 && c.green() < 64 && c.blue() < 64; };
    const auto green = [](const QColor& c) { return c.green() > 80 && c.red() < 40 && c.blue() < 40; };
    for (int zoom = 0; zoom < 5; ++zoom) {
        window->Menus().Zooms[zoom]->trigger();
        const int a = zoom + 1;
        // Two bars inside the glyph's one-pixel clear rim (11 × 13 at zoom 1),
        // each a third of the rest wide, with a gap between them.
        const QImage picture = pause->grab().toImage();
        EXPECT_GE(Count(picture, dark), 2 * (3 * a) * (11 * a)) << "zoom " << a;
        EXPECT_EQ(Runs(picture, picture.height() / 2, dark), 2) << "zoom " << a;
        Key(Qt::Key_Pause);
        EXPECT_GE(Count(pause->grab().toImage(), green), 11 * a * 11 * a / 3) << "paused, zoom " << a;
        EXPECT_EQ(Count(pause->grab().toImage(), dark), 0) << "paused, zoom " << a;
        Key(Qt::Key_Pause);
    }
}

}  // namespace
}  // namespace chronivel
