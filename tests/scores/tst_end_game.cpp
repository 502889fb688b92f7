// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The end of a game: the order of its steps, the GAME OVER picture, the
// ranking and the name, with the engine's recording rig as screen and sound.

#include "end_game.h"
#include "engine/rig.h"
#include "player_file.h"
#include "score_rows.h"

#include <QtTest>

using namespace trazzo;

namespace {

struct Ending : NamePrompt, HighScoreView {
    test::Rig rig;
    QStringList &log = rig.log;
    GameState state;
    ScoreTable table;
    QString answer;
    EndGame endGame{state,
                    table,
                    rig,
                    rig,
                    *this,
                    *this,
                    [this] { log << (table.hasUnsaved() ? "save" : "save before the entry"); }};

    QString askName(const QString &prompt) override
    {
        log << prompt;
        if (const PlayerFile file = readPlayerFile(table.ScoreFilePath(), 999); file.kind == PlayerFile::Kind::Read)
            log << "on disk " + QString(file.bytes.split('\n').mid(1).join()).remove('\r');
        return answer;
    }
    void showHighScores() override { log << "form3"; }
};

const HighScores Full = {{{500, "A"}, {300, "B"}, {100, "C"}, {900, "D"}, {800, "E"}, {700, "F"}}};
const QStringList FR = {"500 A", "300 B", "100 C", "900 D", "800 E", "700 F"}, Empty(6, "0 ");
const QString WallText = "status 壁にぶつかってしまい、ゲームオーバーです。",
              HoleText = "status 穴に落ちてしまい、ゲームオーバーです。";
const QString First = "スコアが１位にランクインしました。\n名前を入力して下さい。";
const QString Second = "スコアが２位にランクインしました。\n名前を入力して下さい。";
const QString Third = "スコアが３位にランクインしました。\n名前を入力して下さい。";

} // namespace

class TestEndGame : public QObject {
    Q_OBJECT
private slots:
    void gameOver_data();
    void gameOver();
    void rankedAgainstTheFileNow_data();
    void rankedAgainstTheFileNow();
};

void TestEndGame::gameOver_data()
{
    QTest::addColumn<bool>("full");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("score");
    QTest::addColumn<int>("reason");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("steps"); // the status, then what follows the picture
    const QStringList over = {HoleText, "sound Over.wav"};
    const auto ranked = [](const QString &status, const QString &prompt) {
        return QStringList{status, "sound High.wav", prompt, "save", "form3"};
    };
    QTest::newRow("=1st") << true << 1 << 500 << 0 << "Neo" << with(with(FR, 1, "500 Neo"), 2, "300 B")
                          << ranked(WallText, Second);
    QTest::newRow("=3rd") << true << 1 << 100 << 1 << "Neo" << FR << over;
    QTest::newRow("3rd") << true << 1 << 101 << 1 << "Neo" << with(FR, 2, "101 Neo") << ranked(HoleText, Third);
    QTest::newRow("Five 2nd") << true << 2 << 850 << 7 << "Neo" << with(with(FR, 4, "850 Neo"), 5, "800 E")
                              << ranked(HoleText, Second);
    QTest::newRow("Five 1st") << true << 2 << 901 << 1 << "Neo"
                              << QStringList{"500 A", "300 B", "100 C", "901 Neo", "900 D", "800 E"}
                              << ranked(HoleText, First);
    QTest::newRow("1 on none") << false << 1 << 1 << 1 << "Neo" << with(Empty, 0, "1 Neo") << ranked(HoleText, First);
    QTest::newRow("no mode") << false << 0 << 50 << 0 << "Neo" << Empty << QStringList{WallText};
    QTest::newRow("cancel") << false << 2 << 70 << 1 << "" << with(Empty, 3, "70 ") << ranked(HoleText, First);
    QTest::newRow("breaks") << false << 1 << 9 << 1 << "Ta\nro\r" << with(Empty, 0, "9 Ta ro ")
                            << ranked(HoleText, First);
    // Names are cut at 32 characters as the player counts them.
    const QString letters31(31, 'a'), emoji = "\U0001F600", accented = "e\u0301";
    QTest::newRow("31 letters and an emoji") << false << 1 << 9 << 1 << letters31 + emoji + "b"
                                             << with(Empty, 0, "9 " + letters31 + emoji) << ranked(HoleText, First);
    QTest::newRow("accented letters") << false << 1 << 9 << 1 << accented.repeated(20)
                                      << with(Empty, 0, "9 " + accented.repeated(20)) << ranked(HoleText, First);
    QTest::newRow("too many accented") << false << 1 << 9 << 1 << accented.repeated(33)
                                       << with(Empty, 0, "9 " + accented.repeated(32)) << ranked(HoleText, First);
    // ... and at 1024 bytes, so that six names fit in what is read of a file.
    const QString piled = "a" + QString(200, QChar(0x301)); // 401 bytes
    QTest::newRow("accents piled on") << false << 1 << 9 << 1 << piled.repeated(32)
                                      << with(Empty, 0, "9 " + piled.repeated(2)) << ranked(HoleText, First);
}

void TestEndGame::gameOver()
{
    QFETCH(bool, full);
    QFETCH(int, mode);
    QFETCH(int, score);
    QFETCH(int, reason);
    QFETCH(QString, typed);
    QFETCH(QStringList, steps);
    Ending e;
    e.table.HighScores = full ? Full : HighScores{};
    e.answer = typed;
    e.state = {.GameMode = mode, .HeadDir = 0, .Score = score};
    e.endGame.End_Game(reason);
    QTEST(rowsOf(e.table.HighScores), "after");
    QCOMPARE(e.log, (QStringList{"sound Out.wav", steps[0], "repaintStatus", "board", "present"} + steps.mid(1)));
    QCOMPARE(e.state.GameMode, NoGame);
    QCOMPARE(e.state.HeadDir, 3);
    // "Game" and "over" in red panels (7) on stone (0), as drawn.
    const QString &pic = e.rig.painted;
    QCOMPARE(pic.count('7'), 110);
    QCOMPARE(pic.mid(8 * 40, 80), "0000700070077007707000770000000000000000"
                                  "0000700070700707070707007000000000000000");
    QCOMPARE(pic.mid(22 * 40), "0000000000000000000777000700077007000000" + QString(280, '0'));
}

void TestEndGame::rankedAgainstTheFileNow_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<QStringList>("steps"); // after the picture
    QTest::addColumn<QString>("file");      // the file's entries at the end
    const QString theirs = "000500A000300B000100C000000000000000000";
    // Another copy filled Refresh mode after this one loaded the empty file.
    QTest::newRow("ranks third, not first")
        << 150
        << QStringList{"sound High.wav", Third, "on disk 000500A000300B000150000000000000000000", "save", "form3"}
        << "000500A000300B000150Neo000000000000000000";
    QTest::newRow("does not rank any more") << 90 << QStringList{"sound Over.wav"} << theirs;
    // Another copy's player gave no name to the same score: ours is the one
    // below it, and only ours takes the name.
    QTest::newRow("equal to one with no name")
        << 100 << QStringList{"sound High.wav", Third, "on disk 000500A000100000100000000000000000000", "save", "form3"}
        << "000500A000100000100Neo000000000000000000";
}

void TestEndGame::rankedAgainstTheFileNow()
{
    QFETCH(int, score);
    QFETCH(QStringList, steps);
    QTemporaryDir d;
    const QString ini = d.filePath("Trazzo.ini");
    Ending e;
    e.table = ScoreTable(ini);
    e.table.HightScore_Load();
    QFile file(ini); // another copy saved meanwhile
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(score == 100 ? "Trazzo\r\n000500A\r\n000100\r\n000000\r\n000000\r\n000000\r\n000000\r\n"
                            : "Trazzo\r\n000500A\r\n000300B\r\n000100C\r\n000000\r\n000000\r\n000000\r\n");
    file.close();
    e.answer = "Neo";
    e.state = {.GameMode = RefreshMode, .HeadDir = 0, .Score = score};
    int reason = 1;
    e.endGame.End_Game(reason);
    QCOMPARE(e.table.hasUnsaved(), !steps.contains("sound Over.wav")); // the name waits for the window's save
    e.table.HightScore_Save();
    QCOMPARE(e.log.mid(5), steps);
    QTEST(QString(readPlayerFile(ini, 999).bytes.split('\n').mid(1).join()).remove('\r'), "file");
}

QTEST_GUILESS_MAIN(TestEndGame)
#include "tst_end_game.moc"
