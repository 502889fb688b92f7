// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "board.h"

#include <cstdint>
#include <string>

namespace trazzo {

// GameMode values.
inline constexpr std::int32_t NoGame = 0;
inline constexpr std::int32_t RefreshMode = 1;
inline constexpr std::int32_t FiveMode = 2;

// Timer intervals in milliseconds; Space held selects the fast one.
inline constexpr int NormalInterval = 100;
inline constexpr int FastInterval = 10;

// The state every rule shares. Plain fields: one thread reads and writes it.
struct GameState {
    std::int32_t GameMode = NoGame;
    std::int32_t MoveDir = 0; // 0 stopped, 1 left, 2 up, 3 right, 4 down
    std::int32_t HeadDir = 3; // 0 left, 1 up, 2 right, 3 down
    std::int32_t HeadPos = 0; // 1..1200 while a game runs
    std::string Board = std::string(BoardCells, Wall);
    std::int32_t Bonus = 0;
    std::int32_t Score = 0;
    std::int32_t Stage = 0;
};

} // namespace trazzo
