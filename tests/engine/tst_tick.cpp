// The tick and the cell events.

#include "engine_fakes.h"

#include <QtTest>

#include <algorithm>

using namespace trazzo;
using namespace trazzo::test;

namespace {

// Two draws for a Refresh-mode renewal that places four blue chests in a
// row far from the head (count draw 0 gives n = 3).
void scriptRefreshRenewal(ScriptedRandom &random)
{
    random.push(0.0);
    for (int i = 0; i < 4; ++i)
        random.push({positionDraw(30 + i, 25), kindDraw(0)});
}

std::size_t indexOf(const Log &log, const std::string &entry)
{
    return static_cast<std::size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
}

} // namespace

class TestTick : public QObject {
    Q_OBJECT

private slots:
    void idleTickChangesNothing_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("moveDir");
        QTest::newRow("no game, moving") << 0 << 3;
        QTest::newRow("no game, stopped") << 0 << 0;
        QTest::newRow("refresh, stopped") << 1 << 0;
        QTest::newRow("five, stopped") << 2 << 0;
    }
    void idleTickChangesNothing()
    {
        QFETCH(int, mode);
        QFETCH(int, moveDir);
        Rig rig;
        rig.play(mode, 10, 10, moveDir);
        const GameState before = rig.s();
        rig.game.tick();
        QVERIFY(rig.log.empty());
        QCOMPARE(rig.s().Board, before.Board);
        QCOMPARE(rig.s().HeadPos, before.HeadPos);
        QCOMPARE(rig.s().Bonus, before.Bonus);
    }

    void stepInEachDirection_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("c");
        QTest::addColumn<int>("r");
        QTest::newRow("left") << 37 << 9 << 10;
        QTest::newRow("up") << 38 << 10 << 9;
        QTest::newRow("right") << 39 << 11 << 10;
        QTest::newRow("down") << 40 << 10 << 11;
    }
    void stepInEachDirection()
    {
        QFETCH(int, key);
        QFETCH(int, c);
        QFETCH(int, r);
        Rig rig;
        rig.play(FiveMode, 10, 10);
        rig.game.keyDown(key);
        rig.game.tick();

        QCOMPARE(rig.s().HeadPos, posOf(c, r));
        QCOMPARE(cellAt(rig.s().Board, posOf(10, 10)), Hole);
        QCOMPARE(cellAt(rig.s().Board, posOf(c, r)), Ground);
        const Log expected{
            "cell 10,10 1",
            "head " + std::to_string(c) + "," + std::to_string(r) + " " + std::to_string(key - 37),
            "bonus 49",
        };
        QCOMPARE(rig.log, expected);
    }

    void intoTheWall_data()
    {
        QTest::addColumn<int>("c");
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("key");
        QTest::newRow("left wall") << 1 << 12 << 37;
        QTest::newRow("top wall") << 7 << 1 << 38;
        QTest::newRow("right wall") << 38 << 5 << 39;
        QTest::newRow("bottom wall") << 20 << 28 << 40;
    }
    void intoTheWall()
    {
        QFETCH(int, c);
        QFETCH(int, r);
        QFETCH(int, key);
        Rig rig;
        rig.play(RefreshMode, c, r);
        rig.s().Bonus = 33;
        rig.game.keyDown(key);
        rig.game.tick();

        const Log expected{"cell " + std::to_string(c) + "," + std::to_string(r) + " 1", "present", "end_game 0"};
        QCOMPARE(rig.log, expected);
        QCOMPARE(cellAt(rig.s().Board, posOf(c, r)), Hole);
        QCOMPARE(rig.s().Bonus, 33);
    }

    void reversingFallsIntoOwnHole()
    {
        Rig rig;
        rig.play(RefreshMode, 10, 10);
        rig.game.keyDown(39);
        rig.game.tick();
        rig.game.keyDown(37);
        rig.log.clear();
        rig.game.tick();
        const Log expected{"cell 11,10 1", "present", "end_game 1"};
        QCOMPARE(rig.log, expected);
        QCOMPARE(rig.s().Bonus, 49);
    }

    void bonusFallsToTenAndStays()
    {
        Rig rig;
        rig.play(FiveMode, 1, 1);
        rig.game.keyDown(39);
        for (int i = 0; i < 37; ++i)
            rig.game.tick();
        rig.game.keyDown(40);
        for (int i = 0; i < 2; ++i)
            rig.game.tick();
        QCOMPARE(rig.s().Bonus, 11);
        rig.game.tick(); // step 40
        QCOMPARE(rig.s().Bonus, 10);
        for (int i = 0; i < 5; ++i)
            rig.game.tick();
        QCOMPARE(rig.s().Bonus, 10);
        QCOMPARE(rig.s().HeadPos, posOf(38, 9));
        QCOMPARE(rig.screen.bonus, 10);
    }

    void tickIsNeverReentered()
    {
        Rig rig;
        rig.play(RefreshMode, 1, 10);
        rig.game.keyDown(37);
        // The game-over dialog spins the event loop, which delivers ticks.
        rig.gameOver.during = [&rig] {
            rig.game.tick();
            rig.game.tick();
        };
        rig.game.tick();
        const Log expected{"cell 1,10 1", "present", "end_game 0"};
        QCOMPARE(rig.log, expected);
        QCOMPARE(rig.s().GameMode, NoGame);
        rig.game.tick();
        QCOMPARE(rig.log.size(), expected.size());
    }

    void payout_data()
    {
        QTest::addColumn<char>("item");
        QTest::addColumn<int>("bonus");
        QTest::addColumn<int>("score");
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("scoreAfter");
        QTest::addColumn<int>("bonusAfter");
        QTest::addColumn<QString>("sound");
        // The bonus is as the tick leaves it: already lowered by the step.
        QTest::newRow("blue chest 37") << '3' << 37 << 100 << 1 << 137 << 55 << "Gold.wav";
        QTest::newRow("orange chest 10") << '4' << 10 << 0 << 4 << 20 << 70 << "Gold.wav";
        QTest::newRow("blue chest at 189") << '3' << 999 << 5 << 189 << 1004 << 995 << "Gold.wav";
        QTest::newRow("cap at 190 -> 191") << '3' << 10 << 0 << 190 << 10 << 999 << "Gold.wav";
        QTest::newRow("far past the cap") << '4' << 999 << 7 << 5000 << 2005 << 999 << "Gold.wav";
        QTest::newRow("blue panel") << '5' << 12 << 3 << 2 << 15 << 60 << "Get.wav";
        QTest::newRow("green panel") << '6' << 12 << 3 << 2 << 15 << 60 << "Get.wav";
    }
    void payout()
    {
        QFETCH(char, item);
        QFETCH(int, bonus);
        QFETCH(int, score);
        QFETCH(int, stage);
        QFETCH(int, scoreAfter);
        QFETCH(int, bonusAfter);
        QFETCH(QString, sound);

        Rig rig;
        rig.play(RefreshMode, 10, 10, 3, 2);
        setCell(rig.s().Board, rig.s().HeadPos, item);
        rig.s().Bonus = bonus;
        rig.s().Score = score;
        rig.s().Stage = stage;
        if (item == '5') {
            for (int i = 0; i < std::min(stage + 1 + 10, 50) + 1; ++i)
                rig.random.push(positionDraw(1));
        }
        scriptRefreshRenewal(rig.random);

        rig.game.Tip_Ivent();

        const GameState &s = rig.s();
        QCOMPARE(s.Score, scoreAfter);
        QCOMPARE(s.Stage, stage + 1);
        QCOMPARE(s.Bonus, bonusAfter);
        QCOMPARE(s.MoveDir, 0);
        QCOMPARE(s.HeadDir, 2);
        QCOMPARE(cellAt(s.Board, s.HeadPos), Ground);
        QCOMPARE(rig.log.front(), "sound " + sound.toStdString());
        QCOMPARE(std::count(rig.log.begin(), rig.log.end(), rig.log.front()), 1);
        QCOMPARE(rig.screen.bonus, bonusAfter);
        QCOMPARE(rig.screen.score, scoreAfter);
        QCOMPARE(rig.screen.stage, stage + 1);
        QCOMPARE(rig.random.overrun(), 0);
    }

    void countersRunOneUnitAtATime()
    {
        Rig rig;
        rig.play(RefreshMode, 10, 10);
        setCell(rig.s().Board, rig.s().HeadPos, OrangeChest);
        rig.s().Bonus = 12;
        rig.s().Score = 100;
        scriptRefreshRenewal(rig.random);

        std::vector<std::pair<int, int>> shown;
        rig.screen.onRepaintCounters = [&] { shown.emplace_back(rig.screen.bonus, rig.screen.score); };
        rig.game.Tip_Ivent();

        QCOMPARE(shown.size(), std::size_t(12));
        for (int i = 0; i < 12; ++i)
            QCOMPARE(shown[std::size_t(i)], std::make_pair(11 - i, 102 + 2 * i));
    }

    void stageClearScreenOrder()
    {
        Rig rig;
        rig.play(RefreshMode, 10, 10, 0, 1);
        setCell(rig.s().Board, rig.s().HeadPos, BlueChest);
        rig.s().Bonus = 10;
        scriptRefreshRenewal(rig.random);
        rig.game.Tip_Ivent();

        // After the payout: stage shown, head's cell uncovered and the head
        // drawn and presented; then the renewal's full paint and head; then
        // the counters.
        const Log &log = rig.log;
        const std::size_t lastUnit = indexOf(log, "bonus 0");
        QVERIFY(lastUnit < log.size());
        const Log tail(log.begin() + static_cast<long>(lastUnit) + 3, log.end());
        const Log expected{"stage 2",      "cell 10,10 2", "head 10,10 1", "present", "board",
                           "head 10,10 1", "bonus 55",     "score 10",     "stage 2"};
        QCOMPARE(tail, expected);
    }

    void keyDuringPayoutIsKept()
    {
        Rig rig;
        rig.play(RefreshMode, 10, 10, 3, 2);
        setCell(rig.s().Board, rig.s().HeadPos, BlueChest);
        rig.s().Bonus = 20;
        scriptRefreshRenewal(rig.random);
        bool pressed = false;
        rig.screen.onRepaintCounters = [&] {
            if (!pressed)
                rig.game.keyDown(38);
            pressed = true;
        };
        rig.game.Tip_Ivent();
        QCOMPARE(rig.s().MoveDir, 2);
        rig.game.tick();
        QCOMPARE(rig.s().HeadPos, posOf(10, 9));
    }

    void tickOntoItemRunsCellEventOnce()
    {
        Rig rig;
        rig.play(FiveMode, 10, 10, 3, 2);
        setCell(rig.s().Board, posOf(11, 10), BlueChest);
        rig.s().Bonus = 40;
        rig.random.push({positionDraw(30, 25), kindDraw(0)}); // the one new item
        rig.game.tick();

        const Log &log = rig.log;
        QCOMPARE(log[0], std::string("cell 10,10 1"));
        QCOMPARE(log[1], std::string("head 11,10 2"));
        QCOMPARE(log[2], std::string("bonus 39"));
        QCOMPARE(log[3], std::string("sound Gold.wav"));
        QCOMPARE(std::count(log.begin(), log.end(), "sound Gold.wav"), 1);
        QCOMPARE(rig.s().Score, 39);
        QCOMPARE(rig.s().Stage, 2);
        QCOMPARE(rig.s().MoveDir, 0);
        // Standing still, the bonus does not fall.
        rig.game.tick();
        QCOMPARE(rig.s().Bonus, 55);
    }

    void groundMakesNoSound()
    {
        Rig rig;
        rig.play(FiveMode, 10, 10, 3, 2);
        for (int i = 0; i < 10; ++i)
            rig.game.tick();
        QVERIFY(std::none_of(rig.log.begin(), rig.log.end(),
                             [](const std::string &e) { return e.rfind("sound", 0) == 0; }));
    }
};

QTEST_APPLESS_MAIN(TestTick)
#include "tst_tick.moc"
