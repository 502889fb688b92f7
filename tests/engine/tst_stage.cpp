// Board addressing, building the first stage, and the keys.

#include "engine_fakes.h"
#include "game_texts.h"

#include <QtTest>

#include <algorithm>

using namespace trazzo;
using namespace trazzo::test;

class TestStage : public QObject {
    Q_OBJECT

private:
    static bool ringIsWall(const std::string &b)
    {
        for (int c = 0; c < BoardCols; ++c)
            if (cellAt(b, posOf(c, 0)) != Wall || cellAt(b, posOf(c, BoardRows - 1)) != Wall)
                return false;
        for (int r = 0; r < BoardRows; ++r)
            if (cellAt(b, posOf(0, r)) != Wall || cellAt(b, posOf(BoardCols - 1, r)) != Wall)
                return false;
        return true;
    }

private slots:
    void cellOfPosition_data()
    {
        QTest::addColumn<int>("p");
        QTest::addColumn<int>("c");
        QTest::addColumn<int>("r");
        QTest::newRow("first") << 1 << 0 << 0;
        QTest::newRow("end of row 0") << 40 << 39 << 0;
        QTest::newRow("start of row 1") << 41 << 0 << 1;
        QTest::newRow("end of row 1") << 80 << 39 << 1;
        QTest::newRow("middle") << 455 << 14 << 11;
        QTest::newRow("last") << 1200 << 39 << 29;
    }
    void cellOfPosition()
    {
        QFETCH(int, p);
        QFETCH(int, c);
        QFETCH(int, r);
        QCOMPARE(cellOf(p), (CellXY{c, r}));
        QCOMPARE(posOf(c, r), p);
    }

    void emptyStageIsRingAroundGround()
    {
        const std::string b = emptyStage();
        QCOMPARE(b.size(), std::size_t(BoardCells));
        QVERIFY(ringIsWall(b));
        QCOMPARE(countCodes(b, Ground, Ground), 28 * 38);
    }

    void newGameBuildsStage_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<double>("countDraw");
        QTest::addColumn<int>("items");
        QTest::newRow("refresh, low count") << 1 << 0.25 << 3;
        QTest::newRow("refresh, high count") << 1 << 0.75 << 4;
        QTest::newRow("five") << 2 << -1.0 << 5;
    }
    void newGameBuildsStage()
    {
        QFETCH(int, mode);
        QFETCH(double, countDraw);
        QFETCH(int, items);

        Rig rig;
        if (countDraw >= 0)
            rig.random.push(countDraw);
        // Item i goes to (2 + i, 3), kind i; the first item's first draw hits
        // the wall and the second item's first draw hits the first item, so
        // both must be drawn again.
        const int itemPos0 = posOf(2, 3);
        for (int i = 0; i < items; ++i) {
            if (i == 0)
                rig.random.push(positionDraw(1));
            if (i == 1)
                rig.random.push(positionDraw(itemPos0));
            rig.random.push({positionDraw(2 + i, 3), kindDraw(i * 2)});
        }
        // The head: first onto an item (refused), then onto ground.
        rig.random.push({positionDraw(itemPos0), positionDraw(20, 15)});

        rig.game.startMode(mode);

        const GameState &s = rig.s();
        QCOMPARE(rig.random.left(), std::size_t(0));
        QCOMPARE(rig.random.overrun(), 0);
        QVERIFY(ringIsWall(s.Board));
        QCOMPARE(countCodes(s.Board, BlueChest, RedPanel), items);
        const char kinds[] = {'3', '3', '3', '4', '6'}; // k = 0, 2, 4, 6, 8
        for (int i = 0; i < items; ++i)
            QCOMPARE(cellAt(s.Board, posOf(2 + i, 3)), kinds[i]);
        QCOMPARE(s.HeadPos, posOf(20, 15));
        QCOMPARE(cellAt(s.Board, s.HeadPos), Ground);
        QCOMPARE(s.GameMode, mode);
        QCOMPARE(s.MoveDir, 0);
        QCOMPARE(s.HeadDir, 3);
        QCOMPARE(rig.screen.painted, s.Board);
    }

    void newGameScreenOrder()
    {
        Rig rig;
        rig.random.push({positionDraw(5, 5), kindDraw(0)});
        for (int i = 1; i < 5; ++i)
            rig.random.push({positionDraw(5 + i, 5), kindDraw(0)});
        rig.random.push(positionDraw(30, 20));
        rig.game.startMode(FiveMode);

        const Log expected{
            "bonus 50",        "score 0",
            "stage 1",         std::string("status ") + texts::BuildingStage,
            "repaintCounters", "repaintStatus",
            "board",           "present",
            "head 30,20 3",    std::string("status ") + texts::PlayingFive,
        };
        QCOMPARE(rig.log, expected);
    }

    void modeStartAbandonsRunningGame()
    {
        Rig rig;
        rig.play(RefreshMode, 10, 10, 3, 2);
        rig.s().Bonus = 17;
        rig.s().Score = 4321;
        rig.s().Stage = 12;
        setCell(rig.s().Board, posOf(9, 10), Hole);

        for (int i = 0; i < 5; ++i)
            rig.random.push({positionDraw(3 + i, 7), kindDraw(9)});
        rig.random.push(positionDraw(30, 20));
        rig.game.startMode(FiveMode);

        const GameState &s = rig.s();
        QCOMPARE(s.Bonus, 50);
        QCOMPARE(s.Score, 0);
        QCOMPARE(s.Stage, 1);
        QCOMPARE(s.MoveDir, 0);
        QCOMPARE(countCodes(s.Board, Hole, Hole), 0);
        QCOMPARE(rig.screen.status, std::string(texts::PlayingFive));
        QCOMPARE(rig.screen.bonus, 50);
        QCOMPARE(rig.screen.score, 0);
        QCOMPARE(rig.screen.stage, 1);
    }

    void arrowKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("moveDir");
        QTest::addColumn<int>("headDir");
        QTest::newRow("left") << 37 << 1 << 0;
        QTest::newRow("up") << 38 << 2 << 1;
        QTest::newRow("right") << 39 << 3 << 2;
        QTest::newRow("down") << 40 << 4 << 3;
        QTest::newRow("letter A") << 65 << 4 << 1;
        QTest::newRow("enter") << 13 << 4 << 1;
        QTest::newRow("escape") << 27 << 4 << 1;
        QTest::newRow("page down (34)") << 34 << 4 << 1;
        QTest::newRow("insert (45)") << 45 << 4 << 1;
    }
    void arrowKeys()
    {
        QFETCH(int, key);
        QFETCH(int, moveDir);
        QFETCH(int, headDir);
        Rig rig;
        // A state where MoveDir and HeadDir disagree, so a key that is not
        // an arrow shows up if it touches either.
        rig.s().MoveDir = 4;
        rig.s().HeadDir = 1;
        rig.game.keyDown(key);
        QCOMPARE(rig.s().MoveDir, moveDir);
        QCOMPARE(rig.s().HeadDir, headDir);
        QCOMPARE(rig.game.timerInterval(), NormalInterval);
        rig.game.keyUp(key);
        QCOMPARE(rig.s().MoveDir, moveDir);
        QVERIFY(rig.log.empty());
    }

    void spaceSwitchesInterval()
    {
        Rig rig;
        rig.game.keyDown(32);
        QCOMPARE(rig.game.timerInterval(), FastInterval);
        rig.game.keyDown(32); // key repeat
        rig.game.keyUp(39);
        QCOMPARE(rig.game.timerInterval(), FastInterval);
        rig.game.keyUp(32);
        QCOMPARE(rig.game.timerInterval(), NormalInterval);
    }

    void onlyTheLastKeyCounts()
    {
        Rig rig;
        rig.play(RefreshMode, 10, 10, 3, 2);
        rig.game.keyDown(38);
        rig.game.keyDown(37);
        rig.game.tick();
        QCOMPARE(rig.s().HeadPos, posOf(9, 10));
        QCOMPARE(rig.log.back(), std::string("bonus 49"));
        QVERIFY(std::find(rig.log.begin(), rig.log.end(), "head 9,10 0") != rig.log.end());
    }

    void keysOnTitleDoNotMoveNextGame()
    {
        Rig rig; // GameMode 0, as on the title screen
        rig.game.keyDown(39);
        rig.game.tick();
        QVERIFY(rig.log.empty());
        for (int i = 0; i < 5; ++i)
            rig.random.push({positionDraw(3 + i, 7), kindDraw(1)});
        rig.random.push(positionDraw(30, 20));
        rig.game.startMode(FiveMode);
        const int head = rig.s().HeadPos;
        rig.game.tick();
        QCOMPARE(rig.s().HeadPos, head);
    }
};

QTEST_APPLESS_MAIN(TestStage)
#include "tst_stage.moc"
