// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The rules of the engine, case by case. Boards are rows of cell codes
// split by '/': 0 wall, 1 hole, 2 ground, 3..7 items, H the head on ground.

#include "rig.h"

using namespace trazzo;
using namespace trazzo::test;

class TestRules : public QObject {
    Q_OBJECT
private slots:
    void tick_data()
    {
        columns<int, QString, int, QString, int, QString>("mode", "before", "key", "log", "bonus", "after");
        const QString start = "0000/0222/02H2", left = "0000/0222/0212";
        QTest::newRow("right") << 1 << start << 39 << "cell 2,2 1|head 3,2 2|bonus 49" << 50 << left;
        QTest::newRow("up") << 2 << start << 38 << "cell 2,2 1|head 2,1 1|bonus 49" << 50 << left;
        QTest::newRow("down, at the floor") << 1 << start << 40 << "cell 2,2 1|head 2,3 3|bonus 10" << 10 << left;
        QTest::newRow("left, to the floor") << 1 << start << 37 << "cell 2,2 1|head 1,2 0|bonus 10" << 11 << left;
        QTest::newRow("into the wall") << 1 << "0000/0H22/0222" << 37 << "cell 1,1 1|present|end 0" << 50
                                       << "0000/0122/0222";
        QTest::newRow("into a hole") << 2 << "0000/0212/02H2" << 38 << "cell 2,2 1|present|end 1" << 50
                                     << "0000/0212/0212";
        QTest::newRow("no game") << 0 << start << 39 << "" << 50 << "0000/0222/0222";
        QTest::newRow("a head put on the wall") << 1 << "H000/0222/0222" << 39 << "" << 50 << "2000/0222/0222";
    }
    void tick()
    {
        Rig rig;
        rig.play(cell<int>("mode"), 0, 0, cell<QString>("before"), cell<int>("bonus"));
        // A modal dialog of the game over runs the event loop, and the timer
        // fires in it: that tick must not move the head of a game that ended.
        rig.duringEnd = [&rig] { rig.game.tick(); };
        rig.game.keyDown(cell<int>("key"));
        rig.game.tick();
        QTEST(rig.log.join('|'), "log");
        QTEST(rig.rows(0, 0, 4, 3), "after");
    }

    void start_data()
    {
        columns<int, QString, Script, QString>("mode", "items", "script", "status"); // items: row 5 from column 5
        // Refused: a wall, a cell taken, and for the head an item.
        const Script three{at(0, 0), at(5, 5), kind(0), at(5, 5), at(6, 5), kind(5), at(7, 5), kind(9)};
        const Script head{at(5, 5), at(9, 9)}, five{at(5, 5), kind(4), at(6, 5), kind(6), at(7, 5), kind(7)};
        QTest::newRow("refresh") << 1 << "34722" << Script{0.49} + three + head << "リフレッシュモードでプレイ中";
        QTest::newRow("five") << 2 << "34567" << five + Script{at(8, 5), kind(8), at(9, 5), kind(9)} + head
                              << "ファイブモードでプレイ中";
    }
    void start()
    {
        const QString items = cell<QString>("items");
        Rig rig;
        rig.play(1, 4, 4, "1/2H", 17, 40); // a game under way is dropped
        rig.s.MoveDir = 2;
        rig.s.HeadDir = 0;
        rig.script = cell<Script>("script");
        rig.game.startMode(cell<int>("mode"));
        QCOMPARE(rig.log.join('|'), "bonus 50|score 0|stage 1|status ステージ作成中|repaint|repaintStatus|board|"
                                    "present|head 9,9 3|status " +
                                        cell<QString>("status"));
        QCOMPARE(rig.rows(5, 5, 5, 1), items);
        QCOMPARE(rig.items(), items.size() - items.count(u'2'));
        QCOMPARE(rig.s.Board.find(Hole), std::string::npos);
        QCOMPARE(rig.s.MoveDir, 0);
        QVERIFY(rig.script.empty());
    }

    // The head takes the item on its right, in Five mode; the stage's new
    // item goes to (20, 20).
    void item_data()
    {
        columns<QString, int, int, Script, QString, int, int, QString>("board", "bonus", "stage", "effect", "sound",
                                                                       "score", "newBonus", "after");
        const Script scatter = Script{at(8, 5), at(9, 5), at(0, 0)} + Script(10, at(30, 20));
        QTest::newRow("blue chest") << "H3214" << 38 << 1 << Script{} << "Gold.wav" << 37 << 55 << "22214";
        QTest::newRow("orange chest") << "H4214" << 11 << 1 << Script{} << "Gold.wav" << 20 << 55 << "22214";
        QTest::newRow("blue panel") << "H5214" << 50 << 1 << scatter << "Get.wav" << 49 << 55 << "22224";
        QTest::newRow("blue panel, stage 45")
            << "H5214" << 50 << 45 << Script(51, at(30, 20)) << "Get.wav" << 49 << 275 << "22214";
        QTest::newRow("green panel") << "H6214" << 50 << 189 << Script{} << "Get.wav" << 49 << 995 << "22224";
        QTest::newRow("red panel") << "H7214" << 50 << 190 << Script{way(1)} << "Get.wav" << 49 << 999 << "22214";
    }
    void item()
    {
        const int bonus = cell<int>("bonus"), score = cell<int>("score"), newBonus = cell<int>("newBonus");
        Rig rig;
        rig.play(2, 5, 5, cell<QString>("board"), bonus, cell<int>("stage"));
        rig.script = cell<Script>("effect") + Script{at(20, 20), kind(0)};
        rig.game.keyDown(39);
        rig.game.tick();
        const QString stage = QString("stage %1").arg(rig.s.Stage), paid = QString("score %1").arg(score);
        QCOMPARE(rig.log.mid(2, 2).join('|'), QString("bonus %1|sound ").arg(bonus - 1) + cell<QString>("sound"));
        QCOMPARE(rig.log.count("repaint"), bonus - 1); // one unit at a time, each shown at once
        QCOMPARE(rig.log.mid(rig.log.indexOf(stage) - 3, 7).join('|'),
                 "bonus 0|" + paid + "|repaint|" + stage + "|cell 6,5 2|head 6,5 2|present");
        QCOMPARE(rig.log.mid(rig.log.size() - 5).join('|'),
                 QString("board|head 6,5 2|bonus %1|").arg(newBonus) + paid + "|" + stage);
        QCOMPARE(rig.s.Stage, cell<int>("stage") + 1);
        QCOMPARE(rig.s.Bonus, newBonus);
        QCOMPARE(rig.s.MoveDir, 0);
        QTEST(rig.rows(5, 5, 5, 1), "after");
        QVERIFY(rig.script.empty());
    }

    // Cut at the board's edge: the cells next to the walls are filled too.
    void squareAtTheWalls_data()
    {
        columns<QString, int, int, int, QString>("before", "stage", "c0", "r0", "after");
        QTest::newRow("top left") << "0000/0H11/0111/0111" << 9 << 0 << 0 << "0000/0221/0221/0111";
        QTest::newRow("top left, stage 70")
            << "00000000/0H111111/01111111/01111111/01111111/01111111/01111111/01111111" << 70 << 0 << 0
            << "00000000/02222221/02222221/02222221/02222221/02222221/02222221/01111111";
        QTest::newRow("right") << "1110/1110/11H0/1110/1110" << 2 << 36 << 20 << "1110/1220/1220/1220/1110";
        QTest::newRow("right, bottom") << "111110/111110/111110/111H10/111110/111110/000000" << 10 << 34 << 23
                                       << "111110/122220/122220/122220/122220/122220/000000";
    }
    void squareAtTheWalls()
    {
        const QString before = cell<QString>("before");
        const int c0 = cell<int>("c0"), r0 = cell<int>("r0");
        Rig rig;
        rig.play(1, c0, r0, before, 50, cell<int>("stage"));
        rig.game.Fill_Square();
        QTEST(rig.rows(c0, r0, int(before.indexOf('/')), int(before.count('/')) + 1), "after");
    }

    void chain_data()
    {
        columns<QString, Script, QString, QString>("before", "ways", "log", "after"); // boards from (5, 5)
        const QString two = "|present|pause|cell ", three = two + "%1|present|pause|present";
        QTest::newRow("up the line") << "212/212/212/2H2" << Script{way(2), way(2), way(2)}
                                     << "cell 6,7 2" + two + "6,6 2" + three.arg("6,5 2") << QString("222/222/222/222");
        QTest::newRow("down, a way drawn again")
            << "2H2/212/112" << Script{way(1), way(4), way(4), way(1)}
            << "cell 6,6 2" + two + "6,7 2" + three.arg("5,7 2") << QString("222/222/222");
        QTest::newRow("one branch of a fork")
            << "111/2H2" << Script{way(2), way(3)} << "cell 6,5 2" + three.arg("7,5 2") << QString("122/222");
        QTest::newRow("right along the row")
            << "H11/222" << Script{way(3), way(3)} << "cell 6,5 2" + three.arg("7,5 2") << QString("222/222");
    }
    void chain()
    {
        const QString before = cell<QString>("before");
        Rig rig;
        rig.play(1, 5, 5, before);
        rig.script = cell<Script>("ways");
        rig.game.Fill_Chain();
        QTEST(rig.log.join('|'), "log");
        QTEST(rig.rows(5, 5, 3, int(before.count('/')) + 1), "after");
        QVERIFY(rig.script.empty());
    }

    // The red panel taken at (6, 6): holes in three corners of the block
    // round it, an item in the fourth, a blue chest far off; the new items'
    // draws first hit a wall, the head, then a hole.
    void renewal_data()
    {
        columns<int, int, Script, QString, int>("mode", "stage", "script", "after", "items"); // after: from (4, 4)
        const QString cleared = "31111/12221/12221/12221/11111";
        Script first{at(0, 0), at(6, 6), at(4, 4), kind(0)}, more;
        for (int i = 1; i < 21; ++i)
            more << at(i, 1) << kind(i % 10);
        QTest::newRow("five") << 2 << 2 << first << "31111/12221/14251/12231/11111" << 5;
        QTest::newRow("refresh, stage 8: 4") << 1 << 8 << Script{0.99} + first + more.mid(0, 6) << cleared << 4;
        QTest::newRow("refresh, stage 9: 5") << 1 << 9 << Script{0.9} + first + more.mid(0, 8) << cleared << 5;
        QTest::newRow("refresh, stage 200: 21") << 1 << 200 << Script{0.99} + first + more << cleared << 21;
    }
    void renewal()
    {
        Rig rig;
        rig.play(cell<int>("mode"), 4, 4, "11111/11111/14751/11131/11111", 50, cell<int>("stage"));
        rig.s.HeadPos = pos(6, 6);
        rig.s.Board[std::size_t(pos(20, 20) - 1)] = '3';
        rig.script = cell<Script>("script");
        rig.game.Stage_Renew();
        QTEST(rig.rows(4, 4, 5, 5), "after");
        QTEST(rig.items(), "items");
        QCOMPARE(rig.log.join('|'), "board|head 6,6 3");
        QVERIFY(rig.script.empty());
    }
};

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
