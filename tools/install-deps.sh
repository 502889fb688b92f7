#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages a task needs, skipping those already there.
# Tiers, each named on the command line (run is always included):
#   run    build and play: compiler, CMake, Qt, libpulse, platform plugins
#          (X11 and Wayland), libwayland-client, fonts, the read-me opener,
#          Qt's Japanese texts
#   test   the test suite and the desktop checks: Xvfb and X tools, a
#          window manager, ImageMagick, the menu-entry and AppStream
#          validators, headless Weston and sway with sway's screenshooter,
#          a PulseAudio server and its tools for the sound tests
#   deb    building and checking the Debian package
#   check  everything else CI runs: clang and its sanitiser runtimes,
#          clang-tidy, clang-format, cppcheck, and the deb tier
#   bench  Google Benchmark and Xlib for the benchmarks
#
#   tools/install-deps.sh [test] [deb] [check] [bench]
set -euo pipefail

run=(
    build-essential cmake make pkg-config
    qt6-base-dev qt6-base-dev-tools libpulse-dev
    qt6-qpa-plugins qt6-wayland libgl-dev libwayland-dev
    fonts-noto-cjk xdg-utils qt6-translations-l10n
)
test=(
    xvfb xauth x11-utils x11-apps openbox xdotool imagemagick
    desktop-file-utils appstream weston sway grim pulseaudio pulseaudio-utils
)
deb=(debhelper devscripts dpkg-dev lintian strace)
check=(clang-14 libclang-rt-14-dev clang-tidy-14 clang-format-14 cppcheck "${deb[@]}")
bench=(libbenchmark-dev libx11-dev)

packages=("${run[@]}")
for tier in "$@"; do
    case $tier in
    run) ;;
    test) packages+=("${test[@]}") ;;
    deb) packages+=("${deb[@]}") ;;
    check) packages+=("${test[@]}" "${check[@]}") ;;
    bench) packages+=("${bench[@]}") ;;
    *) echo "install-deps: no tier \"$tier\" (run, test, deb, check, bench)" >&2; exit 2 ;;
    esac
done

missing=()
for pkg in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
