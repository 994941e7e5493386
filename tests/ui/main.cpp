// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    // Widget tests need no screen; a test that needs a real X server says so itself.
    // The screen they get has room for the window's largest zoom: a smaller
    // one would make the window skip the zooms that do not fit.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" CHRONIVEL_OFFSCREEN_SCREEN);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
