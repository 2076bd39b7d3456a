# The release an operator installs: cuewire-<version>-win64.zip, one folder
# with the program, the operator's guide and the licences of what the program
# carries inside it. Build it with `cmake --build --preset windows --target release-zip`.
#
# What is inside cuewire.exe besides our code: the Libre Franklin font (a
# resource) and, through the static link, the mingw-w64 runtime (its CRT and
# libmingwex) and GCC's libstdc++ and libgcc. Their licences are taken from the
# Debian packages that provide those libraries. The NDI runtime is never part
# of the zip.

find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(CUEWIRE_LICENCE_MINGW "/usr/share/doc/mingw-w64-x86-64-dev/copyright" CACHE FILEPATH
    "Licences of the mingw-w64 runtime (Debian package mingw-w64-x86-64-dev)")
set(CUEWIRE_LICENCE_GCC "/usr/share/doc/gcc-mingw-w64-x86-64-win32/copyright" CACHE FILEPATH
    "Licences of libstdc++ and libgcc with the GCC Runtime Library Exception (Debian package gcc-mingw-w64-x86-64-win32)")

set(CUEWIRE_RELEASE_NAME "cuewire-${PROJECT_VERSION}-win64")
set(CUEWIRE_RELEASE_ZIP "${CMAKE_BINARY_DIR}/${CUEWIRE_RELEASE_NAME}.zip")
set(release_packer "${CMAKE_CURRENT_LIST_DIR}/pack_release_zip.py")
set(release_guide "${CMAKE_SOURCE_DIR}/docs/operator-guide.md")
set(release_font_licence "${CUEWIRE_THIRD_PARTY_DIR}/LICENSE_FONT")

# The order here is the order in the zip and in the guide's table.
add_custom_command(
    OUTPUT "${CUEWIRE_RELEASE_ZIP}"
    COMMAND "${Python3_EXECUTABLE}" "${release_packer}"
            --zip "${CUEWIRE_RELEASE_ZIP}" --folder "${CUEWIRE_RELEASE_NAME}" --strip "${CMAKE_STRIP}"
            --program "cuewire.exe=$<TARGET_FILE:cuewire>"
            "operator-guide.md=${release_guide}"
            "LibreFranklin-OFL.txt=${release_font_licence}"
            "mingw-w64-runtime-licence.txt=${CUEWIRE_LICENCE_MINGW}"
            "gcc-runtime-licence.txt=${CUEWIRE_LICENCE_GCC}"
    DEPENDS cuewire "${release_packer}" "${release_guide}" "${release_font_licence}"
            "${CUEWIRE_LICENCE_MINGW}" "${CUEWIRE_LICENCE_GCC}"
    COMMENT "Packing ${CUEWIRE_RELEASE_NAME}.zip"
    VERBATIM)
add_custom_target(release-zip DEPENDS "${CUEWIRE_RELEASE_ZIP}")
