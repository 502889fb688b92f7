// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "board.h"

namespace trazzo {

std::string joinRows(std::initializer_list<std::string_view> rows)
{
    std::string board;
    board.reserve(BoardCells);
    for (std::string_view row : rows)
        board.append(row);
    return board;
}

std::string emptyStage()
{
    const std::string wallRow(BoardCols, Wall);
    const std::string groundRow = Wall + std::string(BoardCols - 2, Ground) + Wall;
    std::string board = wallRow;
    for (int r = 1; r < BoardRows - 1; ++r)
        board += groundRow;
    board += wallRow;
    return board;
}

} // namespace trazzo
