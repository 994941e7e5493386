# SPDX-License-Identifier: GPL-3.0-or-later
# The six event sounds and the alarm clock's ring, built into the program.
# A small program of ours makes them at build time, so no recordings live in
# the repository and no script language is needed to build.
find_package(Qt6 6.4 REQUIRED COMPONENTS Multimedia)
target_link_libraries(chronivel_ui PUBLIC Qt6::Multimedia)

add_executable(chronivel_makesounds
    ${PROJECT_SOURCE_DIR}/tools/sounds/makesounds.cpp
    ${PROJECT_SOURCE_DIR}/tools/sounds/tone.cpp
    ${PROJECT_SOURCE_DIR}/tools/sounds/wavfile.cpp
)

set(chronivel_sounds_dir ${CMAKE_CURRENT_BINARY_DIR}/sounds)
set(chronivel_sound_files)
foreach(name START STOP LAP RESET CDOWN WARN ALARM)
    list(APPEND chronivel_sound_files ${chronivel_sounds_dir}/${name}.wav)
endforeach()
add_custom_command(
    OUTPUT ${chronivel_sound_files}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${chronivel_sounds_dir}
    COMMAND chronivel_makesounds ${chronivel_sounds_dir}
    DEPENDS chronivel_makesounds
    COMMENT "Making the event sounds and the alarm ring"
    VERBATIM)
set_source_files_properties(${chronivel_sound_files} PROPERTIES GENERATED TRUE)

# The target form: for a static library Qt puts the resources into an object
# library that every executable linking chronivel_ui takes in, so they are
# registered without Q_INIT_RESOURCE.
qt_add_resources(chronivel_ui chronivel_sounds
    PREFIX "/sounds"
    BASE ${chronivel_sounds_dir}
    FILES ${chronivel_sound_files})
