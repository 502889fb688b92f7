#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the source package and the binary package with Debian's own tools
# and gathers what dpkg-buildpackage leaves in the folder above the tree
# (the .dsc and its tarball, the packages, the .buildinfo and .changes
# files) into build-deb/. The build itself runs in build-deb/tree, runs the
# test suite unless DEB_BUILD_OPTIONS has nocheck, and is cleaned away
# afterwards, so build/ and the files git tracks stay as they were.
# debian/source/options keeps the build folders out of the source package.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -q DEB_HOST_ARCH)
out=build-deb
rm -f "$out"/trazzo*_"$version"[._]*

dpkg-buildpackage -us -uc --post-clean
# The clean removes build-deb/ itself when nothing else is in it.
mkdir -p "$out"
for f in ../trazzo_"$version".{dsc,tar.xz} ../trazzo_"$version"_{source.buildinfo,source.changes} \
    ../trazzo_"$version"_"$arch".{deb,buildinfo,changes} ../trazzo-dbgsym_"$version"_"$arch".deb; do
    [ -e "$f" ] && mv "$f" "$out"/
done
ls -l "$out"/trazzo*_"$version"[._]*
