# SPDX-License-Identifier: GPL-3.0-or-later
# What an installed Chronivel consists of, and the Debian package that carries it.
# The manual is installed by src/ui/help.cmake, beside where the program looks for it.
include(GNUInstallDirs)

set(CHRONIVEL_APP_ID org.orvantis.Chronivel)
set(chronivel_linux "${PROJECT_SOURCE_DIR}/assets/linux")
set(chronivel_docdir "${CMAKE_INSTALL_DATADIR}/doc/chronivel")

install(TARGETS chronivel RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(TARGETS chronivel-live LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}/chronivel")
install(FILES "${chronivel_linux}/${CHRONIVEL_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${chronivel_linux}/${CHRONIVEL_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

# The icon theme finds an icon by the name the desktop entry gives: the application id.
set(chronivel_icons "${CMAKE_INSTALL_DATADIR}/icons/hicolor")
install(FILES "${chronivel_linux}/chronivel.svg"
        DESTINATION "${chronivel_icons}/scalable/apps" RENAME "${CHRONIVEL_APP_ID}.svg")
foreach(size 16 32 48 64 128 256)
    install(FILES "${chronivel_linux}/icons/${size}x${size}/chronivel.png"
            DESTINATION "${chronivel_icons}/${size}x${size}/apps" RENAME "${CHRONIVEL_APP_ID}.png")
endforeach()

# The man page and the changelog go compressed, as Debian has them. gzip -n
# leaves out the name and time stamp, so a rebuilt package is the same bytes.
find_program(CHRONIVEL_GZIP gzip REQUIRED)
function(chronivel_gzipped source name)
    set(copy "${CMAKE_BINARY_DIR}/share/gzipped/${name}")
    add_custom_command(OUTPUT "${copy}.gz"
        COMMAND ${CMAKE_COMMAND} -E copy "${source}" "${copy}"
        COMMAND "${CHRONIVEL_GZIP}" -9nf "${copy}"
        DEPENDS "${source}"
        COMMENT "Compressing ${name}"
        VERBATIM)
    set(chronivel_gzipped_files ${chronivel_gzipped_files} "${copy}.gz" PARENT_SCOPE)
endfunction()
set(chronivel_gzipped_files "")
chronivel_gzipped("${chronivel_linux}/chronivel.1" chronivel.1)
chronivel_gzipped("${chronivel_linux}/changelog" changelog)
add_custom_target(chronivel_gzipped ALL DEPENDS ${chronivel_gzipped_files})
install(FILES "${CMAKE_BINARY_DIR}/share/gzipped/chronivel.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
# A package whose version has no Debian revision is a native one, whose
# changelog is changelog.gz (changelog.Debian.gz is for a packaged upstream).
install(FILES "${CMAKE_BINARY_DIR}/share/gzipped/changelog.gz" "${chronivel_linux}/copyright"
        DESTINATION "${chronivel_docdir}")

# The newest changelog entry names the version the package is built as.
file(STRINGS "${chronivel_linux}/changelog" chronivel_changelog_top LIMIT_COUNT 1)
if(NOT chronivel_changelog_top MATCHES "^chronivel \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "${chronivel_linux}/changelog: its first entry \"${chronivel_changelog_top}\" "
                        "is not for version ${PROJECT_VERSION}; add an entry for it.")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${chronivel_linux}/changelog")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME chronivel)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR Orvantis)
set(CPACK_PACKAGE_CONTACT "Chronivel developers <chronivel@orvantis.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Every folder 0755 whatever the umask of whoever builds it; files take theirs
# from install(): 0644, the program 0755.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://orvantis.org/chronivel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's Wayland plugin: without it a Wayland desktop without XWayland has no
# window system for the program. Every Plasma desktop has it anyway.
# Qt Multimedia plays the sounds through libpulse (which Depends brings), and
# that needs a sound server speaking its protocol: PipeWire's or PulseAudio.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, pipewire-pulse | pulseaudio")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chronometer for sports timing with laps and light barriers")
# CPack puts the summary above it as the package's short description.
set(CPACK_PACKAGE_DESCRIPTION "Chronivel measures to a thousandth of a second in a small round window that
stays on top. One key starts, stops and resets; runs can be paused, and every
lap is listed with its own time. It can count down from a preset instead.

Light barriers on a serial port's modem lines start and stop runs or take
laps, and system-wide hot keys work while another program is in front. Every
finished run is appended to a plain-text protocol file, and a second monitor
can show the time in large seven-segment digits.")
include(CPack)
