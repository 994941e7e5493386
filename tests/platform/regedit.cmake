# SPDX-License-Identifier: GPL-3.0-or-later
# The settings file against Wine's regedit, which reads it as Windows does.
if(WIN32 OR CMAKE_CROSSCOMPILING OR CHRONIVEL_CORE_ONLY)
    return()
endif()

add_executable(regedit_settings platform/regedit_settings.cpp)
target_link_libraries(regedit_settings PRIVATE chronivel_platform)
add_test(NAME platform.regedit_roundtrip
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/regedit_roundtrip.sh $<TARGET_FILE:regedit_settings>
            ${CMAKE_BINARY_DIR}/regedit-roundtrip)
set_tests_properties(platform.regedit_roundtrip PROPERTIES TIMEOUT 180)
