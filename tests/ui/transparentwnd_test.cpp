// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/transparentwnd.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>

namespace chronivel {
namespace {

constexpr double kTolerance = 1.0 / 255.0;

TEST(TransparentWndTest, TransparentAppliesPercent)
{
    QWidget window;
    TTransparentWnd transparency(&window);
    transparency.SetPercent(50);
    transparency.Transparent();
    EXPECT_NEAR(window.windowOpacity(), 127.0 / 255.0, kTolerance);
    EXPECT_TRUE(TTransparentWnd::IsLayered(&window));
}

TEST(TransparentWndTest, TransparentActsOnTheOwnersWindow)
{
    QWidget window;
    QWidget child(&window);
    TTransparentWnd transparency(&child);
    transparency.SetPercent(80);
    transparency.Transparent();
    EXPECT_NEAR(window.windowOpacity(), 51.0 / 255.0, kTolerance);
}

TEST(TransparentWndTest, OpaqueRestoresFullOpacity)
{
    QWidget window;
    TTransparentWnd transparency(&window);
    transparency.SetPercent(50);
    transparency.Transparent();
    ASSERT_LT(window.windowOpacity(), 0.9);
    transparency.Opaque();
    EXPECT_NEAR(window.windowOpacity(), 1.0, kTolerance);
    EXPECT_FALSE(TTransparentWnd::IsLayered(&window));
}

TEST(TransparentWndTest, ZeroPercentWithAutoOpaqueRemovesTheLayering)
{
    QWidget window;
    TTransparentWnd transparency(&window);
    transparency.SetPercent(50);
    transparency.Transparent();
    transparency.SetAutoOpaque(true);
    transparency.SetPercent(0);
    transparency.Transparent();
    EXPECT_FALSE(TTransparentWnd::IsLayered(&window));
    EXPECT_NEAR(window.windowOpacity(), 1.0, kTolerance);
}

TEST(TransparentWndTest, ZeroPercentWithoutAutoOpaqueKeepsAnOpaqueLayer)
{
    QWidget window;
    TTransparentWnd transparency(&window);
    transparency.SetAutoOpaque(false);
    transparency.SetPercent(0);
    transparency.Transparent();
    EXPECT_TRUE(TTransparentWnd::IsLayered(&window));
    EXPECT_NEAR(window.windowOpacity(), 1.0, kTolerance);
}

TEST(TransparentWndTest, AlphaRoundsDown)
{
    EXPECT_EQ(TTransparentWnd::Alpha(50), 127);
    EXPECT_EQ(TTransparentWnd::Alpha(0), 255);
    EXPECT_EQ(TTransparentWnd::Alpha(100), 0);
    EXPECT_EQ(TTransparentWnd::Alpha(33), 170);
}

TEST(TransparentWndTest, PercentStaysWithinRange)
{
    QWidget window;
    TTransparentWnd transparency(&window);
    transparency.SetPercent(150);
    EXPECT_EQ(transparency.Percent(), 100);
    transparency.SetPercent(-5);
    EXPECT_EQ(transparency.Percent(), 0);
}

TEST(TransparentWndTest, NoWindowIsIgnored)
{
    TTransparentWnd transparency(nullptr);
    transparency.Transparent();
    transparency.Opaque();
    EXPECT_FALSE(TTransparentWnd::IsLayered(nullptr));
}

}  // namespace
}  // namespace chronivel
