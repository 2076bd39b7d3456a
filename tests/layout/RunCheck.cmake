# Runs the include check on one file of the fixture as if it belonged to a
# library of video/ that uses geometry/, and compares what it says with
# EXPECT: "accepted", or the "line: header" it must name when it refuses.
cmake_minimum_required(VERSION 3.25)

execute_process(
    COMMAND ${CMAKE_COMMAND} -DLIBRARY=video_under_test -DFOLDER=video
            "-DALLOWED=video;geometry" -DFILES=${FILE} -P ${CHECKER}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)

if(EXPECT STREQUAL "accepted")
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "refused an allowed file:\n${out}")
    endif()
    return()
endif()

if(result EQUAL 0)
    message(FATAL_ERROR "accepted a file that includes from outside its folders:\n${out}")
endif()
string(REGEX MATCH "^([0-9]+): (.*)$" _ "${EXPECT}")
set(expected "${FILE}:${CMAKE_MATCH_1}: video/ includes \"${CMAKE_MATCH_2}\"")
string(FIND "${out}" "${expected}" at)
if(at EQUAL -1)
    message(FATAL_ERROR "refused, but without naming ${expected}:\n${out}")
endif()
