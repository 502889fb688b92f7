// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "game_state.h"
#include "ports.h"

namespace trazzo {

// The rules of the game. It owns the state and reaches the screen, the
// sound, the game over and the random source only through its ports.
class Game {
public:
    Game(Screen &screen, Sound &sound, GameOver &gameOver, Random &random, Pause &pause);

    GameState &state() { return m_state; }
    const GameState &state() const { return m_state; }

    // A mode start: sets the starting values, then builds the first stage.
    // Abandons any game under way.
    void startMode(std::int32_t mode);
    void New_Game();

    // One step of the game timer. Never re-entered: a tick that arrives
    // while an earlier one is still running (a modal dialog of the game
    // over spins the event loop) is dropped.
    void tick();

    // Keys on the board, as virtual key codes (32 Space, 37..40 arrows).
    void keyDown(int keyCode);
    void keyUp(int keyCode);
    // The interval the game timer should run at, in ms.
    int timerInterval() const { return m_timerInterval; }

    // The cell events and their parts; public so each can be tested alone.
    void Tip_Ivent();
    void Fill_Scatter();
    void Fill_Square();
    void Fill_Chain();
    void Stage_Renew();

    // The head on its cell, facing HeadDir.
    void paintHead();

private:
    int drawPosition();   // Int(Rnd * 1200) + 1
    char drawItemKind();  // the item kind table
    int drawBelow(int n); // Int(Rnd * n), kept inside 0..n-1

    GameState m_state;
    Screen &m_screen;
    Sound &m_sound;
    GameOver &m_gameOver;
    Random &m_random;
    Pause &m_pause;
    int m_timerInterval = NormalInterval;
    bool m_inTick = false;
};

} // namespace trazzo
