// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game in its real window: a tick through Form1 with the real board
// surface, the board's drawing, the red panel's walk with its pause, the
// pace Timer1 keeps, and the memory the running game holds. Meant to run
// under an X server (Xvfb); it falls back to whatever platform Qt picks.

#include "board.h"
#include "board_surface.h"
#include "clock_random.h"
#include "fonts.h"
#include "form1.h"
#include "form3.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QInputDialog>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

using namespace trazzo;

namespace {

struct NullSound : Sound {
    void PlayEffect(std::string_view) override {}
};

QString g_programFolder;

// Resident memory of this process, in MiB: all of it ("VmRSS"), or the
// part that is the process's own rather than mapped files ("RssAnon").
double residentMiB(const QByteArray &key = "VmRSS")
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

void press(Form1 &f, Qt::Key key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(f.Picture1(), &event);
}

// A window on its title screen, its timer stopped until a benchmark runs it.
struct Window {
    ClockRandom random{42};
    NullSound sound;
    Form1 form{&random, g_programFolder};
    Window()
    {
        form.setSound(&sound);
        form.Form_Load();
        form.Timer1()->stop();
        QCoreApplication::processEvents();
    }
    // A Refresh game on a board without items, the head at (1, r).
    void startOnEmptyBoard(int r)
    {
        GameState &s = form.game().state();
        form.game().startMode(RefreshMode);
        s.Board = emptyStage();
        s.HeadPos = posOf(1, r);
        form.Picture1()->Board_Paint(s.Board);
        form.Picture1()->repaint();
    }
};

Window *g_window = nullptr;

// One tick that moves the head, as Timer1 runs it: 37 steps along a row,
// the cells reaching the screen as they would between two ticks.
void BM_TickThroughForm1(benchmark::State &st)
{
    Form1 &f = g_window->form;
    GameState &s = f.game().state();
    for (auto _ : st) {
        st.PauseTiming();
        g_window->startOnEmptyBoard(10);
        press(f, Qt::Key_Right);
        st.ResumeTiming();
        for (int i = 0; i < 37; ++i)
            f.Timer1_Timer();
        st.PauseTiming();
        QCoreApplication::processEvents(); // the scheduled repaints, outside the figure
        st.ResumeTiming();
    }
    st.counters["per_tick"] =
        benchmark::Counter(37, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    s.GameMode = NoGame;
}
BENCHMARK(BM_TickThroughForm1)->Unit(benchmark::kMicrosecond);

// The same ticks with the repaints they schedule: what a tick costs the
// machine from the key to the pixels.
void BM_TickAndItsRepaint(benchmark::State &st)
{
    Form1 &f = g_window->form;
    for (auto _ : st) {
        st.PauseTiming();
        g_window->startOnEmptyBoard(10);
        press(f, Qt::Key_Right);
        QCoreApplication::processEvents();
        st.ResumeTiming();
        for (int i = 0; i < 37; ++i) {
            f.Timer1_Timer();
            QCoreApplication::processEvents();
        }
    }
    st.counters["per_tick"] =
        benchmark::Counter(37, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    f.game().state().GameMode = NoGame;
}
BENCHMARK(BM_TickAndItsRepaint)->Unit(benchmark::kMicrosecond);

void BM_BoardPaint(benchmark::State &st)
{
    BoardSurface *board = g_window->form.Picture1();
    const std::string picture = g_window->form.game().state().Board;
    for (auto _ : st)
        board->Board_Paint(picture);
    QCoreApplication::processEvents();
}
BENCHMARK(BM_BoardPaint)->Unit(benchmark::kMicrosecond);

void BM_HeadPaint(benchmark::State &st)
{
    BoardSurface *board = g_window->form.Picture1();
    int i = 0;
    for (auto _ : st) {
        board->Head_Paint(1 + i % 38, 1 + (i / 38) % 28, 1 + i % 4);
        ++i;
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_HeadPaint)->Unit(benchmark::kNanosecond);

// The red panel's walk along a line of `range(0)` holes with the pause the
// game uses, each step shown on the screen. The line runs along every
// other row, so the walker never has a choice.
void BM_RedPanelWalk(benchmark::State &st)
{
    Form1 &f = g_window->form;
    GameState &s = f.game().state();
    const int holes = static_cast<int>(st.range(0));
    std::string line = emptyStage();
    int n = 0;
    for (int r = 1; r <= 28 && n < holes; r += 2) {
        for (int i = 0; i < 38 && n < holes; ++i, ++n)
            setCell(line, posOf(r % 4 == 1 ? 1 + i : 38 - i, r), n == 0 ? RedPanel : Hole);
        if (n < holes && r < 28)
            setCell(line, posOf(r % 4 == 1 ? 38 : 1, r + 1), Hole), ++n;
    }
    for (auto _ : st) {
        st.PauseTiming();
        s.GameMode = RefreshMode;
        s.Board = line;
        s.HeadPos = posOf(1, 1);
        f.Picture1()->Board_Paint(s.Board);
        f.Picture1()->repaint();
        st.ResumeTiming();
        f.game().Fill_Chain();
    }
    s.GameMode = NoGame;
    st.counters["filled"] = static_cast<double>(std::count(s.Board.begin(), s.Board.end(), Hole) == 0 ? holes - 1 : -1);
}
BENCHMARK(BM_RedPanelWalk)->Arg(500)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs Timer1 for `ticks` ticks of a game with the head snaking through an
// empty board, and gives the interval between ticks in milliseconds.
std::vector<double> timerIntervals(int ticks, bool fast)
{
    Form1 &f = g_window->form;
    GameState &s = f.game().state();
    g_window->startOnEmptyBoard(1);
    press(f, Qt::Key_Right);
    if (fast)
        press(f, Qt::Key_Space); // held down for the whole run

    std::vector<double> intervals;
    intervals.reserve(static_cast<std::size_t>(ticks));
    QEventLoop loop;
    QElapsedTimer clock;
    qint64 last = -1;
    int goingDown = 0;
    const auto watch = QObject::connect(f.Timer1(), &QTimer::timeout, &loop, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (last >= 0)
            intervals.push_back(static_cast<double>(now - last) / 1e6);
        last = now;
        if (static_cast<int>(intervals.size()) >= ticks) {
            f.Timer1()->stop();
            loop.quit();
            return;
        }
        // Steer: along a row, one step down at its end, and back.
        const CellXY head = cellOf(s.HeadPos);
        if (goingDown) {
            goingDown = 0;
            press(f, head.r % 2 == 1 ? Qt::Key_Right : Qt::Key_Left);
        } else if ((head.c == 38 && s.MoveDir == 3) || (head.c == 1 && s.MoveDir == 1)) {
            if (head.r == 28) { // the board is used up: a fresh one
                g_window->startOnEmptyBoard(1);
                press(f, Qt::Key_Right);
            } else {
                press(f, Qt::Key_Down);
                goingDown = 1;
            }
        }
    });
    f.Timer1()->start();
    clock.start();
    loop.exec();
    QObject::disconnect(watch);
    if (fast) {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier);
        QCoreApplication::sendEvent(f.Picture1(), &release);
    }
    s.GameMode = NoGame;
    return intervals;
}

void BM_Timer1Pace(benchmark::State &st)
{
    const bool fast = st.range(0) == FastInterval;
    const int ticks = fast ? 500 : 100;
    const double nominal = static_cast<double>(st.range(0));
    std::vector<double> intervals;
    for (auto _ : st) {
        intervals = timerIntervals(ticks, fast);
        double total = 0;
        for (double i : intervals)
            total += i;
        st.SetIterationTime(total / 1000.0);
    }
    std::vector<double> deviation;
    double sum = 0;
    for (double i : intervals) {
        sum += i;
        deviation.push_back(std::abs(i - nominal));
    }
    std::sort(deviation.begin(), deviation.end());
    const auto at = [&](double q) {
        return deviation[static_cast<std::size_t>(q * static_cast<double>(deviation.size() - 1))];
    };
    const double mean = sum / static_cast<double>(intervals.size());
    st.counters["ticks"] = static_cast<double>(intervals.size());
    st.counters["mean_ms"] = mean;
    st.counters["mean_off_pct"] = 100.0 * (mean - nominal) / nominal;
    st.counters["p50_dev_ms"] = at(0.50);
    st.counters["p99_dev_ms"] = at(0.99);
    st.counters["max_dev_ms"] = deviation.back();
}
BENCHMARK(BM_Timer1Pace)
    ->Arg(FastInterval)
    ->Arg(NormalInterval)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A short game that ends with a place in the table: the head runs for a
// while, takes a chest and goes up into the wall; the name prompt is
// answered and the high-score window closed.
void playGameWithHighScore(Form1 &f)
{
    GameState &s = f.game().state();
    timerIntervals(100, true);
    g_window->startOnEmptyBoard(20);
    setCell(s.Board, posOf(5, 20), BlueChest);
    f.Picture1()->Board_Paint(s.Board);
    press(f, Qt::Key_Right);
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget())) {
            dialog->setTextValue(QStringLiteral("ベンチ"));
            dialog->accept();
        }
    });
    answer.start(10);
    QEventLoop loop;
    const auto watch = QObject::connect(f.Timer1(), &QTimer::timeout, &loop, [&] {
        if (s.GameMode == NoGame) {
            f.Timer1()->stop();
            loop.quit();
        } else if (s.MoveDir == 0) { // the chest taken: the head stands
            press(f, Qt::Key_Up);
        }
    });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit); // a safety net only
    f.Timer1()->start();
    loop.exec();
    QObject::disconnect(watch);
    QCoreApplication::processEvents();
    if (Form3 *table = f.highScoreWindow().window())
        table->close();
    QCoreApplication::processEvents();
}

// Memory on the title screen, after one game, and after three more: a
// figure that keeps growing with the games would be a leak.
void BM_ResidentMemory(benchmark::State &st)
{
    Form1 &f = g_window->form;
    double title = 0, afterOne = 0, afterFour = 0;
    for (auto _ : st) {
        title = residentMiB();
        playGameWithHighScore(f);
        afterOne = residentMiB();
        for (int i = 0; i < 3; ++i)
            playGameWithHighScore(f);
        afterFour = residentMiB();
        st.counters["after_game_own_MiB"] = residentMiB("RssAnon");
    }
    st.counters["title_MiB"] = title;
    st.counters["after_game_MiB"] = afterOne;
    st.counters["after_4_games_MiB"] = afterFour;
}
BENCHMARK(BM_ResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // The benchmark's scores go to a folder of its own, never the player's.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trazzo"));
    installFontSubstitutes();
    g_programFolder = QCoreApplication::applicationDirPath() + QStringLiteral("/..");

    benchmark::Initialize(&argc, argv);
    benchmark::AddCustomContext("build type", TRAZZO_BUILD_TYPE);
    benchmark::AddCustomContext("platform", QGuiApplication::platformName().toStdString());
    Window window;
    g_window = &window;
    benchmark::RunSpecifiedBenchmarks();
    g_window = nullptr;
    benchmark::Shutdown();
    return 0;
}
