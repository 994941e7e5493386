// SPDX-License-Identifier: GPL-3.0-or-later
// What the hot-key test needs from the X server besides the program:
//   hotkeyprobe hold <key index>   holds Ctrl+Shift+<key> system-wide, as
//                                  another program would, until its standard
//                                  input closes; prints "held" or "refused"
//   hotkeyprobe locks              prints which of Caps Lock and Num Lock are on
#include <QGuiApplication>
#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "ui/x11hotkeys.h"

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "hold") == 0) {
        chronivel::X11HotKeys keys;
        const bool held = keys.Grab(0, {chronivel::HotKey::Ctrl | chronivel::HotKey::Shift,
                                        static_cast<std::uint8_t>(std::atoi(argv[2]))});
        std::printf("%s\n", held ? "held" : "refused");
        std::fflush(stdout);
        QSocketNotifier input(0, QSocketNotifier::Read);
        QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
            char byte;
            if (std::fread(&byte, 1, 1, stdin) != 1) app.quit();
        });
        return app.exec();
    }
    if (argc == 2 && std::strcmp(argv[1], "locks") == 0) {
        xcb_connection_t* connection = app.nativeInterface<QNativeInterface::QX11Application>()->connection();
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const std::unique_ptr<xcb_query_pointer_reply_t, decltype(&std::free)> pointer(
            xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr), &std::free);
        if (!pointer) return 1;
        // Num Lock is Mod2 on the test's server.
        std::printf("caps=%d num=%d\n", (pointer->mask & XCB_MOD_MASK_LOCK) != 0, (pointer->mask & XCB_MOD_MASK_2) != 0);
        return 0;
    }
    std::fprintf(stderr, "usage: hotkeyprobe hold <key index> | hotkeyprobe locks\n");
    return 2;
}
