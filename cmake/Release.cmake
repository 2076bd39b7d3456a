# The release an operator or a studio installs, both around the same program:
# cuewire-<version>-win64.zip, one folder with the program, the operator's
# guide and the licences of what the program carries inside it; and
# cuewire-<version>-win64.msi, which installs the same files (and the licence
# text) with a Start-menu shortcut and an uninstall entry. Build both with
# `cmake --build --preset windows --target release` (`release-zip` is the same).
#
# What is inside cuewire.exe besides our code: the Libre Franklin font (a
# resource) and, through the static link, the mingw-w64 runtime (its CRT and
# libmingwex) and GCC's libstdc++ and libgcc. Their licences are taken from the
# Debian packages that provide those libraries. The NDI runtime is never part
# of the release.
#
# The target always runs: whether the program gets signed depends on the
# environment of the build (see cmake/release/signing.py), which no file date
# can tell.

find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(CUEWIRE_WIXL wixl DOC "wixl from msitools, which builds the MSI")
find_program(CUEWIRE_OSSLSIGNCODE osslsigncode DOC "Signs the program and the MSI")

set(CUEWIRE_LICENCE_MINGW "/usr/share/doc/mingw-w64-x86-64-dev/copyright" CACHE FILEPATH
    "Licences of the mingw-w64 runtime (Debian package mingw-w64-x86-64-dev)")
set(CUEWIRE_LICENCE_GCC "/usr/share/doc/gcc-mingw-w64-x86-64-win32/copyright" CACHE FILEPATH
    "Licences of libstdc++ and libgcc with the GCC Runtime Library Exception (Debian package gcc-mingw-w64-x86-64-win32)")

set(CUEWIRE_RELEASE_NAME "cuewire-${PROJECT_VERSION}-win64")
set(release_inputs "${CMAKE_BINARY_DIR}/release-inputs.json")

# The order of "files" is the order in the zip and in the guide's table.
file(GENERATE OUTPUT "${release_inputs}" CONTENT "{
  \"version\": \"${PROJECT_VERSION}\",
  \"out_dir\": \"${CMAKE_BINARY_DIR}\",
  \"program\": \"$<TARGET_FILE:cuewire>\",
  \"strip\": \"${CMAKE_STRIP}\",
  \"wixl\": \"${CUEWIRE_WIXL}\",
  \"osslsigncode\": \"${CUEWIRE_OSSLSIGNCODE}\",
  \"wxs\": \"${CMAKE_SOURCE_DIR}/installer/cuewire.wxs\",
  \"licence_rtf\": \"${CMAKE_SOURCE_DIR}/installer/licence.rtf\",
  \"icon\": \"${CMAKE_SOURCE_DIR}/res/art/cuewire.ico\",
  \"help_url\": \"${CUEWIRE_URL_HELP}\",
  \"files\": [
    {\"name\": \"operator-guide.md\", \"source\": \"${CMAKE_SOURCE_DIR}/docs/operator-guide.md\"},
    {\"name\": \"LibreFranklin-OFL.txt\", \"source\": \"${CUEWIRE_THIRD_PARTY_DIR}/LICENSE_FONT\"},
    {\"name\": \"mingw-w64-runtime-licence.txt\", \"source\": \"${CUEWIRE_LICENCE_MINGW}\"},
    {\"name\": \"gcc-runtime-licence.txt\", \"source\": \"${CUEWIRE_LICENCE_GCC}\"}
  ]
}
")

add_custom_target(release
    COMMAND "${Python3_EXECUTABLE}" "${CMAKE_SOURCE_DIR}/cmake/release/make_release.py"
            --inputs "${release_inputs}"
    BYPRODUCTS "${CMAKE_BINARY_DIR}/${CUEWIRE_RELEASE_NAME}.zip"
               "${CMAKE_BINARY_DIR}/${CUEWIRE_RELEASE_NAME}.msi"
               "${CMAKE_BINARY_DIR}/release/cuewire.exe"
    COMMENT "Packing ${CUEWIRE_RELEASE_NAME}.zip and ${CUEWIRE_RELEASE_NAME}.msi"
    VERBATIM)
add_dependencies(release cuewire)
add_custom_target(release-zip)
add_dependencies(release-zip release)
