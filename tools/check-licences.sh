#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Names every file, tracked or new (not ignored), that neither carries both
# SPDX lines in its first lines nor is covered by .reuse/dep5, with the
# command that adds them; then runs `reuse lint` over the whole tree when
# reuse is installed (the deb tier has it).
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t covered < <(sed -n '/^Files:/,/^[A-Z][a-z-]*:/{s/^Files://;/^[A-Z][a-z-]*:/d;p}' .reuse/dep5 | tr ' ' '\n' | sed '/^$/d')

lacking=()
while IFS= read -r -d '' f; do
    if [ ! -f "$f" ] || [ -L "$f" ]; then continue; fi
    case $f in COPYING | LICENSES/* | .reuse/dep5) continue ;; esac
    skip=0
    for pattern in "${covered[@]}"; do
        # dep5's * matches across folders, as a case pattern's does.
        # shellcheck disable=SC2254
        case $f in $pattern) skip=1 && break ;; esac
    done
    [ $skip -eq 0 ] || continue
    first=$(head -n 12 "$f" | tr -d '\0')
    if ! grep -q 'SPDX-FileCopyrightText:' <<<"$first" || ! grep -q 'SPDX-License-Identifier:' <<<"$first"; then
        lacking+=("$f")
    fi
done < <(git ls-files -z --cached --others --exclude-standard)

if [ ${#lacking[@]} -gt 0 ]; then
    echo "Files without SPDX lines (nor an entry in .reuse/dep5):" >&2
    printf '  %s\n' "${lacking[@]}" >&2
    echo "Add them with, for instance:" >&2
    echo "  reuse annotate --copyright='The Trazzo developers' --year=2026 --license=GPL-3.0-or-later FILE..." >&2
    echo "or list a file that cannot carry a comment in .reuse/dep5." >&2
    exit 1
fi
echo "licence lines: every file has them or is listed in .reuse/dep5"

if command -v reuse >/dev/null; then
    reuse lint --quiet || { reuse lint >&2 || true; exit 1; }
    echo "reuse lint: compliant"
fi
