#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian packages as a maintainer and a user meet them: every file
# states its licence (tools/check-licences.sh, reuse lint); the source
# package holds no build folder; lintian at --pedantic finds no error and
# no warning on the source and binary packages, and every tag it does show
# is explained in the README; the manual page passes mandoc's lint and the
# AppStream file appstreamcli's pedantic validation, as the package ships
# them; the package's autopkgtest passes (null virtualisation: on this
# machine); apt installs it; the installed game starts from /usr/games
# under Xvfb, maps its window and reads its wave files from
# /usr/lib/games/trazzo; apt purges it again and none of its files is
# left. Needs root or sudo; the packages must be built first
# (tools/build-deb.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -q DEB_HOST_ARCH)
deb=build-deb/trazzo_${version}_${arch}.deb
dsc=build-deb/trazzo_${version}.dsc
for f in "$deb" "$dsc"; do
    test -f "$f" || { echo "no $f: run make deb first" >&2; exit 1; }
done
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

work=$(mktemp -d /tmp/trazzo-deb-check-XXXXXX)
trap 'rm -rf "$work"' EXIT

tools/check-licences.sh

if tar -tf "build-deb/trazzo_${version}.tar.xz" | grep -E '^[^/]+/build(-[a-z]+)?/'; then
    echo "the source package holds build folders (above)" >&2
    exit 1
fi
echo "source package: $(tar -tf "build-deb/trazzo_${version}.tar.xz" | grep -vc '/$') files, no build folder"

echo "lintian --pedantic (source and binary packages):"
lintian --pedantic --display-info --fail-on error,warning "build-deb/trazzo_${version}_${arch}.changes" | tee "$work/lintian.txt"
unexplained=()
while read -r tag; do
    grep -qF "$tag" README.md || unexplained+=("$tag")
done < <(sed -n 's/^[A-Z]: [^:]*: \([a-z0-9-]*\).*/\1/p' "$work/lintian.txt" | sort -u)
[ ${#unexplained[@]} -eq 0 ] || { echo "lintian tags the README does not explain: ${unexplained[*]}" >&2; exit 1; }

# The manual page and the AppStream file as the package ships them.
dpkg-deb -x "$deb" "$work/unpacked"
man_page=$work/unpacked/usr/share/man/man6/trazzo.6.gz
mandoc -T lint -W warning "$man_page" || { echo "mandoc -T lint: the manual page has warnings (above)" >&2; exit 1; }
for path in /usr/games/trazzo /usr/lib/games/trazzo/; do
    zcat "$man_page" | grep -qxF ".I $path" || { echo "the manual page's FILES does not name $path" >&2; exit 1; }
done
echo "manual page: mandoc -T lint clean, FILES names /usr/games/trazzo and /usr/lib/games/trazzo/"
appstreamcli validate --pedantic --no-net --explain "$work/unpacked/usr/share/metainfo/org.example.trazzo.metainfo.xml"

echo "autopkgtest (null virtualisation server):"
"${sudo[@]}" autopkgtest --output-dir "$work/autopkgtest" "$deb" "$dsc" -- null >"$work/autopkgtest.log" 2>&1 || {
    cat "$work/autopkgtest.log" >&2
    echo "autopkgtest failed" >&2
    exit 1
}
grep -E '^ok:|^installed-game' "$work/autopkgtest.log"

export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get install -y --no-install-recommends "./$deb" >/dev/null
mapfile -t files < <(dpkg -L trazzo | while read -r f; do [ -d "$f" ] || echo "$f"; done)
echo "installed: ${#files[@]} files"
for f in /usr/games/trazzo /usr/lib/games/trazzo/trazzo /usr/share/man/man6/trazzo.6.gz \
    /usr/share/applications/org.example.trazzo.desktop /usr/share/metainfo/org.example.trazzo.metainfo.xml \
    /usr/share/icons/hicolor/256x256/apps/org.example.trazzo.png /usr/share/doc/trazzo/copyright; do
    printf '%s\n' "${files[@]}" | grep -qx "$f" || { echo "the package lacks $f" >&2; exit 1; }
done

# Started as the menu entry starts it, from a user's PATH, in another
# folder; strace records which files it opens.
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/org.example.trazzo.desktop)
(
    cd "$work"
    PATH=/usr/local/bin:/usr/bin:/bin:/usr/games XDG_DATA_HOME=$work \
        xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
            strace -f -qq -e trace=openat -o opened.log '"$exec_line"' &
            tracer=$!
            for _ in $(seq 100); do
                if xwininfo -root -tree | grep -q "\"Trazzo\""; then
                    sleep 1
                    xwd -root | convert xwd:- installed.png
                    echo mapped > result
                    break
                fi
                sleep 0.1
            done
            pkill -TERM -P "$tracer" || true
            wait "$tracer" || true'
)
[ "$(cat "$work/result" 2>/dev/null)" = mapped ] || { echo "the installed game showed no window" >&2; exit 1; }
for wave in Get Gold High Out Over; do
    grep -qE "openat\(.*\"/usr/lib/games/trazzo/$wave\.wav\".* = [0-9]+$" "$work/opened.log" \
        || { echo "the installed game did not open /usr/lib/games/trazzo/$wave.wav" >&2; exit 1; }
done
cp "$work/installed.png" build-deb/installed.png
echo "installed game started by its menu entry's command: window \"Trazzo\" up, wave files read from /usr/lib/games/trazzo"

"${sudo[@]}" apt-get purge -y trazzo >/dev/null
left=()
for f in "${files[@]}"; do
    [ -e "$f" ] || [ -L "$f" ] && left+=("$f")
done
[ ${#left[@]} -eq 0 ] || { echo "left after purge: ${left[*]}" >&2; exit 1; }
[ ! -e /usr/lib/games/trazzo ] || { echo "left after purge: /usr/lib/games/trazzo" >&2; exit 1; }
echo "purged: none of its ${#files[@]} files is left"
