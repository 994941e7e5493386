# SPDX-License-Identifier: GPL-3.0-or-later
# A short soak of the real program: random use and kill -9, then every
# finished run must be in the protocol once and whole, every run in progress
# at a kill must come back with its START line, laps and pause, a kill during
# a STOP must never bring the run back to be written twice, and the settings
# file must stay whole. `tools/soak` runs the long one.
if(NOT CHRONIVEL_CORE_ONLY)
    add_executable(regcheck ${CMAKE_CURRENT_LIST_DIR}/regcheck.cpp)
    target_link_libraries(regcheck PRIVATE chronivel_core)
    add_test(NAME app.soak_quick
        COMMAND ${PROJECT_SOURCE_DIR}/tools/soak --quick --expect-whole-runs --expect-atomic-stop --exe $<TARGET_FILE:chronivel>
                --regcheck $<TARGET_FILE:regcheck> --out ${CMAKE_BINARY_DIR}/soak-quick)
    set_tests_properties(app.soak_quick PROPERTIES TIMEOUT 300)
endif()
