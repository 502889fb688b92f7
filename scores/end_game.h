#pragma once

#include "game_state.h"
#include "high_scores.h"
#include "ports.h"

#include <QString>

#include <string>

namespace trazzo {

// Asks the player for a name; Cancel gives the empty text.
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

// The first slot of a mode's three, or -1 for no mode.
int firstSlotOf(std::int32_t gameMode);
// The slot a score would take in its mode, or -1 when it does not rank.
// An equal score does not pass an entry.
int rankSlot(const HighScores &table, std::int32_t gameMode, std::int32_t score);
// Puts the entry into `slot`, moving the lower ones of its mode down.
void insertEntry(HighScores &table, int slot, const ScoreEntry &entry);

// The end of a game: why it ended, the GAME OVER picture, the ranking,
// the name and the high-score window.
class EndGame : public GameOver {
public:
    EndGame(GameState &state, HighScores &table, Screen &screen, Sound &sound, NamePrompt &prompt, HighScoreView &view)
        : m_state(state), m_table(table), m_screen(screen), m_sound(sound), m_prompt(prompt), m_view(view)
    {
    }

    void End_Game(int &reason) override;

private:
    GameState &m_state;
    HighScores &m_table;
    Screen &m_screen;
    Sound &m_sound;
    NamePrompt &m_prompt;
    HighScoreView &m_view;
};

} // namespace trazzo
