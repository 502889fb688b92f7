// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "title_picture.h"

#include "board.h"

#include <array>
#include <string_view>

namespace trazzo {

namespace {

using Glyph = std::array<std::string_view, 7>;

// 5 x 7 block letters; '#' becomes a blue panel.
constexpr Glyph LetterT{"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."};
constexpr Glyph LetterR{"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"};
constexpr Glyph LetterA{".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"};
constexpr Glyph LetterZ{"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"};
constexpr Glyph LetterO{".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."};

constexpr int LetterGap = 2;

void writeWord(std::string &board, int c0, int r0, std::initializer_list<Glyph> word)
{
    int c = c0;
    for (const Glyph &glyph : word) {
        for (int r = 0; r < 7; ++r)
            for (int i = 0; i < 5; ++i)
                if (glyph[std::size_t(r)][std::size_t(i)] == '#')
                    setCell(board, posOf(c + i, r0 + r), BluePanel);
        c += 5 + LetterGap;
    }
}

} // namespace

std::string titlePicture()
{
    std::string board(BoardCells, Wall);
    // Each word is 19 cells wide: the first fills columns 4-22, the second
    // sits in the middle of columns 10-35.
    writeWord(board, 4, 7, {LetterT, LetterR, LetterA});
    writeWord(board, 13, 16, {LetterZ, LetterZ, LetterO});
    return board;
}

} // namespace trazzo
