# SPDX-License-Identifier: GPL-3.0-or-later
# The start-up sound really reaches a (private, silent) sound server.
if(NOT CHRONIVEL_CORE_ONLY)
    add_test(NAME app.sound_plays
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/sound_plays.sh $<TARGET_FILE:chronivel>)
    set_tests_properties(app.sound_plays PROPERTIES TIMEOUT 60)
endif()

# The alarm clock rings in the real program: its window comes back and the ring is heard.
if(NOT CHRONIVEL_CORE_ONLY)
    add_test(NAME app.alarm_rings
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/alarm_rings.sh $<TARGET_FILE:chronivel>)
    set_tests_properties(app.alarm_rings PROPERTIES TIMEOUT 90)
endif()

# The countdown's warning is heard, as its own sound, and seen: the readout flashes red.
if(NOT CHRONIVEL_CORE_ONLY)
    add_test(NAME app.countdown_warns
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/countdown_warns.sh $<TARGET_FILE:chronivel>)
    set_tests_properties(app.countdown_warns PROPERTIES TIMEOUT 90)
endif()
