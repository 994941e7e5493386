// SPDX-License-Identifier: GPL-3.0-or-later
// Presses key combinations in a KWin session the way a keyboard does, through
// KWin's fake input protocol (KWin must run with
// KWIN_WAYLAND_NO_PERMISSION_CHECKS=1). Each argument is one combination,
// pressed and released in turn: "ctrl+shift+F12".
//   fakekeys <combination>...
#include <linux/input-event-codes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <wayland-client.h>

#include "fake-input-client-protocol.h"

static struct org_kde_kwin_fake_input* fake_input;

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    (void)data;
    // keyboard_key came with version 4.
    if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        fake_input = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4);
}

static void global_remove(void* data, struct wl_registry* registry, uint32_t name)
{
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {global, global_remove};

struct named_key {
    const char* name;
    uint32_t code;  // evdev
};

static const struct named_key keys[] = {
    {"ctrl", KEY_LEFTCTRL}, {"shift", KEY_LEFTSHIFT}, {"alt", KEY_LEFTALT}, {"super", KEY_LEFTMETA},
    {"space", KEY_SPACE},   {"F1", KEY_F1},           {"F2", KEY_F2},       {"F3", KEY_F3},
    {"F4", KEY_F4},         {"F5", KEY_F5},           {"F6", KEY_F6},       {"F7", KEY_F7},
    {"F8", KEY_F8},         {"F9", KEY_F9},           {"F10", KEY_F10},     {"F11", KEY_F11},
    {"F12", KEY_F12},       {"Return", KEY_ENTER},    {"Escape", KEY_ESC},  {"c", KEY_C},
};

static int code_of(const char* name, uint32_t* code)
{
    for (size_t i = 0; i < sizeof keys / sizeof keys[0]; ++i)
        if (strcasecmp(keys[i].name, name) == 0) {
            *code = keys[i].code;
            return 1;
        }
    return 0;
}

int main(int argc, char* argv[])
{
    if (argc < 2) {
        fprintf(stderr, "usage: %s <combination such as ctrl+shift+F12>...\n", argv[0]);
        return 2;
    }
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        const char* name = getenv("WAYLAND_DISPLAY");
        fprintf(stderr, "fakekeys: cannot connect to the Wayland display \"%s\"\n", name ? name : "wayland-0");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (!fake_input) {
        fprintf(stderr, "fakekeys: the compositor offers no %s version 4\n", org_kde_kwin_fake_input_interface.name);
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(fake_input, "fakekeys", "presses keys for a test");

    for (int arg = 1; arg < argc; ++arg) {
        uint32_t codes[8];
        size_t count = 0;
        char combination[128];
        snprintf(combination, sizeof combination, "%s", argv[arg]);
        for (char* name = strtok(combination, "+"); name; name = strtok(NULL, "+")) {
            if (count == sizeof codes / sizeof codes[0] || !code_of(name, &codes[count])) {
                fprintf(stderr, "fakekeys: unknown key \"%s\" in \"%s\"\n", name, argv[arg]);
                return 2;
            }
            ++count;
        }
        for (size_t i = 0; i < count; ++i) org_kde_kwin_fake_input_keyboard_key(fake_input, codes[i], 1);
        for (size_t i = count; i-- > 0;) org_kde_kwin_fake_input_keyboard_key(fake_input, codes[i], 0);
        // Each combination arrives before the next starts.
        if (wl_display_roundtrip(display) < 0) {
            fprintf(stderr, "fakekeys: the compositor closed the connection\n");
            return 1;
        }
    }
    wl_display_disconnect(display);
    return 0;
}
