// Whole games through the real main window, played as a player plays them:
// a start button, arrow keys on the board, the game timer running, the
// name prompt answered, the high-score window closed with a key, the main
// window closed, and the score file read back.
//
// The random source is scripted, so every item lies where the test wants
// it: in each mode the head runs along one row and takes, one stage after
// another, a blue chest, an orange chest, a blue panel, a green panel and a
// red panel, and then ends the game in a hole (Refresh) or the wall (Five).

#include "board_surface.h"
#include "engine/engine_fakes.h"
#include "fonts.h"
#include "form1.h"
#include "form3.h"
#include "game_texts.h"
#include "high_scores.h"
#include "sound_effects.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace trazzo;
using trazzo::test::directionDraw;
using trazzo::test::kindDraw;
using trazzo::test::positionDraw;
using trazzo::test::ScriptedRandom;

namespace {

// Draws of Int(Rnd * 10) that give each kind.
constexpr int BlueChestDraw = 0, OrangeChestDraw = 5, BluePanelDraw = 7, GreenPanelDraw = 8, RedPanelDraw = 9;
constexpr std::array<int, 5> KindsInOrder{BlueChestDraw, OrangeChestDraw, BluePanelDraw, GreenPanelDraw, RedPanelDraw};

struct RecordingSound : Sound {
    QStringList played;
    void PlayEffect(std::string_view name) override
    {
        played << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    }
};

// One game's plan: the row the head runs along, where it starts, how far
// the first item lies, how the game ends.
struct Plan {
    int mode;
    int row;
    int startColumn;
    int firstGap; // steps to the first item; later items lie five steps on
    Qt::Key lastKey;
    QString endMessage;
    int score;
    QString name;
};

int itemColumn(const Plan &plan, int stage) // stage 0..4
{
    return plan.startColumn + plan.firstGap + 5 * stage;
}

// Items that are not taken lie far from the row, at the bottom.
double farDraw(int i) { return positionDraw(2 + 2 * i, 27); }

void scriptGame(ScriptedRandom &random, const Plan &plan)
{
    const bool refresh = plan.mode == RefreshMode;
    // The new board: in Refresh mode three items (the first the blue
    // chest), in Five mode all five of the row.
    if (refresh) {
        random.push(0.25); // Int(Rnd * 2) = 0: three items
        random.push({positionDraw(itemColumn(plan, 0), plan.row), kindDraw(BlueChestDraw)});
        for (int i = 0; i < 2; ++i)
            random.push({farDraw(i), kindDraw(BlueChestDraw)});
    } else {
        for (int stage = 0; stage < 5; ++stage)
            random.push({positionDraw(itemColumn(plan, stage), plan.row), kindDraw(KindsInOrder[stage])});
    }
    random.push(positionDraw(plan.startColumn, plan.row)); // the head

    for (int stage = 0; stage < 5; ++stage) {
        const int taken = KindsInOrder[static_cast<std::size_t>(stage)];
        if (taken == BluePanelDraw) {
            // Stage 4 now: fifteen draws. Four of them hit the first
            // stage's holes; the rest fall on ground and do nothing.
            for (int c = plan.startColumn; c < plan.startColumn + 4; ++c)
                random.push(positionDraw(c, plan.row));
            for (int i = 0; i < 11; ++i)
                random.push(positionDraw(20, 20));
        } else if (taken == RedPanelDraw) {
            // The walk along the last stage's five holes, always leftwards.
            for (int i = 0; i < 5; ++i)
                random.push(directionDraw(1));
        }
        // The new stage.
        if (refresh) {
            random.push(0.1); // Int(Rnd * Stage / 8) + 3 = 3: four items
            const bool more = stage < 4;
            int far = 0;
            if (more)
                random.push({positionDraw(itemColumn(plan, stage + 1), plan.row),
                             kindDraw(KindsInOrder[static_cast<std::size_t>(stage + 1)])});
            for (; far < (more ? 3 : 4); ++far)
                random.push({farDraw(far), kindDraw(BlueChestDraw)});
        } else {
            random.push({farDraw(stage), kindDraw(BlueChestDraw)});
        }
    }
}

// Answers the next name prompt with `name` once it is up, after noting what
// it said and what the board showed behind it.
struct PromptAnswer {
    QString title, label, status;
    QImage boardBehind;
    bool answered = false;

    void answerWith(const QString &name, Form1 &form)
    {
        auto *poll = new QTimer(&form);
        QObject::connect(poll, &QTimer::timeout, &form, [this, poll, name, &form] {
            auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            poll->stop();
            poll->deleteLater();
            title = dialog->windowTitle();
            label = dialog->labelText();
            status = form.Label4()->text();
            boardBehind = form.Picture1()->image().copy();
            auto *edit = dialog->findChild<QLineEdit *>();
            edit->setText(name); // typed keys cannot carry kana here
            QTest::keyClick(edit, Qt::Key_Return);
            answered = true;
        });
        poll->start(20);
    }
};

} // namespace

class TestWholeGames : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void bothModesToTheEndAndTheirScoresKept();

private:
    // Lets Timer1 run until `done` holds after one of its ticks; the timer
    // is stopped in that same tick, so no step more is taken. Returns the
    // number of ticks.
    int runTimerUntil(Form1 &form, const std::function<bool()> &done);
    void playGame(Form1 &form, ScriptedRandom &random, RecordingSound &sound, const Plan &plan);
    bool cellShows(const Form1 &form, int c, int r, char code) const;

    QTemporaryDir m_programFolder;
    QTemporaryDir m_dataHome;
};

void TestWholeGames::initTestCase()
{
    QVERIFY(m_programFolder.isValid());
    QVERIFY(m_dataHome.isValid());
    // A data folder of this run's own: the score file starts missing.
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome.path()));
    QCoreApplication::setApplicationName(QStringLiteral("Trazzo"));
    installFontSubstitutes();
    for (const QString &name : WaveFiles)
        QVERIFY(
            QFile::copy(QStringLiteral(TRAZZO_SOURCE_DIR "/assets/sounds/") + name, m_programFolder.filePath(name)));
}

int TestWholeGames::runTimerUntil(Form1 &form, const std::function<bool()> &done)
{
    QEventLoop loop;
    int ticks = 0;
    // Connected after the window's own handler: it sees the tick's result.
    const auto watch = connect(form.Timer1(), &QTimer::timeout, &loop, [&] {
        ++ticks;
        if (done()) {
            form.Timer1()->stop();
            loop.quit();
        }
    });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit); // a safety net only
    form.Timer1()->start();
    loop.exec();
    disconnect(watch);
    return ticks;
}

bool TestWholeGames::cellShows(const Form1 &form, int c, int r, char code) const
{
    const QImage &sheet = form.Picture1()->tileSheet();
    const QImage tile = sheet.copy(12 * codeValue(code), 0, 12, 12).convertToFormat(QImage::Format_RGB32);
    return form.Picture1()->image().copy(12 * c, 12 * r, 12, 12).convertToFormat(QImage::Format_RGB32) == tile;
}

void TestWholeGames::playGame(Form1 &f, ScriptedRandom &random, RecordingSound &sound, const Plan &plan)
{
    const GameState &s = f.game().state();
    const bool refresh = plan.mode == RefreshMode;
    sound.played.clear();
    scriptGame(random, plan);

    QTest::mouseClick(f.Command1(refresh ? 0 : 1), Qt::LeftButton);
    QCOMPARE(s.GameMode, plan.mode);
    QCOMPARE(f.Label4()->text(), QString::fromUtf8(refresh ? texts::PlayingRefresh : texts::PlayingFive));
    QCOMPARE(s.HeadPos, posOf(plan.startColumn, plan.row));
    QVERIFY(cellShows(f, itemColumn(plan, 0), plan.row, BlueChest));

    int score = 0;
    for (int stage = 0; stage < 5; ++stage) {
        const int bonusAtStart = 50 + 5 * stage;
        const int steps = stage == 0 ? plan.firstGap : 5;
        if (stage == 1)
            QTest::keyPress(f.Picture1(), Qt::Key_Space); // the first stage at the normal pace, the rest fast
        QTest::keyClick(f.Picture1(), Qt::Key_Right);
        QCOMPARE(f.Timer1()->interval(), stage == 0 ? 100 : 10);
        const int ticks = runTimerUntil(f, [&] { return s.Stage == stage + 2; });
        QCOMPARE(ticks, steps);
        const int rate = KindsInOrder[static_cast<std::size_t>(stage)] == OrangeChestDraw ? 2 : 1;
        score += rate * (bonusAtStart - steps);
        QCOMPARE(f.Label2()->text(), QString::number(score));
        QCOMPARE(f.Label3()->text(), QString::number(stage + 2));
        QCOMPARE(f.Label1()->text(), QString::number(50 + 5 * (stage + 1)));
        QCOMPARE(s.MoveDir, 0); // the head stands until the next key
        if (stage < 4)
            QVERIFY(
                cellShows(f, itemColumn(plan, stage + 1), plan.row,
                          KindsInOrder[static_cast<std::size_t>(stage + 1)] == OrangeChestDraw
                              ? OrangeChest
                              : s.Board[static_cast<std::size_t>(posOf(itemColumn(plan, stage + 1), plan.row) - 1)]));
        if (stage == 2) {
            // The blue panel gave the first stage's holes back as ground,
            // and the holes of the second stage stay.
            for (int c = plan.startColumn; c < plan.startColumn + 4; ++c)
                QVERIFY2(cellShows(f, c, plan.row, Ground), qPrintable(QString("column %1").arg(c)));
            QVERIFY(cellShows(f, itemColumn(plan, 0), plan.row, Hole));
        }
        if (stage == 4) {
            // The red panel walked back along the line it came by.
            for (int c = itemColumn(plan, 3); c < itemColumn(plan, 4) - 1; ++c)
                QVERIFY2(cellShows(f, c, plan.row, Ground), qPrintable(QString("column %1").arg(c)));
            QVERIFY(cellShows(f, itemColumn(plan, 2) + 1, plan.row, Hole));
        }
    }
    QCOMPARE(score, plan.score);
    QCOMPARE(sound.played, (QStringList{"Gold.wav", "Gold.wav", "Get.wav", "Get.wav", "Get.wav"}));

    // The last run: into a hole or the wall, then the name.
    PromptAnswer prompt;
    prompt.answerWith(plan.name, f);
    QTest::keyClick(f.Picture1(), plan.lastKey);
    runTimerUntil(f, [&] { return s.GameMode == NoGame; });
    QVERIFY(prompt.answered);
    QCOMPARE(prompt.title, QStringLiteral("Trazzo"));
    QCOMPARE(prompt.label, QStringLiteral("スコアが１位にランクインしました。\n名前を入力して下さい。"));
    QCOMPARE(prompt.status, plan.endMessage);
    // The GAME OVER picture was on the board before the prompt came up.
    QCOMPARE(prompt.boardBehind, f.Picture1()->image());
    QCOMPARE(s.Board, gameOverPicture());
    QVERIFY(cellShows(f, 5, 7, RedPanel));
    QCOMPARE(sound.played.mid(5), (QStringList{"Out.wav", "High.wav"}));
    QCOMPARE(f.Label2()->text(), QString::number(plan.score));
    QVERIFY(random.left() == 0);
    QCOMPARE(random.overrun(), 0);

    // The high-score window shows the new entry; any key closes it.
    Form3 *table = f.highScoreWindow().window();
    QVERIFY(table);
    QVERIFY(table->isVisible());
    QVERIFY(!f.isEnabled());
    const int slot = refresh ? 0 : 3;
    QCOMPARE(table->Label2(slot)->text(), scoreLine(slot, ScoreEntry{plan.score, plan.name}));
    QTest::keyClick(table, Qt::Key_A);
    QTRY_VERIFY(f.highScoreWindow().window() == nullptr || !f.highScoreWindow().window()->isVisible());
    QVERIFY(f.isEnabled());
    QTest::keyRelease(f.Picture1(), Qt::Key_Space);
    QCOMPARE(f.Timer1()->interval(), 100);
}

void TestWholeGames::bothModesToTheEndAndTheirScoresKept()
{
    // Refresh: 45 + 2 * 50 + 55 + 60 + 65; Five starts two steps further off.
    const Plan refresh{RefreshMode,
                       5,
                       3,
                       5,
                       Qt::Key_Left,
                       QStringLiteral("穴に落ちてしまい、ゲームオーバーです。"),
                       325,
                       QStringLiteral("タロウ")};
    const Plan five{FiveMode,   10,
                    3,          7,
                    Qt::Key_Up, QStringLiteral("壁にぶつかってしまい、ゲームオーバーです。"),
                    323,        QStringLiteral("Hanako")};
    const QString scoreFile = defaultScoreFilePath();
    QVERIFY(!QFile::exists(scoreFile));

    {
        ScriptedRandom random;
        RecordingSound sound;
        Form1 f(&random, m_programFolder.path());
        f.setSound(&sound);
        f.setChainPause(std::chrono::microseconds(0));
        f.Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.Timer1()->stop(); // from here on the test lets it run

        playGame(f, random, sound, refresh);
        if (QTest::currentTestFailed())
            return;
        playGame(f, random, sound, five);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(f.close());
    }

    // What was stored: the header, then the six slots in order.
    QFile file(scoreFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 8); // seven lines, each ended by CRLF
    QVERIFY(lines[0].startsWith(QStringLiteral("Trazzo スコアファイル ")));
    QCOMPARE(lines.mid(1, 6), (QStringList{"000325タロウ", "000000", "000000", "000323Hanako", "000000", "000000"}));
    QCOMPARE(lines[7], QString());

    // The next run starts with them.
    ScriptedRandom random;
    Form1 next(&random, m_programFolder.path());
    next.Form_Load();
    next.mnuG4->trigger();
    Form3 *table = next.highScoreWindow().window();
    QVERIFY(table);
    QCOMPARE(table->Label2(0)->text(), scoreLine(0, ScoreEntry{325, QStringLiteral("タロウ")}));
    QCOMPARE(table->Label2(3)->text(), scoreLine(3, ScoreEntry{323, QStringLiteral("Hanako")}));
    table->close();
}

QTEST_MAIN(TestWholeGames)
#include "tst_whole_games.moc"
