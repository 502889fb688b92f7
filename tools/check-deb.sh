#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as a user meets it: lintian finds no errors; apt
# installs it; the installed game starts from /usr/games under Xvfb, maps
# its window and reads its wave files from /usr/lib/games/trazzo; apt
# purges it again and none of its files is left. Needs root or sudo; the
# package must be built first (tools/build-deb.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -q DEB_HOST_ARCH)
deb=build-deb/trazzo_${version}_${arch}.deb
test -f "$deb" || { echo "no $deb: run make deb first" >&2; exit 1; }
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

echo "lintian:"
lintian --fail-on error --display-info "build-deb/trazzo_${version}_${arch}.changes"

export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get install -y --no-install-recommends "./$deb" >/dev/null
mapfile -t files < <(dpkg -L trazzo | while read -r f; do [ -d "$f" ] || echo "$f"; done)
echo "installed: ${#files[@]} files"
for f in /usr/games/trazzo /usr/lib/games/trazzo/trazzo /usr/share/man/man6/trazzo.6.gz \
    /usr/share/applications/org.example.Trazzo.desktop /usr/share/metainfo/org.example.Trazzo.metainfo.xml \
    /usr/share/icons/hicolor/256x256/apps/org.example.Trazzo.png /usr/share/doc/trazzo/copyright; do
    printf '%s\n' "${files[@]}" | grep -qx "$f" || { echo "the package lacks $f" >&2; exit 1; }
done

work=$(mktemp -d /tmp/trazzo-deb-check-XXXXXX)
trap 'rm -rf "$work"' EXIT
# Started as the menu entry starts it, from a user's PATH, in another
# folder; strace records which files it opens.
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/org.example.Trazzo.desktop)
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
