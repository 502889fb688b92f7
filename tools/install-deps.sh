#!/usr/bin/env bash
# Installs the Debian packages the game needs to build, run and test,
# skipping those already there.
set -euo pipefail

packages=(
    build-essential cmake make pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6multimedia6
    qt6-qpa-plugins libgl-dev
    fonts-noto-cjk xdg-utils qt6-translations-l10n
    xvfb xauth x11-utils
    desktop-file-utils appstream
    libbenchmark-dev libx11-dev
    clang-14 libclang-rt-14-dev clang-tidy-14 clang-format-14 cppcheck
)

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
