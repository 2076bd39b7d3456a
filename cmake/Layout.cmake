# One library per folder. A folder's library is declared in that folder's
# CMakeLists.txt with the libraries it uses; the build then checks every
# `#include "folder/File.h"` of the folder against those libraries, so a file
# that reaches into a folder its library does not use stops the build.
#
#   cuewire_library(<name> [INTERFACE] [SHELL] [SOURCES <file>...] [USES <library>...])
#
# INTERFACE declares a folder of headers only. SHELL marks Win32 code: it gets
# the wide-character API and a lean <windows.h>. USES takes targets of this
# scheme and system libraries alike; only the targets name folders.
function(cuewire_library name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "INTERFACE;SHELL" "" "SOURCES;USES")
    file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})

    if(arg_INTERFACE)
        add_library(${name} INTERFACE)
        set(scope INTERFACE)
    else()
        add_library(${name} STATIC ${arg_SOURCES})
        set(scope PUBLIC)
        cuewire_warnings(${name})
        # The per-pixel loops want the vectoriser, which GCC runs fully only at -O3.
        if(NOT arg_SHELL AND NOT MSVC)
            target_compile_options(${name} PRIVATE $<$<CONFIG:Release,RelWithDebInfo>:-O3>)
        endif()
    endif()
    target_include_directories(${name} ${scope} ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} ${scope} ${arg_USES})
    if(arg_SHELL)
        target_compile_definitions(${name} ${scope} UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN)
    endif()

    file(GLOB files CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    set_target_properties(${name} PROPERTIES
        CUEWIRE_FOLDER "${folder}" CUEWIRE_FOLDER_FILES "${files}" CUEWIRE_SHELL "${arg_SHELL}")
    set_property(GLOBAL APPEND PROPERTY CUEWIRE_LIBRARIES ${name})
endfunction()

# The targets a library may include from: the ones it links, and theirs in
# turn. A library's private links do not pass on to its users.
function(_cuewire_used_libraries name out)
    get_target_property(type ${name} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(pending ${name} INTERFACE_LINK_LIBRARIES)
    else()
        get_target_property(pending ${name} LINK_LIBRARIES)
    endif()
    if(NOT pending)
        set(pending "")
    endif()
    set(seen "")
    while(NOT pending STREQUAL "")
        list(POP_FRONT pending item)
        # $<LINK_ONLY:...> and other expressions stand for private links.
        if(item MATCHES "^\\$<" OR NOT TARGET ${item} OR item IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${item})
        get_target_property(next ${item} INTERFACE_LINK_LIBRARIES)
        if(next)
            list(APPEND pending ${next})
        endif()
    endwhile()
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Called once, after every folder has declared its library: wires one include
# check per library, which the library waits for.
function(cuewire_enforce_layout)
    get_property(libraries GLOBAL PROPERTY CUEWIRE_LIBRARIES)
    foreach(name ${libraries})
        get_target_property(folder ${name} CUEWIRE_FOLDER)
        get_target_property(files ${name} CUEWIRE_FOLDER_FILES)
        get_target_property(shell ${name} CUEWIRE_SHELL)
        _cuewire_used_libraries(${name} used)
        # Folders form layers: nothing uses what uses it, and the portable core
        # uses no Win32 code.
        if(name IN_LIST used)
            string(REPLACE ";" ", " through "${used}")
            message(FATAL_ERROR "${name} uses itself through its links (${through}): "
                "the code one of them needs belongs in a folder below both")
        endif()
        foreach(library ${used})
            get_target_property(used_shell ${library} CUEWIRE_SHELL)
            if(NOT shell AND used_shell)
                message(FATAL_ERROR "${name} is portable but uses the Win32 library ${library}")
            endif()
        endforeach()
        set(allowed ${folder})
        foreach(library ${used})
            get_target_property(used_folder ${library} CUEWIRE_FOLDER)
            if(used_folder)
                list(APPEND allowed ${used_folder})
            endif()
        endforeach()
        list(REMOVE_DUPLICATES allowed)

        set(manifest ${CMAKE_BINARY_DIR}/layout/${name}.cmake)
        set(stamp ${CMAKE_BINARY_DIR}/layout/${name}.checked)
        file(CONFIGURE OUTPUT ${manifest} CONTENT
            "set(LIBRARY \"${name}\")\nset(FOLDER \"${folder}\")\nset(ALLOWED \"${allowed}\")\nset(FILES \"${files}\")\n")
        add_custom_command(OUTPUT ${stamp}
            COMMAND ${CMAKE_COMMAND} -DMANIFEST=${manifest} -P ${CMAKE_SOURCE_DIR}/cmake/CheckIncludes.cmake
            COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
            DEPENDS ${files} ${manifest} ${CMAKE_SOURCE_DIR}/cmake/CheckIncludes.cmake
            COMMENT "Checking the includes of ${folder}/"
            VERBATIM)
        add_custom_target(${name}_includes ALL DEPENDS ${stamp})
        add_dependencies(${name} ${name}_includes)
    endforeach()
endfunction()
