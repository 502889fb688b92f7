// The three panels' hole filling, and the renewal of a cleared stage.

#include "engine_fakes.h"

#include <QtTest>

#include <algorithm>

using namespace trazzo;
using namespace trazzo::test;

namespace {

// Every interior cell a hole, except the head's cell which holds the panel.
std::string allHoles(int headPos, char panel)
{
    std::string b = emptyStage();
    for (char &k : b)
        if (k == Ground)
            k = Hole;
    setCell(b, headPos, panel);
    return b;
}

// True when `after` differs from `before` only where a hole became ground.
bool onlyHolesFilled(const std::string &before, const std::string &after)
{
    for (std::size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i] && !(before[i] == Hole && after[i] == Ground))
            return false;
    return true;
}

std::vector<int> positionsOf(const std::string &b, char lo, char hi)
{
    std::vector<int> out;
    for (int p = 1; p <= BoardCells; ++p)
        if (cellAt(b, p) >= lo && cellAt(b, p) <= hi)
            out.push_back(p);
    return out;
}

} // namespace

class TestFills : public QObject {
    Q_OBJECT

private slots:
    void scatterDrawCount_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("draws");
        QTest::newRow("stage 2") << 2 << 13;
        QTest::newRow("stage 39") << 39 << 50;
        QTest::newRow("stage 40") << 40 << 51;
        QTest::newRow("stage 300") << 300 << 51;
    }
    void scatterDrawCount()
    {
        QFETCH(int, stage);
        QFETCH(int, draws);
        Rig rig;
        rig.play(RefreshMode, 20, 15);
        rig.s().Stage = stage;
        rig.s().Board = allHoles(rig.s().HeadPos, BluePanel);
        sketch(rig.s().Board, 5, 5, {"34567"});
        const std::string before = rig.s().Board;
        // Aim at holes, the same hole twice, walls, items and the head.
        std::vector<int> targets{posOf(3, 3), posOf(3, 3), 1, posOf(5, 5), posOf(9, 5), rig.s().HeadPos};
        for (int i = 0; int(targets.size()) < draws + 5; ++i)
            targets.push_back(posOf(1 + i % 38, 20 + i / 38));
        for (int t : targets)
            rig.random.push(positionDraw(t));

        rig.game.Fill_Scatter();

        QCOMPARE(rig.random.used(), std::size_t(draws));
        QVERIFY(onlyHolesFilled(before, rig.s().Board));
        int filled = 0;
        for (std::size_t i = 0; i < before.size(); ++i)
            filled += before[i] != rig.s().Board[i] ? 1 : 0;
        // Distinct holes among the draws taken: the repeat and the five
        // non-holes give nothing.
        QCOMPARE(filled, draws - 5);
        QVERIFY(rig.log.empty());
    }

    void squareSize_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("half");
        QTest::newRow("stage 2") << 2 << 1;
        QTest::newRow("stage 9") << 9 << 1;
        QTest::newRow("stage 10") << 10 << 2;
        QTest::newRow("stage 29") << 29 << 2;
        QTest::newRow("stage 30") << 30 << 3;
        QTest::newRow("stage 50") << 50 << 4;
        QTest::newRow("stage 69") << 69 << 4;
        QTest::newRow("stage 75") << 75 << 5;
        QTest::newRow("stage 9999") << 9999 << 5;
    }
    void squareSize()
    {
        QFETCH(int, stage);
        QFETCH(int, half);
        Rig rig;
        rig.play(RefreshMode, 20, 15);
        rig.s().Stage = stage;
        rig.s().Board = allHoles(rig.s().HeadPos, GreenPanel);
        const std::string before = rig.s().Board;

        rig.game.Fill_Square();

        const std::string &after = rig.s().Board;
        QVERIFY(onlyHolesFilled(before, after));
        for (int p = 1; p <= BoardCells; ++p) {
            const CellXY cell = cellOf(p);
            const bool inside = std::abs(cell.c - 20) <= half && std::abs(cell.r - 15) <= half;
            if (before[std::size_t(p - 1)] == Hole)
                QCOMPARE(cellAt(after, p), inside ? Ground : Hole);
        }
        QCOMPARE(rig.random.used(), std::size_t(0));
    }

    void squareCutAtTheCorner()
    {
        Rig rig;
        rig.play(RefreshMode, 1, 1);
        rig.s().Stage = 2;
        rig.s().Board = allHoles(rig.s().HeadPos, GreenPanel);
        const std::string before = rig.s().Board;
        rig.game.Fill_Square();
        const std::vector<int> filled{posOf(2, 1), posOf(1, 2), posOf(2, 2)};
        for (int p = 1; p <= BoardCells; ++p) {
            const bool shouldFill = std::find(filled.begin(), filled.end(), p) != filled.end();
            QCOMPARE(cellAt(rig.s().Board, p), shouldFill ? Ground : before[std::size_t(p - 1)]);
        }
    }

    void chainEatsLineBackwards_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("one hole") << 1;
        QTest::newRow("five holes") << 5;
        QTest::newRow("twenty holes") << 20;
    }
    void chainEatsLineBackwards()
    {
        QFETCH(int, length);
        Rig rig;
        // The head at (30, 10) came from the left along row 10.
        rig.play(RefreshMode, 30, 10, 0, 2);
        setCell(rig.s().Board, rig.s().HeadPos, RedPanel);
        for (int i = 1; i <= length; ++i)
            setCell(rig.s().Board, posOf(30 - i, 10), Hole);
        // A hole two cells off the line's end stays.
        setCell(rig.s().Board, posOf(30 - length - 2, 10), Hole);
        // Each step: one refused draw (up) before the one hole to the left.
        for (int i = 0; i < length; ++i)
            rig.random.push({directionDraw(2), directionDraw(1)});

        rig.game.Fill_Chain();

        Log expected;
        for (int i = 1; i <= length; ++i) {
            expected.push_back("cell " + std::to_string(30 - i) + ",10 2");
            expected.push_back("present");
            expected.push_back("pause");
        }
        expected.push_back("present");
        QCOMPARE(rig.log, expected);
        QCOMPARE(rig.random.left(), std::size_t(0));
        QCOMPARE(countCodes(rig.s().Board, Hole, Hole), 1);
        QCOMPARE(cellAt(rig.s().Board, rig.s().HeadPos), RedPanel);
    }

    void chainFollowsTheDrawnBranch()
    {
        Rig rig;
        rig.play(RefreshMode, 10, 10);
        setCell(rig.s().Board, rig.s().HeadPos, RedPanel);
        //   column 9 10 11
        // row  9    1  .  1
        // row 10    1  H  1
        sketch(rig.s().Board, 9, 9, {"121", "171"});
        const std::string before = rig.s().Board;
        rig.random.push({directionDraw(3), directionDraw(2)}); // right, then up
        rig.game.Fill_Chain();
        QVERIFY(onlyHolesFilled(before, rig.s().Board));
        QCOMPARE(cellAt(rig.s().Board, posOf(11, 10)), Ground);
        QCOMPARE(cellAt(rig.s().Board, posOf(11, 9)), Ground);
        QCOMPARE(cellAt(rig.s().Board, posOf(9, 10)), Hole);
        QCOMPARE(cellAt(rig.s().Board, posOf(9, 9)), Hole);
        QCOMPARE(rig.random.left(), std::size_t(0));
    }

    void refreshRenewal()
    {
        Rig rig;
        rig.play(RefreshMode, 1, 1);
        rig.s().Stage = 2;
        //  walls in row 0 and column 0; head on (1,1) holding a taken chest
        sketch(rig.s().Board, 1, 1, {"341", "154", "1116"});
        setCell(rig.s().Board, posOf(30, 20), GreenPanel); // far away
        setCell(rig.s().Board, posOf(10, 10), Hole);       // stays a hole
        rig.random.push(0.99);                             // n = Int(0.99 * 2 / 8) + 3 = 3: four items
        rig.random.push({positionDraw(1), positionDraw(1, 1), positionDraw(10, 10), kindDraw(9)});
        rig.random.push({positionDraw(5, 5), kindDraw(5)});
        rig.random.push({positionDraw(5, 5), kindDraw(7)}); // overwrites the last
        rig.random.push({positionDraw(6, 6), kindDraw(0)});

        rig.game.Stage_Renew();

        const std::string &b = rig.s().Board;
        QCOMPARE(rig.random.left(), std::size_t(0));
        QCOMPARE(cellAt(b, posOf(0, 0)), Wall);
        for (int c = 1; c <= 2; ++c)
            for (int r = 1; r <= 2; ++r)
                QCOMPARE(cellAt(b, posOf(c, r)), Ground);
        QCOMPARE(cellAt(b, posOf(3, 1)), Hole); // outside the block
        QCOMPARE(cellAt(b, posOf(10, 10)), RedPanel);
        QCOMPARE(cellAt(b, posOf(5, 5)), BluePanel);
        QCOMPARE(cellAt(b, posOf(6, 6)), BlueChest);
        QCOMPARE(positionsOf(b, BlueChest, RedPanel), (std::vector<int>{posOf(5, 5), posOf(6, 6), posOf(10, 10)}));
        const Log expected{"board", "head 1,1 3"};
        QCOMPARE(rig.log, expected);
        QCOMPARE(rig.screen.painted, b);
    }

    void refreshItemCount_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<double>("draw");
        QTest::addColumn<int>("placed");
        QTest::newRow("stage 8, high draw") << 8 << 0.99 << 4;
        QTest::newRow("stage 9, low draw") << 9 << 0.5 << 4;
        QTest::newRow("stage 9, high draw") << 9 << 0.9 << 5;
        QTest::newRow("stage 24, high draw") << 24 << 0.99 << 6;
        QTest::newRow("stage 145, high draw") << 145 << 0.999 << 21;
        QTest::newRow("stage 100000, high draw") << 100000 << 0.999 << 21;
    }
    void refreshItemCount()
    {
        QFETCH(int, stage);
        QFETCH(double, draw);
        QFETCH(int, placed);
        Rig rig;
        rig.play(RefreshMode, 20, 15);
        rig.s().Stage = stage;
        rig.random.push(draw);
        for (int i = 0; i < placed; ++i)
            rig.random.push({positionDraw(2 + i, 3), kindDraw(0)});
        rig.game.Stage_Renew();
        QCOMPARE(rig.random.left(), std::size_t(0));
        QCOMPARE(rig.random.overrun(), 0);
        QCOMPARE(countCodes(rig.s().Board, BlueChest, RedPanel), placed);
    }

    void fiveRenewal()
    {
        Rig rig;
        rig.play(FiveMode, 10, 10);
        rig.s().Stage = 3;
        sketch(rig.s().Board, 9, 9, {"311", "161", "112"});
        setCell(rig.s().Board, posOf(12, 10), Hole); // two cells off: stays
        setCell(rig.s().Board, posOf(20, 20), OrangeChest);
        // No count draw: the head is refused, then a hole gets the item.
        rig.random.push({positionDraw(10, 10), positionDraw(12, 10), kindDraw(8)});

        rig.game.Stage_Renew();

        const std::string &b = rig.s().Board;
        QCOMPARE(rig.random.left(), std::size_t(0));
        QCOMPARE(cellAt(b, posOf(9, 9)), BlueChest); // diagonal item stays
        QCOMPARE(cellAt(b, posOf(10, 10)), Ground);
        QCOMPARE(cellAt(b, posOf(20, 20)), OrangeChest);
        QCOMPARE(cellAt(b, posOf(12, 10)), GreenPanel);
        QCOMPARE(countCodes(b, Hole, Hole), 0);
        QCOMPARE(countCodes(b, BlueChest, RedPanel), 3);
    }

    void itemKinds_data()
    {
        QTest::addColumn<int>("k");
        QTest::addColumn<char>("code");
        const char codes[] = "3333344567";
        for (int k = 0; k < 10; ++k)
            QTest::addRow("k=%d", k) << k << codes[k];
    }
    void itemKinds()
    {
        QFETCH(int, k);
        QFETCH(char, code);
        Rig rig;
        rig.play(FiveMode, 10, 10);
        rig.random.push({positionDraw(5, 5), kindDraw(k)});
        rig.game.Stage_Renew();
        QCOMPARE(cellAt(rig.s().Board, posOf(5, 5)), code);
    }

    void drawAtTheTopOfTheRangeStaysOnTheBoard()
    {
        // A random source that returns its upper bound must neither write
        // past the board's end nor pick a kind outside the table.
        Rig rig;
        rig.play(FiveMode, 10, 10);
        rig.random.push({1.0, positionDraw(5, 5), 1.0});
        rig.game.Stage_Renew();
        QCOMPARE(rig.s().Board.size(), std::size_t(BoardCells));
        QCOMPARE(rig.random.left(), std::size_t(0));
        QCOMPARE(cellAt(rig.s().Board, posOf(5, 5)), RedPanel);
        QCOMPARE(cellAt(rig.s().Board, BoardCells), Wall);
    }
};

QTEST_APPLESS_MAIN(TestFills)
#include "tst_fills.moc"
