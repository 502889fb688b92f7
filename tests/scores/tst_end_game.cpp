// The end of a game: the order of its steps, the GAME OVER picture, the
// ranking and the name, with recording fakes for the screen and sound.

#include "end_game.h"
#include "engine/engine_fakes.h"

#include <QtTest>

using namespace trazzo;
using trazzo::test::Log;

namespace {

class ScriptedPrompt : public NamePrompt {
public:
    explicit ScriptedPrompt(Log &log) : m_log(log) {}
    QString askName(const QString &prompt) override
    {
        prompts << prompt;
        m_log.push_back("prompt");
        return answer;
    }
    QString answer;
    QStringList prompts;

private:
    Log &m_log;
};

class RecordingView : public HighScoreView {
public:
    explicit RecordingView(Log &log) : m_log(log) {}
    void showHighScores() override { m_log.push_back("form3"); }

private:
    Log &m_log;
};

struct Ending {
    Log log;
    GameState state;
    HighScores table;
    test::RecordingScreen screen{log};
    test::RecordingSound sound{log};
    ScriptedPrompt prompt{log};
    RecordingView view{log};
    EndGame endGame{state, table, screen, sound, prompt, view};

    void run(int mode, int score, int reason = 0)
    {
        state.GameMode = mode;
        state.Score = score;
        state.HeadDir = 0;
        endGame.End_Game(reason);
    }
};

HighScores refresh(int a, int b, int c)
{
    HighScores t;
    t[0] = {a, "A"};
    t[1] = {b, "B"};
    t[2] = {c, "C"};
    t[3] = {900, "five"};
    return t;
}

} // namespace

Q_DECLARE_METATYPE(trazzo::HighScores)

class TestEndGame : public QObject {
    Q_OBJECT
private slots:
    void stepsComeInOrder_data();
    void stepsComeInOrder();
    void reasonPicksTheMessage_data();
    void reasonPicksTheMessage();
    void pictureSpellsGameOver();
    void ranking_data();
    void ranking();
    void cancelledNameIsStoredEmpty();
};

void TestEndGame::stepsComeInOrder_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<QStringList>("steps");
    const QStringList start = {"sound Out.wav", "status", "repaintStatus", "board", "present"};
    QTest::newRow("ranks") << 50 << start + QStringList{"sound High.wav", "prompt", "form3"};
    QTest::newRow("does not rank") << 0 << start + QStringList{"sound Over.wav"};
}

void TestEndGame::stepsComeInOrder()
{
    QFETCH(int, score);
    QFETCH(QStringList, steps);
    Ending e;
    e.run(RefreshMode, score);
    QStringList got;
    for (const std::string &s : e.log)
        got << QString::fromStdString(s).section(' ', 0, s.rfind(".wav") != std::string::npos ? 1 : 0);
    QCOMPARE(got, steps);
    QCOMPARE(e.state.GameMode, NoGame);
    QCOMPARE(e.state.HeadDir, 3);
    QCOMPARE(e.screen.painted, gameOverPicture());
}

void TestEndGame::reasonPicksTheMessage_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<QString>("message");
    QTest::newRow("wall") << 0 << "壁にぶつかってしまい、ゲームオーバーです。";
    QTest::newRow("hole") << 1 << "穴に落ちてしまい、ゲームオーバーです。";
    QTest::newRow("any other code") << 7 << "穴に落ちてしまい、ゲームオーバーです。";
}

void TestEndGame::reasonPicksTheMessage()
{
    QFETCH(int, reason);
    QFETCH(QString, message);
    Ending e;
    e.run(FiveMode, 0, reason);
    QCOMPARE(QString::fromStdString(e.screen.status), message);
}

void TestEndGame::pictureSpellsGameOver()
{
    const std::string pic = gameOverPicture();
    QCOMPARE(pic.size(), std::size_t(1200));
    auto row = [&](int r) { return QString::fromStdString(pic.substr(std::size_t(r) * 40, 40)); };
    QCOMPARE(row(7), QStringLiteral("0000077700000000000000000000000000000000"));
    QCOMPARE(row(12), row(9));
    QCOMPARE(row(13), QStringLiteral("0000077770077707070700770000000000000000"));
    QCOMPARE(row(22), QStringLiteral("0000000000000000000777000700077007000000"));
    for (int r : {0, 6, 14, 15, 23, 29})
        QCOMPARE(row(r), QString(40, '0'));
    QCOMPARE(QString::fromStdString(pic).count('7'), 110);
}

void TestEndGame::ranking_data()
{
    QTest::addColumn<HighScores>("before");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("score");
    QTest::addColumn<HighScores>("after");
    QTest::addColumn<QString>("firstPromptLine");

    const HighScores t = refresh(500, 300, 100);
    HighScores second = t;
    second[1] = {500, "Neo"};
    second[2] = {300, "B"};
    QTest::newRow("equal to first ranks second") << t << 1 << 500 << second << "スコアが２位にランクインしました。";
    QTest::newRow("equal to third does not rank") << t << 1 << 100 << t << "";
    HighScores third = t;
    third[2] = {101, "Neo"};
    QTest::newRow("one above third ranks third") << t << 1 << 101 << third << "スコアが３位にランクインしました。";
    HighScores five = t;
    five[3] = {901, "Neo"};
    five[4] = {900, "five"};
    QTest::newRow("Five mode goes to slot 3") << t << 2 << 901 << five << "スコアが１位にランクインしました。";
    QTest::newRow("0 on an empty table") << HighScores{} << 1 << 0 << HighScores{} << "";
    HighScores one;
    one[0] = {1, "Neo"};
    QTest::newRow("1 on an empty table") << HighScores{} << 1 << 1 << one << "スコアが１位にランクインしました。";
    QTest::newRow("no mode, no ranking") << HighScores{} << 0 << 50 << HighScores{} << "";
}

void TestEndGame::ranking()
{
    QFETCH(HighScores, before);
    QFETCH(int, mode);
    QFETCH(int, score);
    QFETCH(HighScores, after);
    QFETCH(QString, firstPromptLine);
    Ending e;
    e.table = before;
    e.prompt.answer = "Neo";
    e.run(mode, score);
    QCOMPARE(e.table, after);
    if (firstPromptLine.isEmpty()) {
        QVERIFY(e.prompt.prompts.isEmpty());
    } else {
        QCOMPARE(e.prompt.prompts, QStringList{firstPromptLine + "\n名前を入力して下さい。"});
    }
}

void TestEndGame::cancelledNameIsStoredEmpty()
{
    Ending e;
    e.prompt.answer = QString();
    e.run(FiveMode, 70, 1);
    QCOMPARE(e.table[3], (ScoreEntry{70, QString()}));
}

QTEST_GUILESS_MAIN(TestEndGame)
#include "tst_end_game.moc"
