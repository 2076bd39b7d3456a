# Fails when a file of a folder includes a header from a folder that its
# library does not use. Run by the build for every folder's library, with a
# manifest written at configure time:
#
#   cmake -DMANIFEST=<file> -P CheckIncludes.cmake
#
# The manifest sets LIBRARY, FOLDER (the library's own folder, relative to the
# source root), ALLOWED (the folders it may include from, its own among them)
# and FILES (the folder's files, absolute paths). Each can also be given as -D.
cmake_minimum_required(VERSION 3.25)

if(DEFINED MANIFEST)
    include(${MANIFEST})
endif()

set(wrong 0)
foreach(file ${FILES})
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${lines})
        string(REGEX MATCH "\"([^\"]*)\"" _ "${line}")
        set(header "${CMAKE_MATCH_1}")
        get_filename_component(header_folder "${header}" DIRECTORY)
        # A bare file name is found beside the including file.
        if(header_folder STREQUAL "" OR header_folder IN_LIST ALLOWED)
            continue()
        endif()
        file(READ ${file} text)
        string(FIND "${text}" "${line}" at)
        string(SUBSTRING "${text}" 0 ${at} before)
        string(REGEX MATCHALL "\n" breaks "${before}")
        list(LENGTH breaks number)
        math(EXPR number "${number} + 1")
        string(REPLACE ";" ", " uses "${ALLOWED}")
        message("${file}:${number}: ${FOLDER}/ includes \"${header}\", "
                "but ${LIBRARY} uses only ${uses}: use the library of "
                "${header_folder}/ if it sits below, or move the code")
        math(EXPR wrong "${wrong} + 1")
    endforeach()
endforeach()

if(wrong GREATER 0)
    message(FATAL_ERROR "${LIBRARY}: ${wrong} include(s) from outside the folders it uses")
endif()
