// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game.h"

#include "game_texts.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace trazzo {

namespace {

struct Step {
    int dp; // change of HeadPos
    int dc; // change of column
    int dr; // change of row
};

// Indexed by MoveDir - 1: left, up, right, down.
constexpr std::array<Step, 4> Steps{{
    {-1, -1, 0},
    {-BoardCols, 0, -1},
    {+1, +1, 0},
    {+BoardCols, 0, +1},
}};

constexpr int KeySpace = 32;
constexpr int KeyLeft = 37;
constexpr int KeyDown = 40;

constexpr int MaxBonus = 999;
constexpr int MinBonus = 10;

bool isInterior(int p)
{
    if (p < 1 || p > BoardCells)
        return false;
    const CellXY cell = cellOf(p);
    return cell.c > 0 && cell.c < BoardCols - 1 && cell.r > 0 && cell.r < BoardRows - 1;
}

} // namespace

Game::Game(Screen &screen, Sound &sound, GameOver &gameOver, Random &random, Pause &pause)
    : m_screen(screen), m_sound(sound), m_gameOver(gameOver), m_random(random), m_pause(pause)
{
}

int Game::drawBelow(int n)
{
    const int v = static_cast<int>(std::floor(m_random.Rnd() * n));
    return std::clamp(v, 0, n - 1);
}

int Game::drawPosition() { return drawBelow(BoardCells) + 1; }

char Game::drawItemKind()
{
    const int k = drawBelow(10);
    if (k <= 4)
        return BlueChest;
    if (k <= 6)
        return OrangeChest;
    if (k == 7)
        return BluePanel;
    if (k == 8)
        return GreenPanel;
    return RedPanel;
}

void Game::paintHead()
{
    const CellXY cell = cellOf(m_state.HeadPos);
    m_screen.Head_Paint(cell.c, cell.r, m_state.HeadDir);
}

void Game::startMode(std::int32_t mode)
{
    m_state.GameMode = mode;
    m_state.MoveDir = 0;
    m_state.HeadDir = 3;
    m_state.Bonus = 50;
    m_state.Score = 0;
    m_state.Stage = 1;
    New_Game();
}

void Game::New_Game()
{
    GameState &s = m_state;

    m_screen.showBonus(s.Bonus);
    m_screen.showScore(s.Score);
    m_screen.showStage(s.Stage);
    m_screen.showStatus(texts::BuildingStage);
    m_screen.repaintCounters();
    m_screen.repaintStatus();

    s.Board = emptyStage();

    const int last = s.GameMode == RefreshMode ? drawBelow(2) + 2 : 4;
    for (int i = 0; i <= last; ++i) {
        int p = 0;
        do
            p = drawPosition();
        while (cellAt(s.Board, p) != Ground);
        setCell(s.Board, p, drawItemKind());
    }

    m_screen.Board_Paint(s.Board);
    m_screen.presentBoard();

    int p = 0;
    do
        p = drawPosition();
    while (cellAt(s.Board, p) != Ground);
    s.HeadPos = p;
    paintHead();

    if (s.GameMode == RefreshMode)
        m_screen.showStatus(texts::PlayingRefresh);
    else if (s.GameMode == FiveMode)
        m_screen.showStatus(texts::PlayingFive);
}

void Game::tick()
{
    if (m_inTick)
        return;
    m_inTick = true;
    struct Release {
        bool &flag;
        ~Release() { flag = false; }
    } release{m_inTick};

    GameState &s = m_state;
    if (s.GameMode == NoGame)
        return;
    if (s.MoveDir < 1 || s.MoveDir > 4)
        return;
    // The wall ring keeps a head of a real game inside; a state patched
    // together from elsewhere must not send us off the board.
    if (!isInterior(s.HeadPos))
        return;

    const Step step = Steps[static_cast<std::size_t>(s.MoveDir - 1)];
    CellXY cell = cellOf(s.HeadPos);
    m_screen.Cell_Paint(cell.c, cell.r, codeValue(Hole));
    setCell(s.Board, s.HeadPos, Hole);
    s.HeadPos += step.dp;

    const char entered = cellAt(s.Board, s.HeadPos);
    if (codeValue(entered) < 2) {
        // The hole just left must be on screen before any message.
        m_screen.presentBoard();
        int reason = codeValue(entered);
        m_gameOver.End_Game(reason);
        return;
    }

    cell.c += step.dc;
    cell.r += step.dr;
    m_screen.Head_Paint(cell.c, cell.r, s.HeadDir);
    s.Bonus = std::max(s.Bonus - 1, MinBonus);
    m_screen.showBonus(s.Bonus);

    if (entered != Ground)
        Tip_Ivent();
}

void Game::keyDown(int keyCode)
{
    if (keyCode == KeySpace) {
        m_timerInterval = FastInterval;
    } else if (keyCode >= KeyLeft && keyCode <= KeyDown) {
        m_state.MoveDir = keyCode - 36;
        m_state.HeadDir = keyCode - 37;
    }
}

void Game::keyUp(int keyCode)
{
    if (keyCode == KeySpace)
        m_timerInterval = NormalInterval;
}

void Game::Tip_Ivent()
{
    GameState &s = m_state;
    const CellXY cell = cellOf(s.HeadPos);
    const char item = cellAt(s.Board, s.HeadPos);

    if (item == BlueChest || item == OrangeChest)
        m_sound.PlayEffect(texts::GoldWav);
    else if (item >= BluePanel && item <= RedPanel)
        m_sound.PlayEffect(texts::GetWav);

    s.MoveDir = 0;

    // The counters run visibly: one unit at a time, each shown at once.
    const int rate = item == OrangeChest ? 2 : 1;
    while (s.Bonus > 0) {
        --s.Bonus;
        s.Score += rate;
        m_screen.showBonus(s.Bonus);
        m_screen.showScore(s.Score);
        m_screen.repaintCounters();
    }

    ++s.Stage;
    m_screen.showStage(s.Stage);

    m_screen.Cell_Paint(cell.c, cell.r, codeValue(Ground));
    m_screen.Head_Paint(cell.c, cell.r, s.HeadDir);
    m_screen.presentBoard();

    if (item == BluePanel)
        Fill_Scatter();
    else if (item == GreenPanel)
        Fill_Square();
    else if (item == RedPanel)
        Fill_Chain();

    Stage_Renew();

    // Computed in 64 bits so a stage count near the limit cannot wrap.
    const long long bonus = 50LL + 5LL * (static_cast<long long>(s.Stage) - 1);
    s.Bonus = static_cast<std::int32_t>(std::min<long long>(bonus, MaxBonus));

    m_screen.showBonus(s.Bonus);
    m_screen.showScore(s.Score);
    m_screen.showStage(s.Stage);
}

void Game::Fill_Scatter()
{
    GameState &s = m_state;
    const int n = std::min(s.Stage + 10, 50);
    for (int i = 0; i <= n; ++i) {
        const int p = drawPosition();
        if (cellAt(s.Board, p) == Hole)
            setCell(s.Board, p, Ground);
    }
}

void Game::Fill_Square()
{
    GameState &s = m_state;
    const int n = std::min(s.Stage / 10 + 3, 10);
    const int h = n / 2;
    const CellXY head = cellOf(s.HeadPos);

    // Columns counted from 1 here, so that p = 40 * y + x.
    const int x0 = std::max(head.c + 1 - h, 1);
    const int x1 = std::min(head.c + 1 + h, BoardCols - 1);
    const int y0 = std::max(head.r - h, 1);
    const int y1 = std::min(head.r + h, BoardRows - 1);

    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const int p = BoardCols * y + x;
            if (cellAt(s.Board, p) == Hole)
                setCell(s.Board, p, Ground);
        }
    }
}

void Game::Fill_Chain()
{
    GameState &s = m_state;
    const auto isHole = [&s](int p) { return p >= 1 && p <= BoardCells && cellAt(s.Board, p) == Hole; };

    int p = s.HeadPos;
    CellXY walker = cellOf(p);
    for (;;) {
        std::string NeighbourMask = "0000";
        if (isHole(p - 1))
            NeighbourMask[0] = '1';
        if (isHole(p - BoardCols))
            NeighbourMask[1] = '1';
        if (isHole(p + 1))
            NeighbourMask[2] = '1';
        if (isHole(p + BoardCols))
            NeighbourMask[3] = '1';
        if (NeighbourMask == "0000")
            break;

        int d = 0;
        do
            d = drawBelow(4) + 1;
        while (NeighbourMask[static_cast<std::size_t>(d - 1)] != '1');

        const Step step = Steps[static_cast<std::size_t>(d - 1)];
        p += step.dp;
        walker.c += step.dc;
        walker.r += step.dr;

        setCell(s.Board, p, Ground);
        m_screen.Cell_Paint(walker.c, walker.r, codeValue(Ground));
        m_screen.presentBoard();
        m_pause.chainPause();
    }
    m_screen.presentBoard();
}

void Game::Stage_Renew()
{
    GameState &s = m_state;
    const bool refresh = s.GameMode == RefreshMode;

    static constexpr std::array<int, 9> Around{-41, -40, -39, -1, 0, 1, 39, 40, 41};
    for (int offset : Around) {
        const int p = s.HeadPos + offset;
        const char code = cellAt(s.Board, p);
        if (refresh ? code > Wall : (offset == 0 || code == Hole))
            setCell(s.Board, p, Ground);
    }

    if (refresh) {
        for (char &code : s.Board) {
            if (code > Ground)
                code = Ground;
        }
    }

    int last = 0;
    if (refresh) {
        const double n = std::floor(m_random.Rnd() * s.Stage / 8.0) + 3.0;
        last = static_cast<int>(std::min(n, 20.0));
    }

    for (int i = 0; i <= last; ++i) {
        int p = 0;
        do
            p = drawPosition();
        while (cellAt(s.Board, p) <= Wall || p == s.HeadPos);
        setCell(s.Board, p, drawItemKind());
    }

    m_screen.Board_Paint(s.Board);
    paintHead();
}

} // namespace trazzo
