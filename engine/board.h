// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The board is one string of 1200 cell codes, row by row, addressed by a
// 1-based position p = 40*r + c + 1. Keeping the string form lets the title
// and GAME OVER pictures be written as plain text rows.

#include <initializer_list>
#include <string>
#include <string_view>

namespace trazzo {

inline constexpr int BoardCols = 40;
inline constexpr int BoardRows = 30;
inline constexpr int BoardCells = BoardCols * BoardRows;

// Cell codes.
inline constexpr char Wall = '0';
inline constexpr char Hole = '1';
inline constexpr char Ground = '2';
inline constexpr char BlueChest = '3';
inline constexpr char OrangeChest = '4';
inline constexpr char BluePanel = '5';
inline constexpr char GreenPanel = '6';
inline constexpr char RedPanel = '7';

struct CellXY {
    int c = 0;
    int r = 0;
    friend bool operator==(const CellXY &, const CellXY &) = default;
};

// Column and row of position p (1..1200).
constexpr CellXY cellOf(int p) { return {(p - 1) % BoardCols, (p - 1) / BoardCols}; }

// Position of cell (c, r).
constexpr int posOf(int c, int r) { return BoardCols * r + c + 1; }

// Numeric value of a cell code ('0'..'7' -> 0..7).
constexpr int codeValue(char code) { return code - '0'; }

// Reads and writes one cell of a board string; p is 1-based.
inline char cellAt(const std::string &board, int p) { return board[static_cast<std::size_t>(p - 1)]; }
inline void setCell(std::string &board, int p, char code) { board[static_cast<std::size_t>(p - 1)] = code; }

// A board of 30 rows of 40 codes, joined in order. Used for the stage frame,
// the title and GAME OVER pictures, and for boards written out in tests.
std::string joinRows(std::initializer_list<std::string_view> rows);

// The empty stage: a ring of walls around 28 x 38 ground cells.
std::string emptyStage();

} // namespace trazzo
