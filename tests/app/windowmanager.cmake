# The real program on a small screen, without a window manager and under openbox.
if(NOT CHRONIVEL_CORE_ONLY)
    add_test(NAME app.windowmanager
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/windowmanager.sh $<TARGET_FILE:chronivel> ${CMAKE_BINARY_DIR})
    set_tests_properties(app.windowmanager PROPERTIES TIMEOUT 120)
endif()

# Under openbox, behind another program's window and in front again.
if(NOT CHRONIVEL_CORE_ONLY)
    add_test(NAME app.foreground
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/foreground.sh $<TARGET_FILE:chronivel> ${CMAKE_BINARY_DIR})
    set_tests_properties(app.foreground PROPERTIES TIMEOUT 120)
endif()

# The configuration dialog under openbox, with the keyboard alone.
if(NOT CHRONIVEL_CORE_ONLY)
    add_test(NAME app.configuration
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/configuration.sh $<TARGET_FILE:chronivel> ${CMAKE_BINARY_DIR})
    set_tests_properties(app.configuration PROPERTIES TIMEOUT 120)
endif()
