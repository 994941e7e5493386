# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on a small screen, without a window manager and under openbox.
if(NOT CHRONIVEL_CORE_ONLY)
    add_test(NAME app.windowmanager
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/windowmanager.sh $<TARGET_FILE:chronivel> ${CMAKE_BINARY_DIR})
    set_tests_properties(app.windowmanager PROPERTIES TIMEOUT 120)
endif()

# Under openbox, behind another program's window and in front again.
if(NOT CHRONIVEL_CORE_ONLY)
    add_test(NAME app.foreground
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/foreground.sh $<TARGET_FILE:chronivel> ${CMAKE_BINARY_DIR})
    set_tests_properties(app.foreground PROPERTIES TIMEOUT 120)
endif()

# The configuration dialog under openbox, with the keyboard alone.
if(NOT CHRONIVEL_CORE_ONLY)
    add_test(NAME app.configuration
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/configuration.sh $<TARGET_FILE:chronivel> ${CMAKE_BINARY_DIR})
    set_tests_properties(app.configuration PROPERTIES TIMEOUT 120)
endif()

# The program's own windows and dialogs in front of the main window, and its keys in each.
if(NOT CHRONIVEL_CORE_ONLY)
    add_test(NAME app.ownwindows
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/ownwindows.sh $<TARGET_FILE:chronivel> ${CMAKE_BINARY_DIR}
                ${PROJECT_SOURCE_DIR}/assets/help)
    set_tests_properties(app.ownwindows PROPERTIES TIMEOUT 180)
endif()
