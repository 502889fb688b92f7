#pragma once

// Recording stand-ins for the screen and the sound, for the tests of the
// game over and the start-up menus. The engine's own tests use rig.h.

#include "board.h"
#include "game.h"
#include "ports.h"

#include <functional>
#include <string>
#include <vector>

namespace trazzo::test {

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

} // namespace trazzo::test
