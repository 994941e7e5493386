# SPDX-License-Identifier: GPL-3.0-or-later
# The real program with light barriers on a pseudo-terminal whose modem lines
# come from the serial shim.
if(CHRONIVEL_SERIALSHIM AND NOT CHRONIVEL_CORE_ONLY)
    add_executable(ptyholder ${CMAKE_CURRENT_LIST_DIR}/ptyholder.cpp)
    add_test(NAME app.barriers
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/barriers.sh $<TARGET_FILE:chronivel> ${CHRONIVEL_SERIALSHIM}
                $<TARGET_FILE:ptyholder>)
    set_tests_properties(app.barriers PROPERTIES TIMEOUT 120)
    add_test(NAME app.barriers_replug
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/barriers_replug.sh $<TARGET_FILE:chronivel> ${CHRONIVEL_SERIALSHIM}
                $<TARGET_FILE:ptyholder>)
    # Its screenshots of the notices stay in the build folder, to be looked at.
    set_tests_properties(app.barriers_replug PROPERTIES TIMEOUT 120
        ENVIRONMENT CHRONIVEL_SHOTS=${CMAKE_BINARY_DIR}/notices)
endif()
