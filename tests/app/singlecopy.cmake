# SPDX-License-Identifier: GPL-3.0-or-later
# The real program started twice under openbox: one copy per title.
if(NOT CHRONIVEL_CORE_ONLY)
    add_test(NAME app.single_copy
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/single_copy.sh $<TARGET_FILE:chronivel>)
    set_tests_properties(app.single_copy PROPERTIES TIMEOUT 120)
endif()
