// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// What the engine needs from the world around it. The window, the sound
// player and the game-over sequence implement these; tests record them.

#include <string_view>

namespace trazzo {

// Uniform random values in [0, 1).
class Random {
public:
    virtual ~Random() = default;
    virtual double Rnd() = 0;
};

// The board surface, the three counters and the status line.
class Screen {
public:
    virtual ~Screen() = default;

    // Plain copy of first-row tile k to cell (c, r).
    virtual void Cell_Paint(int c, int r, int k) = 0;
    // Head facing d on cell (c, r): mask with OR, then picture with AND.
    virtual void Head_Paint(int c, int r, int d) = 0;
    // All 1200 cells from a board string, no head.
    virtual void Board_Paint(std::string_view board) = 0;
    // Put the board surface on screen now, not at the next repaint.
    virtual void presentBoard() = 0;

    virtual void showBonus(int value) = 0;              // Label1
    virtual void showScore(int value) = 0;              // Label2
    virtual void showStage(int value) = 0;              // Label3
    virtual void showStatus(std::string_view text) = 0; // Label4

    // Repaint the three counters now.
    virtual void repaintCounters() = 0;
    // Repaint the status line now.
    virtual void repaintStatus() = 0;
};

// Sound effects. The implementation decides whether the option is on.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void PlayEffect(std::string_view fileName) = 0;
};

// The end of a game: reason 0 is a wall, 1 a hole.
class GameOver {
public:
    virtual ~GameOver() = default;
    virtual void End_Game(int &reason) = 0;
};

// The pause between two filled cells of the red panel's walk.
class Pause {
public:
    virtual ~Pause() = default;
    virtual void chainPause() = 0;
};

} // namespace trazzo
