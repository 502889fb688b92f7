// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Long play: thousands of stages in both modes, steered towards the items
// with now and then a stray key, checking after every tick what must always
// hold. The seed is printed; set TRAZZO_SOAK_SEED to replay a failure.

#include "rig.h"

using namespace trazzo;
using namespace trazzo::test;

namespace {

constexpr int Steps[4] = {-1, -BoardCols, 1, BoardCols};

int dist(int p, int q) { return std::abs(cellOf(p).c - cellOf(q).c) + std::abs(cellOf(p).r - cellOf(q).r); }

struct Soak : Rig {
    QString fault;
    void Cell_Paint(int c, int r, int k) override { note(c, r, k, 7); }
    void Head_Paint(int c, int r, int d) override { note(c, r, d, 3); }
    void note(int c, int r, int k, int top)
    {
        if (c < 0 || c >= BoardCols || r < 0 || r >= BoardRows || k < 0 || k > top)
            fault = QString("tile %1 drawn at %2,%3").arg(k).arg(c).arg(r);
    }
    // Whatever breaks the rules, or an empty text.
    QString broken(bool moved) const
    {
        for (int p = 1; p <= BoardCells; ++p)
            if (const char k = cellAt(s.Board, p);
                (cellOf(p).c % 39 == 0 || cellOf(p).r % 29 == 0) != (k == Wall) || k > RedPanel)
                return QString("code %1 at %2").arg(k).arg(p);
        if (s.GameMode != NoGame && cellAt(s.Board, s.HeadPos) < Ground)
            return "head on a wall or a hole";
        if (s.Bonus < (moved ? 10 : 0) || s.Bonus > 999 || s.Score < 0 || s.Stage < 1)
            return QString("bonus %1, score %2, stage %3").arg(s.Bonus).arg(s.Score).arg(s.Stage);
        return fault;
    }
    // A player's arrow key: an open way nearer the closest item, now and
    // then any open way; 0 when boxed in.
    int steer(std::mt19937 &keys) const
    {
        int target = 0, best = -1;
        for (int p = 1; p <= BoardCells; ++p)
            if (cellAt(s.Board, p) > Ground && (!target || dist(p, s.HeadPos) < dist(target, s.HeadPos)))
                target = p;
        for (int d = 0; d < 4; ++d)
            if (const int next = s.HeadPos + Steps[d];
                cellAt(s.Board, next) >= Ground &&
                (best < 0 || keys() % 8 == 0 || dist(next, target) < dist(s.HeadPos + Steps[best], target)))
                best = d;
        return best < 0 ? 0 : 37 + best;
    }
};

} // namespace

class TestSoak : public QObject {
    Q_OBJECT
private slots:
    void longPlayKeepsTheRules_data()
    {
        columns<int>("mode");
        QTest::newRow("refresh") << int(RefreshMode);
        QTest::newRow("five") << int(FiveMode);
    }
    void longPlayKeepsTheRules()
    {
        bool ok = true;
        const std::uint32_t seed = qEnvironmentVariableIsSet("TRAZZO_SOAK_SEED")
                                       ? qEnvironmentVariable("TRAZZO_SOAK_SEED").toUInt(&ok)
                                       : std::random_device{}();
        QVERIFY2(ok, "TRAZZO_SOAK_SEED is not a seed");
        qInfo("soak seed %u (replay with TRAZZO_SOAK_SEED=%u)", seed, seed);
        std::mt19937 draws(seed), keys(seed ^ 0x9e3779b9u);
        Soak soak;
        soak.unscripted = &draws;
        int stages = 0, games = 0;
        bool capped = false;
        while (stages < 4000) {
            soak.game.startMode(cell<int>("mode"));
            if (++games % 2 == 0) // late stages: the bonus cap (191), Refresh mode's most items (145)
                soak.s.Stage = 100 + std::int32_t(keys() % 300);
            for (int t = 0; t < 20000 && soak.s.GameMode != NoGame; ++t) {
                const int roll = int(keys() % 1000), stage = soak.s.Stage,
                          key = roll < 3 ? 32 + roll : soak.steer(keys);
                roll < 6 && roll >= 3 ? soak.game.keyUp(32) : soak.game.keyDown(key);
                const bool moving = soak.s.MoveDir != 0;
                soak.log.clear();
                soak.game.tick();
                stages += soak.s.Stage - stage;
                capped = capped || (soak.s.Stage != stage && soak.s.Bonus == 999);
                const QString why = soak.broken(moving && soak.s.Stage == stage);
                QVERIFY2(why.isEmpty(),
                         qPrintable(QString("seed %1, game %2, tick %3: %4").arg(seed).arg(games).arg(t).arg(why)));
            }
        }
        qInfo("%d games, %d stages", games, stages);
        QVERIFY2(capped, qPrintable(QString("seed %1: the bonus never reached its cap").arg(seed)));
    }
};

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
