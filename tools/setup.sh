#!/usr/bin/env bash
# Installs everything Cuewire needs on a fresh Debian 12 machine and fetches
# the third-party files into .cache/third_party (ignored by git). Run it as the
# user who builds: only installing missing packages needs root, and for that
# alone it raises itself with sudo (as root it needs no sudo).
# Safe to run again: it skips what is already in place.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cache="$here/.cache/third_party"

packages=(
    build-essential cmake ninja-build pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    mingw-w64 wine wine64 fonts-wine xvfb x11-utils xdotool imagemagick
    # Fonts for the scripts the title face lacks: Wine's DirectWrite falls back
    # to Noto families by name, and Wine lists the host's fonts in every prefix.
    fonts-noto-core fonts-noto-cjk
    iproute2 util-linux procps ca-certificates python3 ffmpeg
    # mingw-w64 brings these; named because the release zip ships their
    # licence files (/usr/share/doc/<package>/copyright).
    mingw-w64-x86-64-dev gcc-mingw-w64-x86-64-win32
    # The MSI: wixl builds it, msitools reads it back in the tests,
    # osslsigncode signs the program and the MSI; openssl makes the tests'
    # throwaway certificate.
    wixl msitools osslsigncode openssl
)
# npm fetches the third-party files; a machine that has Node.js already has it.
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
as_root() {
    if [ "$(id -u)" = 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "setup: installing packages needs root, and there is no sudo: run this as root" >&2
        exit 1
    fi
}
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
    # With their recommended packages: wine brings the wine command and its fonts.
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi

# Fetches one npm package's tarball (no install scripts run) and unpacks it.
fetch_npm() {
    local package=$1 dir=$2
    [ -f "$dir/.complete" ] && return 0
    local tmp
    tmp=$(mktemp -d)
    (cd "$tmp" && npm pack --silent "$package" >/dev/null)
    rm -rf "$dir" && mkdir -p "$dir"
    tar -xzf "$tmp"/*.tgz -C "$dir" --strip-components=1
    rm -rf "$tmp"
    touch "$dir/.complete"
}

mkdir -p "$cache"
fetch_npm grandiose@0.0.4 "$cache/grandiose"
fetch_npm @expo-google-fonts/libre-franklin@0.4.2 "$cache/libre-franklin"

# Only these files are used: the NDI runtime DLL, the font and its licence.
# A copy that is already in place keeps its date, so the build does not embed
# the font again and relink the program on every run.
place() {
    cmp -s "$1" "$2" || install -m 0644 "$1" "$2"
}
place "$cache/grandiose/lib/win_x64/Processing.NDI.Lib.x64.dll" "$cache/Processing.NDI.Lib.x64.dll"
place "$cache/libre-franklin/500Medium/LibreFranklin_500Medium.ttf" "$cache/LibreFranklin_500Medium.ttf"
place "$cache/libre-franklin/LICENSE_FONT" "$cache/LICENSE_FONT"
echo "setup: done ($cache)"
