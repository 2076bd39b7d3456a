#!/usr/bin/env bash
# Installs everything Cuewire needs on a fresh Debian 12 machine, as root, and
# fetches the third-party files into .cache/third_party (ignored by git).
# Safe to run again: it skips what is already in place.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cache="$here/.cache/third_party"

packages=(
    build-essential cmake ninja-build pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    mingw-w64 wine wine64 xvfb x11-utils xdotool imagemagick
    iproute2 util-linux procps ca-certificates python3 ffmpeg
)
# npm fetches the third-party files; a machine that has Node.js already has it.
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    # With their recommended packages: wine brings the wine command and its fonts.
    apt-get install -y -q "${missing[@]}"
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
install -m 0644 "$cache/grandiose/lib/win_x64/Processing.NDI.Lib.x64.dll" "$cache/Processing.NDI.Lib.x64.dll"
install -m 0644 "$cache/libre-franklin/500Medium/LibreFranklin_500Medium.ttf" "$cache/LibreFranklin_500Medium.ttf"
install -m 0644 "$cache/libre-franklin/LICENSE_FONT" "$cache/LICENSE_FONT"
echo "setup: done ($cache)"
