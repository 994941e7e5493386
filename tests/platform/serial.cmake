# SPDX-License-Identifier: GPL-3.0-or-later
# The serial line adapters' tests.
#
# Linux: pseudo-terminals stand in for serial ports; their modem lines come
# from libchronivel_serialshim.so, preloaded (serialshim/serialshim.h has the
# whole interface). To drive it from a script, run the program with
#   LD_PRELOAD=<build>/tests/serialshim/libchronivel_serialshim.so
#   CHRONIVEL_SERIALSHIM_CONTROL=<fifo>  commands, one a line: "DCD 1", "CTS 1 DCD 0",
#                                        "UNPLUG", "PLUG", "REFUSE WAIT", "RESET"
#   CHRONIVEL_SERIALSHIM_LOG=<file>      "<NAME> <0|1> <CLOCK_MONOTONIC ns>" per change of
#                                        CTS DSR DCD RI DTR RTS UNPLUG, and "READY 1 <ns>"
#                                        once the FIFO is read (at the port's opening)
# and open a /dev/pts/N slave as the port.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux" OR CMAKE_CROSSCOMPILING OR CHRONIVEL_CORE_ONLY)
    return()
endif()

find_package(Threads REQUIRED)
add_library(chronivel_serialshim SHARED platform/serialshim/serialshim.cpp)
target_link_libraries(chronivel_serialshim PRIVATE Threads::Threads ${CMAKE_DL_LIBS})
set_target_properties(chronivel_serialshim PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/serialshim)
set(CHRONIVEL_SERIALSHIM ${CMAKE_CURRENT_BINARY_DIR}/serialshim/libchronivel_serialshim.so
    CACHE INTERNAL "The serial shim to preload")

# A second process on the adapter, for the FIFO test.
add_executable(serialshim_watchport platform/serialshim/watchport.cpp)
target_link_libraries(serialshim_watchport PRIVATE chronivel_platform Threads::Threads)

add_executable(linuxserial_tests
    platform/linuxserial_test.cpp
    platform/linuxserialportlist_test.cpp
    platform/serialshim/comport_linux_test.cpp
    platform/serialshim/fifo_test.cpp)
target_link_libraries(linuxserial_tests PRIVATE chronivel_platform GTest::gtest_main Threads::Threads ${CMAKE_DL_LIBS})
target_include_directories(linuxserial_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/platform)
target_compile_definitions(linuxserial_tests PRIVATE
    SERIALSHIM_LIBRARY="${CHRONIVEL_SERIALSHIM}"
    WATCHPORT_PROGRAM="$<TARGET_FILE:serialshim_watchport>")
add_dependencies(linuxserial_tests chronivel_serialshim serialshim_watchport)
gtest_discover_tests(linuxserial_tests DISCOVERY_TIMEOUT 30
    PROPERTIES TIMEOUT 120 ENVIRONMENT "LD_PRELOAD=${CHRONIVEL_SERIALSHIM}")
