#pragma once

// Test doubles for the engine's ports: a random source that plays back
// exact values, and a screen, sound and game over that write everything
// they are asked to do into one shared log.

#include "board.h"
#include "game.h"
#include "ports.h"

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace trazzo::test {

// Values that make the engine's draws come out as wanted.
inline double positionDraw(int p) { return (p - 1 + 0.5) / BoardCells; }
inline double positionDraw(int c, int r) { return positionDraw(posOf(c, r)); }
inline double kindDraw(int k) { return (k + 0.5) / 10.0; }
inline double directionDraw(int d) { return (d - 1 + 0.5) / 4.0; }

class ScriptedRandom : public Random {
public:
    void push(double v) { m_values.push_back(v); }
    void push(std::initializer_list<double> vs) { m_values.insert(m_values.end(), vs); }
    double Rnd() override
    {
        if (m_next < m_values.size())
            return m_values[m_next++];
        // Out of script: keep going so a faulty rule cannot hang the test,
        // but remember it so the test fails.
        ++m_overrun;
        return std::uniform_real_distribution<double>(0.0, 1.0)(m_fallback);
    }
    std::size_t used() const { return m_next; }
    std::size_t left() const { return m_values.size() - m_next; }
    int overrun() const { return m_overrun; }

private:
    std::vector<double> m_values;
    std::size_t m_next = 0;
    int m_overrun = 0;
    std::mt19937 m_fallback{12345};
};

using Log = std::vector<std::string>;

class RecordingScreen : public Screen {
public:
    explicit RecordingScreen(Log &log) : m_log(log) {}

    void Cell_Paint(int c, int r, int k) override { add("cell " + xy(c, r) + " " + std::to_string(k)); }
    void Head_Paint(int c, int r, int d) override { add("head " + xy(c, r) + " " + std::to_string(d)); }
    void Board_Paint(std::string_view board) override
    {
        painted = std::string(board);
        add("board");
    }
    void presentBoard() override { add("present"); }
    void showBonus(int v) override
    {
        bonus = v;
        add("bonus " + std::to_string(v));
    }
    void showScore(int v) override
    {
        score = v;
        add("score " + std::to_string(v));
    }
    void showStage(int v) override
    {
        stage = v;
        add("stage " + std::to_string(v));
    }
    void showStatus(std::string_view text) override
    {
        status = std::string(text);
        add("status " + status);
    }
    void repaintCounters() override
    {
        add("repaintCounters");
        if (onRepaintCounters)
            onRepaintCounters();
    }
    void repaintStatus() override { add("repaintStatus"); }

    int bonus = -1, score = -1, stage = -1;
    std::string status;
    std::string painted;
    std::function<void()> onRepaintCounters;

private:
    static std::string xy(int c, int r) { return std::to_string(c) + "," + std::to_string(r); }
    void add(std::string s) { m_log.push_back(std::move(s)); }
    Log &m_log;
};

class RecordingSound : public Sound {
public:
    explicit RecordingSound(Log &log) : m_log(log) {}
    void PlayEffect(std::string_view name) override { m_log.push_back("sound " + std::string(name)); }

private:
    Log &m_log;
};

class RecordingGameOver : public GameOver {
public:
    explicit RecordingGameOver(Log &log) : m_log(log) {}
    void End_Game(int &reason) override
    {
        m_log.push_back("end_game " + std::to_string(reason));
        if (during)
            during();
        if (game)
            game->state().GameMode = NoGame;
    }
    Game *game = nullptr;
    std::function<void()> during;

private:
    Log &m_log;
};

class CountingPause : public Pause {
public:
    explicit CountingPause(Log &log) : m_log(log) {}
    void chainPause() override { m_log.push_back("pause"); }

private:
    Log &m_log;
};

// A game wired to recording fakes.
struct Rig {
    Log log;
    ScriptedRandom random;
    RecordingScreen screen{log};
    RecordingSound sound{log};
    RecordingGameOver gameOver{log};
    CountingPause pause{log};
    Game game{screen, sound, gameOver, random, pause};

    Rig() { gameOver.game = &game; }
    GameState &s() { return game.state(); }

    // A running game on the empty stage with the head at (c, r).
    void play(std::int32_t mode, int c, int r, int moveDir = 0, int headDir = 3)
    {
        GameState &st = game.state();
        st.GameMode = mode;
        st.Board = emptyStage();
        st.HeadPos = posOf(c, r);
        st.MoveDir = moveDir;
        st.HeadDir = headDir;
        st.Bonus = 50;
        st.Score = 0;
        st.Stage = 1;
    }
};

// Writes rows of cell codes onto a board with their top-left at (c0, r0).
inline void sketch(std::string &board, int c0, int r0, std::initializer_list<std::string_view> rows)
{
    int r = r0;
    for (std::string_view row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i)
            setCell(board, posOf(c0 + static_cast<int>(i), r), row[i]);
        ++r;
    }
}

inline int countCodes(const std::string &board, char lo, char hi)
{
    int n = 0;
    for (char k : board)
        n += (k >= lo && k <= hi) ? 1 : 0;
    return n;
}

} // namespace trazzo::test
