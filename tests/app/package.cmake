# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package made from this build by CPack, unpacked into a scratch root
# with dpkg -x (nothing is installed on the machine), and what it installs.
if(NOT CHRONIVEL_CORE_ONLY)
    set(package_dir ${CMAKE_BINARY_DIR}/package-test)
    add_test(NAME package.build
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/package_build.sh ${CMAKE_BINARY_DIR} ${package_dir})
    set_tests_properties(package.build PROPERTIES FIXTURES_SETUP package TIMEOUT 600)
    add_test(NAME package.installed_files
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/package_files.sh ${package_dir})
    add_test(NAME package.lintian
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/package_lintian.sh ${package_dir})
    add_test(NAME app.installed
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/installed.sh ${package_dir}/root)
    set_tests_properties(package.installed_files package.lintian app.installed PROPERTIES
        FIXTURES_REQUIRED package TIMEOUT 300)
endif()
