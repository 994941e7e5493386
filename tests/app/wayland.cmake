# SPDX-License-Identifier: GPL-3.0-or-later
# The real program in a headless KDE Plasma session, natively on Wayland and on XWayland.
if(NOT CHRONIVEL_CORE_ONLY AND UNIX)
    add_test(NAME app.wayland_window COMMAND ${CMAKE_CURRENT_LIST_DIR}/wayland_window.sh $<TARGET_FILE:chronivel>
                                             $<TARGET_FILE:fakekeys>)
    set_tests_properties(app.wayland_window PROPERTIES TIMEOUT 180 SKIP_RETURN_CODE 77)
    # Without Qt's Wayland plugin, asking for it is answered with the plugin and its package.
    add_test(NAME app.wayland_plugin COMMAND ${CMAKE_CURRENT_LIST_DIR}/wayland_plugin.sh $<TARGET_FILE:chronivel>)
    set_tests_properties(app.wayland_plugin PROPERTIES TIMEOUT 60)
endif()
