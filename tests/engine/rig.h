// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The engine with a recording stand-in for everything round it: screen,
// sound, game over and pause write one log, and the random source plays
// back a script and fails the test when asked for more than it holds.

#include "game.h"

#include <QStringList>
#include <QtTest>

#include <functional>
#include <random>
#include <stdexcept>

namespace trazzo::test {

// Board position of column c, row r, counted from 1 along the rows.
inline int pos(int c, int r) { return 40 * r + c + 1; }

// Rnd values that make the game's draws come out as wanted.
inline double at(int c, int r) { return (pos(c, r) - 0.5) / 1200; } // a position
inline double kind(int k) { return (k + 0.5) / 10; }                // Int(Rnd * 10) = k
inline double way(int d) { return (d - 0.5) / 4; }                  // Int(Rnd * 4) + 1 = d

using Script = QList<double>; // Rnd values in the order drawn

// Columns of a data table, and a value of the present row.
template <typename... T, typename... Names> void columns(Names... names) { (QTest::addColumn<T>(names), ...); }
template <typename T> T cell(const char *name) { return *static_cast<T *>(QTest::qData(name, qMetaTypeId<T>())); }

inline QString utf8(std::string_view t) { return QString::fromUtf8(t.data(), qsizetype(t.size())); }

struct Rig : Screen, Sound, GameOver, Pause, Random {
    Script script;                      // the random values to come
    std::mt19937 *unscripted = nullptr; // long play only: draws past the script come from here
    Game game{*this, *this, *this, *this, *this};
    GameState &s = game.state();
    QStringList log;
    QString painted;                 // the last whole board drawn
    std::function<void()> duringEnd; // runs inside End_Game, as a dialog's event loop would

    void Cell_Paint(int c, int r, int k) override { log << QString("cell %1,%2 %3").arg(c).arg(r).arg(k); }
    void Head_Paint(int c, int r, int d) override { log << QString("head %1,%2 %3").arg(c).arg(r).arg(d); }
    void Board_Paint(std::string_view b) override
    {
        painted = QString::fromLatin1(b.data(), qsizetype(b.size())), log << "board";
    }
    void presentBoard() override { log << "present"; }
    void showBonus(int v) override { log << QString("bonus %1").arg(v); }
    void showScore(int v) override { log << QString("score %1").arg(v); }
    void showStage(int v) override { log << QString("stage %1").arg(v); }
    void showStatus(std::string_view t) override { log << "status " + utf8(t); }
    void repaintCounters() override { log << "repaint"; }
    void repaintStatus() override { log << "repaintStatus"; }
    void PlayEffect(std::string_view f) override { log << "sound " + utf8(f); }
    void chainPause() override { log << "pause"; }
    double Rnd() override
    {
        if (script.empty() && unscripted)
            return std::uniform_real_distribution<double>(0.0, 1.0)(*unscripted);
        if (script.empty()) {
            // Thrown, not returned: a rule that draws "until" would never end.
            QTest::qFail("random value drawn beyond the script", __FILE__, __LINE__);
            throw std::runtime_error("random script used up");
        }
        return script.takeFirst();
    }
    void End_Game(int &reason) override
    {
        log << QString("end %1").arg(reason);
        if (duringEnd)
            duringEnd();
        s.GameMode = NoGame;
    }

    // A game on the empty stage with rows of codes, split by '/', written
    // over it from (c0, r0); 'H' is the head, on ground.
    void play(std::int32_t mode, int c0, int r0, const QString &rows, int bonus = 50, int stage = 1)
    {
        const std::string wall(40, '0'), ground = '0' + std::string(38, '2') + '0';
        s = GameState{mode, 0, 3, 0, wall, bonus, 0, stage};
        for (int r = 1; r < 29; ++r)
            s.Board += ground;
        s.Board += wall;
        int c = c0, r = r0;
        for (QChar k : rows) {
            if (k == u'/') {
                c = c0, ++r;
                continue;
            }
            if (k == u'H')
                s.HeadPos = pos(c, r);
            s.Board[std::size_t(pos(c++, r) - 1)] = k == u'H' ? '2' : k.toLatin1();
        }
    }
    QString rows(int c0, int r0, int w, int h) const
    {
        QStringList out;
        for (int r = r0; r < r0 + h; ++r)
            out << QString::fromLatin1(s.Board.substr(std::size_t(pos(c0, r) - 1), std::size_t(w)));
        return out.join('/');
    }
    int items() const
    {
        return int(std::count_if(s.Board.begin(), s.Board.end(), [](char k) { return k > Ground; }));
    }
};

} // namespace trazzo::test
