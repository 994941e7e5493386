// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program and writes how long it took from the fork to the map of
// its first window, for bench/peers:
//   peers_launch <result file> <program> [arguments...]
// The program keeps this process's id (it is exec'd here), so the caller can
// measure and end it as its own child. A detached watcher, connected to the X
// server before the fork, takes the MapNotify the server sends when the window
// is mapped: exact to the event's delivery, where polling with xdotool would
// add a process start per poll and load the very cores being measured. The
// result file gets "<milliseconds> <window id>", or "none" when no window of
// the program was mapped within 30 s.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

xcb_atom_t Atom(xcb_connection_t* x, const char* name)
{
    const auto cookie = xcb_intern_atom(x, 0, static_cast<uint16_t>(std::strlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(x, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The process id a window carries in _NET_WM_PID, 0 when it has none.
pid_t PidOf(xcb_connection_t* x, xcb_window_t window, xcb_atom_t wmPid)
{
    const auto cookie = xcb_get_property(x, 0, window, wmPid, XCB_ATOM_CARDINAL, 0, 1);
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(x, cookie, nullptr), &std::free);
    if (!reply || xcb_get_property_value_length(reply.get()) != 4)
        return 0;
    return static_cast<pid_t>(*static_cast<const uint32_t*>(xcb_get_property_value(reply.get())));
}

// Waits for the map of a window of process `program`; returns its id and
// sets `mappedAt`, or 0 when none came before `deadline`.
xcb_window_t WaitForMap(xcb_connection_t* x, pid_t program, double deadline, double& mappedAt)
{
    const xcb_atom_t wmPid = Atom(x, "_NET_WM_PID");
    pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
    while (NowMs() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
            if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
                continue;
            const double at = NowMs();
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            // Menus and tooltips bypass the window manager; the window is the other kind.
            if (!map->override_redirect && PidOf(x, map->window, wmPid) == program) {
                mappedAt = at;
                return map->window;
            }
        }
        if (xcb_connection_has_error(x))
            return 0;
        poll(&fd, 1, 100);
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <result file> <program> [arguments...]\n", argv[0]);
        return 2;
    }
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "%s: cannot open the display \"%s\"\n", argv[0], std::getenv("DISPLAY"));
        return 2;
    }
    // Top-level windows are the root's children (there is no window manager
    // to reparent them), so the root hears of every map.
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, screen->root, XCB_CW_EVENT_MASK, &mask);
    // A round trip, so the mask is in place before the program starts.
    std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
    // The program must not inherit the watcher's connection.
    fcntl(xcb_get_file_descriptor(x), F_SETFD, FD_CLOEXEC);

    const pid_t program = getpid();
    const double forkedAt = NowMs();
    const pid_t middle = fork();
    if (middle == 0) {
        // Detached (its parent ends at once), so the program has no child of
        // ours to reap and the watcher ends with the X server at the latest.
        if (fork() != 0)
            _exit(0);
        double mappedAt = 0;
        const xcb_window_t window = WaitForMap(x, program, forkedAt + 30'000, mappedAt);
        // Written aside and renamed, so a reader never sees half of it.
        const std::string part = std::string(argv[1]) + ".part";
        FILE* result = std::fopen(part.c_str(), "w");
        if (!result)
            _exit(1);
        if (window)
            std::fprintf(result, "%.1f %u\n", mappedAt - forkedAt, window);
        else
            std::fprintf(result, "none\n");
        std::fclose(result);
        _exit(std::rename(part.c_str(), argv[1]) == 0 ? 0 : 1);
    }
    if (middle > 0)
        waitpid(middle, nullptr, 0);
    execvp(argv[2], argv + 2);
    std::fprintf(stderr, "%s: cannot run %s\n", argv[0], argv[2]);
    return 127;
}
