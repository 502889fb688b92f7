#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Static checks over our own sources (not the generated moc files, not Qt):
# clang-tidy with the checks in .clang-tidy, cppcheck, and the format.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/compile_commands.json ] || { echo "configure the default build first" >&2; exit 1; }
mapfile -t sources < <(git ls-files 'engine/*.cpp' 'display/*.cpp' 'scores/*.cpp' 'shell/*.cpp' 'widgets/*.cpp')
mapfile -t all < <(git ls-files '*.cpp' '*.h')

echo "clang-tidy: ${#sources[@]} files"
printf '%s\n' "${sources[@]}" | xargs -P 2 -n 4 clang-tidy-14 -p build --quiet

# cppcheck reads no system or Qt headers, so it takes std::array<QLabel *, 4>
# and QPointer<Form3> for ints in the getters that return them.
echo "cppcheck"
cppcheck --quiet --error-exitcode=1 --std=c++20 --language=c++ --inline-suppr --library=qt \
    --enable=warning,performance,portability --suppress=missingIncludeSystem \
    --suppress=CastIntegerToAddressAtReturn \
    -I engine -I display -I scores -I shell -I widgets "${sources[@]}" fuzz/*.cpp

echo "clang-format"
clang-format-14 --dry-run -Werror "${all[@]}"
