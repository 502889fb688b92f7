// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The engine alone, drawing into nothing: what the rules themselves cost.

#include "board.h"
#include "clock_random.h"
#include "game.h"

#include <benchmark/benchmark.h>

using namespace trazzo;

namespace {

struct NullScreen : Screen {
    void Cell_Paint(int, int, int) override {}
    void Head_Paint(int, int, int) override {}
    void Board_Paint(std::string_view) override {}
    void presentBoard() override {}
    void showBonus(int) override {}
    void showScore(int) override {}
    void showStage(int) override {}
    void showStatus(std::string_view) override {}
    void repaintCounters() override {}
    void repaintStatus() override {}
};
struct NullSound : Sound {
    void PlayEffect(std::string_view) override {}
};
struct StopGame : GameOver {
    GameState *state = nullptr;
    void End_Game(int &) override { state->GameMode = NoGame; }
};
struct NoPause : Pause {
    void chainPause() override {}
};

struct Bench {
    NullScreen screen;
    NullSound sound;
    StopGame over;
    ClockRandom random{42};
    NoPause pause;
    Game game{screen, sound, over, random, pause};
    Bench() { over.state = &game.state(); }
};

// Ticks that move the head over ground: 37 steps along a row per iteration,
// so the board reset between rows stays out of the figure.
void BM_TickMove(benchmark::State &st)
{
    Bench b;
    GameState &s = b.game.state();
    s.GameMode = RefreshMode;
    const std::string board = emptyStage();
    for (auto _ : st) {
        st.PauseTiming();
        s.Board = board;
        s.HeadPos = posOf(1, 10);
        s.Bonus = 50;
        b.game.keyDown(39);
        st.ResumeTiming();
        for (int i = 0; i < 37; ++i)
            b.game.tick();
    }
    st.counters["per_tick"] =
        benchmark::Counter(37, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TickMove);

void BM_StageRenew(benchmark::State &st)
{
    Bench b;
    GameState &s = b.game.state();
    s.GameMode = static_cast<std::int32_t>(st.range(0));
    s.Board = emptyStage();
    s.HeadPos = posOf(20, 15);
    s.Stage = 50;
    for (auto _ : st)
        b.game.Stage_Renew();
}
BENCHMARK(BM_StageRenew)->Arg(RefreshMode)->Arg(FiveMode);

// The red panel over a 1000-hole line with no pause. The line snakes row by
// row through the board, so rows touch and the walker may cut across; the
// cells it fills are counted.
void BM_FillChain1000(benchmark::State &st)
{
    Bench b;
    GameState &s = b.game.state();
    s.GameMode = RefreshMode;
    std::string line = emptyStage();
    int n = 0;
    for (int r = 1; r <= 28 && n <= 1000; ++r)
        for (int i = 0; i < 38 && n <= 1000; ++i, ++n)
            setCell(line, posOf(r % 2 == 1 ? 1 + i : 38 - i, r), n == 0 ? RedPanel : Hole);
    std::int64_t filled = 0;
    for (auto _ : st) {
        st.PauseTiming();
        s.Board = line;
        s.HeadPos = posOf(1, 1);
        st.ResumeTiming();
        b.game.Fill_Chain();
        st.PauseTiming();
        for (char k : s.Board)
            filled += k == Ground ? 1 : 0;
        filled -= 1064 - 1001;
        st.ResumeTiming();
    }
    st.counters["filled"] = benchmark::Counter(static_cast<double>(filled), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FillChain1000);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::AddCustomContext("build type", TRAZZO_BUILD_TYPE);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
