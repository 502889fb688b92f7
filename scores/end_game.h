// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "game_state.h"
#include "high_scores.h"
#include "ports.h"

#include <QString>

#include <functional>
#include <string>

namespace trazzo {

// Asks the player for a name; Cancel gives the empty text. When the game
// has to end while it asks, what was typed by then is the name.
class NamePrompt {
public:
    virtual ~NamePrompt() = default;
    virtual QString askName(const QString &prompt) = 0;
};

// Shows the high-score window without waiting for it.
class HighScoreView {
public:
    virtual ~HighScoreView() = default;
    virtual void showHighScores() = 0;
};

// The GAME OVER picture: "Game" and "over" in red panels on stone.
std::string gameOverPicture();

// The end of a game: why it ended, the GAME OVER picture, the ranking,
// the name and the high-score window. A score that ranks is on disk
// before the name is asked; `keep` runs once the name is in the table
// (the window saves it then, so a name typed is never lost).
class EndGame : public GameOver {
public:
    EndGame(GameState &state, ScoreTable &table, Screen &screen, Sound &sound, NamePrompt &prompt, HighScoreView &view,
            std::function<void()> keep = {})
        : m_state(state),
          m_table(table),
          m_screen(screen),
          m_sound(sound),
          m_prompt(prompt),
          m_view(view),
          m_keep(std::move(keep))
    {
    }

    void End_Game(int &reason) override;

private:
    GameState &m_state;
    ScoreTable &m_table;
    Screen &m_screen;
    Sound &m_sound;
    NamePrompt &m_prompt;
    HighScoreView &m_view;
    std::function<void()> m_keep;
};

} // namespace trazzo
