// The end of a game: the order of its steps, the GAME OVER picture, the
// ranking and the name, with recording fakes for the screen and sound.

#include "end_game.h"
#include "engine/engine_fakes.h"

#include <QtTest>

using namespace trazzo;
using trazzo::test::Log;

namespace {

struct Ending : NamePrompt, HighScoreView {
    Log log;
    GameState state;
    ScoreTable table;
    test::RecordingScreen screen{log};
    test::RecordingSound sound{log};
    QString answer = "Neo";
    QStringList prompts;
    EndGame endGame{state, table, screen, sound, *this, *this, [this] { log.push_back("keep"); }};

    QString askName(const QString &prompt) override { return log.push_back("prompt"), prompts << prompt, answer; }
    void showHighScores() override { log.push_back("form3"); }
};

// "500 Ann" per slot, and back.
HighScores tableOf(const QStringList &rows)
{
    HighScores t;
    for (std::size_t k = 0; k < t.size(); ++k)
        t[k] = {rows[int(k)].section(' ', 0, 0).toInt(), rows[int(k)].section(' ', 1)};
    return t;
}

QStringList slotsOf(const HighScores &t)
{
    QStringList out;
    for (const ScoreEntry &e : t)
        out << QString::number(e.Score) + ' ' + e.Name;
    return out;
}

const QStringList Full = {"500 A", "300 B", "100 C", "900 D", "800 E", "700 F"};
const QStringList Empty(6, "0 ");

} // namespace

class TestEndGame : public QObject {
    Q_OBJECT
private slots:
    void steps_data();
    void steps();
    void pictureSpellsGameOver();
    void ranking_data();
    void ranking();
};

void TestEndGame::steps_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<int>("reason");
    QTest::addColumn<QStringList>("steps");
    const QString wall = "status 壁にぶつかってしまい、ゲームオーバーです。";
    const QString hole = "status 穴に落ちてしまい、ゲームオーバーです。";
    const QStringList end = {"repaintStatus", "board", "present"};
    QTest::newRow("ranks, wall") << 50 << 0
                                 << QStringList{"sound Out.wav", wall} + end +
                                        QStringList{"sound High.wav", "prompt", "keep", "form3"};
    QTest::newRow("no rank, hole") << 0 << 1 << QStringList{"sound Out.wav", hole} + end + QStringList{"sound Over.wav"};
    QTest::newRow("other code") << 0 << 7 << QStringList{"sound Out.wav", hole} + end + QStringList{"sound Over.wav"};
}

void TestEndGame::steps()
{
    QFETCH(int, score);
    QFETCH(int, reason);
    Ending e;
    e.state = {.GameMode = RefreshMode, .HeadDir = 0, .Score = score};
    e.endGame.End_Game(reason);
    QStringList got;
    for (const std::string &s : e.log)
        got << QString::fromStdString(s);
    QTEST(got, "steps");
    QCOMPARE(e.state.GameMode, NoGame);
    QCOMPARE(e.state.HeadDir, 3);
    QCOMPARE(e.screen.painted, gameOverPicture());
}

void TestEndGame::pictureSpellsGameOver()
{
    const QString pic = QString::fromStdString(gameOverPicture());
    QCOMPARE(pic.size(), 1200);
    const auto row = [&](int r) { return pic.mid(r * 40, 40); };
    QCOMPARE(row(7), "0000077700000000000000000000000000000000");
    QCOMPARE(row(9), "0000700070700707070707007000000000000000");
    QCOMPARE(row(12), "0000700070700707070707007000000000000000");
    QCOMPARE(row(13), "0000077770077707070700770000000000000000");
    QCOMPARE(row(22), "0000000000000000000777000700077007000000");
    for (int r : {0, 6, 14, 15, 23, 29})
        QCOMPARE(row(r), QString(40, '0'));
    QCOMPARE(pic.count('7'), 110);
}

void TestEndGame::ranking_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("score");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("rank");
    const auto with = [](QStringList l, int k, const QString &s) { return l.replace(k, s), l; };
    QTest::newRow("equal to first ranks second")
        << Full << 1 << 500 << "Neo" << with(with(Full, 1, "500 Neo"), 2, "300 B") << "２";
    QTest::newRow("equal to third does not rank") << Full << 1 << 100 << "Neo" << Full << "";
    QTest::newRow("one above third ranks third") << Full << 1 << 101 << "Neo" << with(Full, 2, "101 Neo") << "３";
    QTest::newRow("Five mode, full, second")
        << Full << 2 << 850 << "Neo" << with(with(Full, 4, "850 Neo"), 5, "800 E") << "２";
    QTest::newRow("Five mode, full, first") << Full << 2 << 901 << "Neo"
                                            << QStringList{"500 A", "300 B", "100 C", "901 Neo", "900 D", "800 E"}
                                            << "１";
    QTest::newRow("0 on an empty table") << Empty << 1 << 0 << "Neo" << Empty << "";
    QTest::newRow("1 on an empty table") << Empty << 1 << 1 << "Neo" << with(Empty, 0, "1 Neo") << "１";
    QTest::newRow("no mode, no ranking") << Empty << 0 << 50 << "Neo" << Empty << "";
    QTest::newRow("cancelled: empty name") << Empty << 2 << 70 << "" << with(Empty, 3, "70 ") << "１";
    QTest::newRow("line break in a name") << Empty << 1 << 9 << "Ta\nro\r" << with(Empty, 0, "9 Ta ro ") << "１";
}

void TestEndGame::ranking()
{
    QFETCH(QStringList, before);
    QFETCH(int, mode);
    QFETCH(int, score);
    QFETCH(QString, rank);
    Ending e;
    e.table.HighScores = tableOf(before);
    QFETCH(QString, typed);
    e.answer = typed;
    e.state = {.GameMode = mode, .Score = score};
    int reason = 1;
    e.endGame.End_Game(reason);
    QTEST(slotsOf(e.table.HighScores), "after");
    QCOMPARE(e.prompts, rank.isEmpty() ? QStringList() : QStringList{"スコアが" + rank + "位にランクインしました。\n名前を入力して下さい。"});
    QCOMPARE(e.table.hasUnsaved(), !rank.isEmpty());
}

QTEST_GUILESS_MAIN(TestEndGame)
#include "tst_end_game.moc"
