# SPDX-License-Identifier: GPL-3.0-or-later
# The real program's system-wide hot keys on X11, with another client in front.
if(NOT CHRONIVEL_CORE_ONLY AND UNIX)
    add_executable(hotkeyprobe ${CMAKE_CURRENT_LIST_DIR}/hotkeyprobe.cpp)
    target_link_libraries(hotkeyprobe PRIVATE chronivel_ui PkgConfig::XCB)
    add_test(NAME app.hotkeys COMMAND ${CMAKE_CURRENT_LIST_DIR}/hotkeys.sh $<TARGET_FILE:chronivel>
                                      $<TARGET_FILE:hotkeyprobe>)
    set_tests_properties(app.hotkeys PROPERTIES TIMEOUT 120)
endif()
