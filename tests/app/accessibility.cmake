# SPDX-License-Identifier: GPL-3.0-or-later
# The real program read and pressed through the accessibility bus, as a screen reader does.
if(NOT CHRONIVEL_CORE_ONLY)
    add_test(NAME app.accessibility
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/accessibility.sh $<TARGET_FILE:chronivel>)
    set_tests_properties(app.accessibility PROPERTIES TIMEOUT 120)
endif()
