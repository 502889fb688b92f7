#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A bounded run of each fuzz target from the committed seeds. Anything the
# fuzzer finds (crash, timeout, memory blow-up) fails the run and leaves the
# input in build-fuzz/findings/ to be fixed and added to fuzz/corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
findings=build-fuzz/findings
mkdir -p "$findings"
for target in score_file tile_sheet wave_file; do
    work=$(mktemp -d)
    echo "fuzz_$target: ${seconds}s"
    build-fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 \
        -artifact_prefix="$findings/${target}-" -print_final_stats=1 "$work" "fuzz/corpus/$target" \
        > "$findings/$target.log" 2>&1 || { tail -n 40 "$findings/$target.log"; rm -rf "$work"; exit 1; }
    grep -E '^(Done|stat::number_of_executed_units)' "$findings/$target.log" || true
    rm -rf "$work"
done
