// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Feeds arbitrary bytes to the score-file reader, as if they were the file
// found at start-up, and checks what a save of the result reads back as.

#include "high_scores.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace trazzo;

namespace {

void fail(const char *what, std::size_t slot)
{
    std::fprintf(stderr, "score file: %s (slot %zu)\n", what, slot);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    const HighScores table = readScoreFile(bytes, false).table;

    // A file that went on past what was read is never taken whole.
    if (!readScoreFile(bytes, true).damaged)
        fail("a file cut short was taken whole", 0);

    // Whatever was read survives our own save and the next load, as far as
    // the six-digit field can hold the score; our own file is never damaged.
    const QByteArray saved = formatScoreFile(table, QStringLiteral("2002/05/12 14:03:27"));
    const ScoreFileContent back = readScoreFile(saved, false);
    if (back.damaged)
        fail("our own file was set aside", 0);
    for (std::size_t k = 0; k < table.size(); ++k) {
        if (table[k].Score < 0)
            fail("a negative score was read", k);
        if (table[k].Score > 999999)
            continue;
        if (back.table[k].Score != table[k].Score)
            fail("score changed by a save and a load", k);
        if (back.table[k].Name != table[k].Name)
            fail("name changed by a save and a load", k);
    }
    return 0;
}
