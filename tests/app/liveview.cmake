# SPDX-License-Identifier: GPL-3.0-or-later
# The live view's page in headless chromium against the real program.
if(NOT CHRONIVEL_CORE_ONLY)
    add_test(NAME app.liveview_browser
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/liveview_browser.sh $<TARGET_FILE:chronivel> ${CMAKE_BINARY_DIR}/live-node)
    set_tests_properties(app.liveview_browser PROPERTIES TIMEOUT 180)
endif()
