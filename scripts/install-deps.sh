#!/usr/bin/env bash
# Installs what building, running and testing the program needs on Debian 12, as root.
# Quick when everything is already there: only missing packages are fetched.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    rm -f /var/lib/apt/lists/lock
    updated=0
fi

packages=(
    g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools cmake make googletest clang-format cppcheck
    libz-mingw-w64-dev unzip libarchive-tools
    wine wine64 wine32:i386 xvfb xauth xdotool imagemagick
    fonts-wine fonts-liberation
    sox ffmpeg nsis zip
    pulseaudio pulseaudio-utils
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly
    gstreamer1.0-plugins-bad gstreamer1.0-libav
    gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386 gstreamer1.0-plugins-ugly:i386
    gstreamer1.0-plugins-bad:i386 gstreamer1.0-libav:i386
)
for p in "${packages[@]}"; do
    have "$p" || need+=("$p")
done
# Printing: a local print server with a PDF printer, installed without recommends.
print_packages=(cups printer-driver-cups-pdf libcups2:i386 poppler-utils python3)
print_need=()
for p in "${print_packages[@]}"; do
    have "$p" || print_need+=("$p")
done

if [ ${#need[@]} -gt 0 ] || [ ${#print_need[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    if [ ${#need[@]} -gt 0 ]; then
        apt-get install -y -qq "${need[@]}" >/dev/null
    fi
    if [ ${#print_need[@]} -gt 0 ]; then
        apt-get install -y -qq --no-install-recommends "${print_need[@]}" >/dev/null
    fi
fi
