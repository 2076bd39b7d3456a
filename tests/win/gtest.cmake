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
