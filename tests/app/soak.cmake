# A short soak of the real program: random use and kill -9, then every
# finished run must be in the protocol once and the settings file whole.
# `tools/soak` runs the long one. Two checks wait for the program to keep
# them; add each to the command once it does:
#   --expect-whole-runs   a run in progress at a kill comes back with its
#                         START line, laps and pause;
#   --expect-atomic-stop  a kill during a STOP never brings the run back
#                         running, to be written a second time.
if(NOT CHRONIVEL_CORE_ONLY)
    add_executable(regcheck ${CMAKE_CURRENT_LIST_DIR}/regcheck.cpp)
    target_link_libraries(regcheck PRIVATE chronivel_core)
    add_test(NAME app.soak_quick
        COMMAND ${PROJECT_SOURCE_DIR}/tools/soak --quick --exe $<TARGET_FILE:chronivel>
                --regcheck $<TARGET_FILE:regcheck> --out ${CMAKE_BINARY_DIR}/soak-quick)
    set_tests_properties(app.soak_quick PROPERTIES TIMEOUT 300)
endif()
