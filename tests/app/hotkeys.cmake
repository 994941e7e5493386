# SPDX-License-Identifier: GPL-3.0-or-later
# The real program's system-wide hot keys on X11, with another client in front.
if(NOT CHRONIVEL_CORE_ONLY AND UNIX)
    add_executable(hotkeyprobe ${CMAKE_CURRENT_LIST_DIR}/hotkeyprobe.cpp)
    target_link_libraries(hotkeyprobe PRIVATE chronivel_ui PkgConfig::XCB)
    add_test(NAME app.hotkeys COMMAND ${CMAKE_CURRENT_LIST_DIR}/hotkeys.sh $<TARGET_FILE:chronivel>
                                      $<TARGET_FILE:hotkeyprobe>)
    set_tests_properties(app.hotkeys PROPERTIES TIMEOUT 120)

    # The same through the desktop's global shortcuts portal in a headless KDE
    # Plasma session, with keys pressed through KWin's fake input protocol.
    enable_language(C)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
    find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)
    find_file(FAKE_INPUT_XML fake-input.xml PATHS /usr/share/plasma-wayland-protocols REQUIRED NO_DEFAULT_PATH)
    set(fake_input ${CMAKE_CURRENT_BINARY_DIR}/fake-input)
    add_custom_command(
        OUTPUT ${fake_input}-client-protocol.h ${fake_input}-protocol.c
        COMMAND ${WAYLAND_SCANNER} client-header ${FAKE_INPUT_XML} ${fake_input}-client-protocol.h
        COMMAND ${WAYLAND_SCANNER} private-code ${FAKE_INPUT_XML} ${fake_input}-protocol.c
        DEPENDS ${FAKE_INPUT_XML})
    add_executable(fakekeys ${CMAKE_CURRENT_LIST_DIR}/fakekeys.c ${fake_input}-protocol.c
                            ${fake_input}-client-protocol.h)
    target_include_directories(fakekeys PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
    target_link_libraries(fakekeys PRIVATE PkgConfig::WAYLAND_CLIENT)
    set_target_properties(fakekeys PROPERTIES AUTOMOC OFF)
    foreach(portal IN ITEMS "" without-shortcuts-portal)
        set(name app.hotkeys_kde)
        if(portal)
            set(name ${name}_${portal})
        endif()
        add_test(NAME ${name} COMMAND ${CMAKE_CURRENT_LIST_DIR}/hotkeys_kde.sh $<TARGET_FILE:chronivel>
                                      $<TARGET_FILE:fakekeys> ${portal})
        set_tests_properties(${name} PROPERTIES TIMEOUT 180 SKIP_RETURN_CODE 77)
    endforeach()
endif()
