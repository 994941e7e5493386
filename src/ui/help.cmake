# SPDX-License-Identifier: GPL-3.0-or-later
# The user manual: copied into the build tree beside where it is installed, so
# a program run from the build folder finds it the same way an installed one does.
include(GNUInstallDirs)

set(CHRONIVEL_HELP_SUBDIR "${CMAKE_INSTALL_DATADIR}/chronivel/help")
if(IS_ABSOLUTE "${CMAKE_INSTALL_DATADIR}")
    # An absolute data folder cannot be found from the program; use the usual one.
    set(CHRONIVEL_HELP_SUBDIR "share/chronivel/help")
endif()

file(GLOB CHRONIVEL_HELP_FILES CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/assets/help/*")
set(chronivel_help_copies "")
foreach(source IN LISTS CHRONIVEL_HELP_FILES)
    get_filename_component(name "${source}" NAME)
    set(copy "${CMAKE_BINARY_DIR}/${CHRONIVEL_HELP_SUBDIR}/${name}")
    add_custom_command(OUTPUT "${copy}"
        COMMAND ${CMAKE_COMMAND} -E copy_if_different "${source}" "${copy}"
        DEPENDS "${source}"
        COMMENT "Copying manual page ${name}")
    list(APPEND chronivel_help_copies "${copy}")
endforeach()
add_custom_target(chronivel_help ALL DEPENDS ${chronivel_help_copies})
add_dependencies(chronivel_ui chronivel_help)

install(FILES ${CHRONIVEL_HELP_FILES} DESTINATION "${CHRONIVEL_HELP_SUBDIR}")

# The build date honours SOURCE_DATE_EPOCH, so rebuilt packages stay reproducible.
string(TIMESTAMP CHRONIVEL_BUILD_DATE "%Y-%m-%d")
set_property(SOURCE help.cpp APPEND PROPERTY COMPILE_DEFINITIONS
    "CHRONIVEL_HELP_SUBDIR=\"${CHRONIVEL_HELP_SUBDIR}\"")
set_property(SOURCE infodialog.cpp APPEND PROPERTY COMPILE_DEFINITIONS
    "CHRONIVEL_VERSION=\"${PROJECT_VERSION}\""
    "CHRONIVEL_BUILD_DATE=\"${CHRONIVEL_BUILD_DATE}\"")
