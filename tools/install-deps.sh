#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages a task needs, skipping those already there.
# Tiers, each named on the command line (run is always included):
#   run    build and play: compiler, CMake, Qt, libpulse, platform plugins
#          (X11 and Wayland), libwayland-client, fonts, the read-me opener,
#          Qt's Japanese texts
#   test   the test suite and the desktop checks: Xvfb and X tools,
#          window managers (openbox, metacity), ImageMagick, the menu-entry
#          and AppStream validators, headless Weston and sway with sway's
#          screenshooter, a PulseAudio server and its tools for the sound
#          tests, gcovr for `make coverage`, strace (a save's system calls), and
#          the German locale (score fields read alike where the decimal
#          mark is a comma)
#   deb    building and checking the Debian package: debhelper, lintian,
#          reuse, mandoc, autopkgtest, debootstrap (the fresh-system check),
#          and what the suite needs in the package build
#   check  everything else CI runs: clang and its sanitiser runtimes,
#          clang-tidy, clang-format, cppcheck, and the deb tier
#   bench  Google Benchmark and Xlib for the benchmarks
#
#   tools/install-deps.sh [test] [deb] [check] [bench]
set -euo pipefail

run=(
    build-essential cmake make pkg-config
    qt6-base-dev qt6-base-dev-tools libpulse-dev
    qt6-wayland libgl-dev libwayland-dev
    fonts-noto-cjk xdg-utils qt6-translations-l10n
)
test=(
    xvfb xauth x11-utils x11-apps openbox metacity xdotool imagemagick
    desktop-file-utils appstream weston sway grim gcovr strace locales
    pulseaudio pulseaudio-utils mount
)
deb=(debhelper devscripts dpkg-dev lintian strace reuse mandoc autopkgtest debootstrap
    locales-all pulseaudio pulseaudio-utils xvfb xauth)
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

# The test tier also needs one locale built, which no package does alone.
needs_locale=false
if [[ " ${packages[*]} " == *" locales "* ]] && ! locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8'; then
    needs_locale=true
fi

[ ${#missing[@]} -eq 0 ] && ! $needs_locale && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]} (and to build locales)" >&2; exit 1; }
    sudo=(sudo)
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
if $needs_locale; then
    echo "Building the locale de_DE.UTF-8"
    "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
