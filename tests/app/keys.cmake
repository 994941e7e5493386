# SPDX-License-Identifier: GPL-3.0-or-later
# The real program times keys from the X server's stamps while it is busy.
if(NOT CHRONIVEL_CORE_ONLY)
    foreach(mode stopped saving)
        add_test(NAME app.keys_stamped_${mode}
            COMMAND ${CMAKE_CURRENT_LIST_DIR}/keys_stamped.sh $<TARGET_FILE:chronivel> ${mode})
        set_tests_properties(app.keys_stamped_${mode} PROPERTIES TIMEOUT 120)
    endforeach()
endif()
