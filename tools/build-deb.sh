#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the binary package with Debian's own tools and gathers what
# dpkg-buildpackage leaves in the folder above the tree (the packages, the
# .buildinfo and .changes files) into build-deb/. The build itself runs in
# build-deb/tree and is cleaned away afterwards, so build/ and the files
# git tracks stay as they were.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -q DEB_HOST_ARCH)
out=build-deb
rm -f "$out"/trazzo*_"$version"_*

dpkg-buildpackage -b -us -uc --post-clean
# The clean removes build-deb/ itself when nothing else is in it.
mkdir -p "$out"
for f in ../trazzo_"$version"_"$arch".{deb,buildinfo,changes} ../trazzo-dbgsym_"$version"_"$arch".deb; do
    [ -e "$f" ] && mv "$f" "$out"/
done
ls -l "$out"/trazzo*_"$version"_*
