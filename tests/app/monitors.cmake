# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on an Xorg with two monitors, one of which goes and comes.
if(NOT CHRONIVEL_CORE_ONLY)
    add_test(NAME app.monitors COMMAND ${CMAKE_CURRENT_LIST_DIR}/monitors.sh $<TARGET_FILE:chronivel> ${CMAKE_BINARY_DIR})
    set_tests_properties(app.monitors PROPERTIES TIMEOUT 120)
endif()
