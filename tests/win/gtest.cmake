# GoogleTest built for Windows from Debian's sources, shared by the Windows-side
# test programs. Including it again is harmless.
include_guard(GLOBAL)

set(CUEWIRE_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources to build for Windows")
if(NOT TARGET gtest)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${CUEWIRE_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/third_party/googletest
                     EXCLUDE_FROM_ALL)
    if(MINGW)
        # Its Notification wants std::mutex, which the win32 thread model lacks.
        target_compile_definitions(gtest PUBLIC GTEST_HAS_NOTIFICATION_=1)
        target_compile_options(gtest PUBLIC
            -include ${CMAKE_CURRENT_LIST_DIR}/GtestNotification.h)
    endif()
endif()

# cuewire_wine_gtest(target): the program is also a CTest test, run under Wine
# in a loopback-only namespace with a display and a prefix of its own
# (build/windows/ctest-wine), for a developer's quick loop; the end-to-end
# scripts stay the runner of record and run it with their own checks.
function(cuewire_wine_gtest target)
    add_test(NAME ${target}
             COMMAND ${CMAKE_SOURCE_DIR}/tests/win/run-under-wine.sh ${CMAKE_BINARY_DIR}/ctest-wine
                     $<TARGET_FILE:${target}>)
    set_tests_properties(${target} PROPERTIES TIMEOUT 300)
endfunction()
