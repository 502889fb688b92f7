// Start-up and the menu commands of the main window, each through the
// real window: the program folder, the score file, the sound option, the
// read-me, the About and high-score windows, and saving on the way out.

#include "board_surface.h"
#include "clock_random.h"
#include "engine/engine_fakes.h"
#include "fonts.h"
#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "sound_effects.h"

#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace trazzo;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestStartupMenus : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void soundOptionNeedsEveryWaveFile_data();
    void soundOptionNeedsEveryWaveFile();
    void programFolderEndsInOneSeparator_data();
    void programFolderEndsInOneSeparator();
    void scoresComeFromTheDataFolder();
    void closingSavesAndSoDoesExit_data();
    void closingSavesAndSoDoesExit();
    void aFailedSaveIsReported();
    void soundFollowsTheCheckMark();
    void readmeOpensFromTheProgramFolder();
    void aboutAndHighScoresLockTheMainWindow_data();
    void aboutAndHighScoresLockTheMainWindow();
    void aRankingGameAsksForTheNameAndShowsTheTable();

private:
    QString scoreFile() const { return m_data.filePath(QStringLiteral("Trazzo/Windows/Trazzo.ini")); }
    std::unique_ptr<Form1> makeForm(const QString &folder);

    QTemporaryDir m_waves; // a program folder with all five wave files
    QTemporaryDir m_data;  // XDG_DATA_HOME
    ClockRandom m_random{77};
    QStringList m_messages;
};

void TestStartupMenus::initTestCase()
{
    installFontSubstitutes();
    QCoreApplication::setApplicationName(QStringLiteral("Trazzo"));
    for (const QString &name : WaveFiles)
        QVERIFY(QFile::copy(QStringLiteral(TRAZZO_SOURCE_DIR "/assets/sounds/") + name, m_waves.filePath(name)));
}

void TestStartupMenus::init()
{
    qputenv("XDG_DATA_HOME", m_data.path().toUtf8());
    QDir(m_data.path()).removeRecursively();
    QDir().mkpath(m_data.path());
    m_messages.clear();
}

void TestStartupMenus::cleanup() {}

std::unique_ptr<Form1> TestStartupMenus::makeForm(const QString &folder)
{
    auto f = std::make_unique<Form1>(&m_random, folder);
    f->setMessageBox([this](const QString &text) { m_messages << text; });
    f->setChainPause(std::chrono::microseconds(0));
    f->Form_Load();
    return f;
}

void TestStartupMenus::soundOptionNeedsEveryWaveFile_data()
{
    QTest::addColumn<QString>("missing");
    QTest::newRow("all there") << QString();
    QTest::newRow("High.wav missing") << "High.wav";
    QTest::newRow("Over.wav missing") << "Over.wav";
}

void TestStartupMenus::soundOptionNeedsEveryWaveFile()
{
    QFETCH(QString, missing);
    QTemporaryDir folder;
    for (const QString &name : WaveFiles)
        if (name != missing)
            QVERIFY(QFile::copy(m_waves.filePath(name), folder.filePath(name)));
    auto f = makeForm(folder.path());
    QCOMPARE(f->mnuO1->isEnabled(), missing.isEmpty());
    QVERIFY(!f->mnuO1->isChecked());
}

void TestStartupMenus::programFolderEndsInOneSeparator_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::newRow("bare") << "";
    QTest::newRow("with a separator") << "/";
}

void TestStartupMenus::programFolderEndsInOneSeparator()
{
    QFETCH(QString, suffix);
    auto f = makeForm(m_waves.path() + suffix);
    QCOMPARE(f->AppFolder(), m_waves.path() + "/");
}

void TestStartupMenus::scoresComeFromTheDataFolder()
{
    QVERIFY(QDir().mkpath(QFileInfo(scoreFile()).path()));
    QFile file(scoreFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Trazzo\r\n000850Taro\r\n\r\n\r\n000042Ken\r\n\r\n\r\n");
    file.close();
    auto f = makeForm(m_waves.path());
    QCOMPARE(f->scores().ScoreFilePath(), scoreFile());
    QCOMPARE(f->scores().HighScores[0], (ScoreEntry{850, "Taro"}));
    QCOMPARE(f->scores().HighScores[3], (ScoreEntry{42, "Ken"}));
}

void TestStartupMenus::closingSavesAndSoDoesExit_data()
{
    QTest::addColumn<bool>("byExit");
    QTest::newRow("close box") << false;
    QTest::newRow("Trazzoの終了") << true;
}

void TestStartupMenus::closingSavesAndSoDoesExit()
{
    QFETCH(bool, byExit);
    auto f = makeForm(m_waves.path());
    int ended = 0;
    f->setEndProgram([&] { ++ended; });
    f->scores().HighScores[1] = {300, QStringLiteral("花子")};
    if (byExit)
        f->mnuG6->trigger();
    else
        QVERIFY(f->close());
    QVERIFY(readAll(scoreFile()).contains(QStringLiteral("000300花子\r\n").toUtf8()));
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(ended, byExit ? 1 : 0);
    if (byExit) {
        // Ended at once: the window's own close must not save a second time.
        QFile::remove(scoreFile());
        QVERIFY(f->close());
        QVERIFY(!QFile::exists(scoreFile()));
    }
}

void TestStartupMenus::aFailedSaveIsReported()
{
    QVERIFY(QDir().mkpath(scoreFile())); // a folder where the file should be
    auto f = makeForm(m_waves.path());
    QVERIFY(f->close());
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages[0].contains(scoreFile()));
}

void TestStartupMenus::soundFollowsTheCheckMark()
{
    auto f = makeForm(m_waves.path());
    // The real effects, driven through the game: the option decides.
    QStringList played;
    class Recorder : public Sound {
    public:
        explicit Recorder(QStringList &log) : m_log(log) {}
        void PlayEffect(std::string_view name) override
        {
            m_log << QString::fromUtf8(name.data(), qsizetype(name.size()));
        }
        QStringList &m_log;
    } recorder(played);
    SoundEffects real(
        f->AppFolder(), [&] { return f->mnuO1->isChecked(); },
        [&](const QString &path) -> std::unique_ptr<Effect> {
            class Named : public Effect {
            public:
                Named(QString n, Recorder &r) : m_name(std::move(n)), m_r(r) {}
                void play() override { m_r.PlayEffect(m_name.toStdString()); }
                void stop() override {}
                QString m_name;
                Recorder &m_r;
            };
            return std::make_unique<Named>(QFileInfo(path).fileName(), recorder);
        });
    f->setSound(&real);
    auto takeChest = [&] {
        f->mnuG1->trigger();
        GameState &s = f->game().state();
        s.Board[static_cast<std::size_t>(s.HeadPos)] = '4';
        QTest::keyClick(f->Picture1(), Qt::Key_Right);
        f->Timer1_Timer();
    };
    takeChest();
    QVERIFY(played.isEmpty());
    f->mnuO1->trigger();
    QVERIFY(f->mnuO1->isChecked());
    takeChest();
    QCOMPARE(played, QStringList{"Gold.wav"});
    f->mnuO1->trigger();
    f->mnuO1->trigger(); // twice leaves it as it was
    QVERIFY(f->mnuO1->isChecked());
}

void TestStartupMenus::readmeOpensFromTheProgramFolder()
{
    auto f = makeForm(m_waves.path());
    QStringList arguments;
    f->setReadmeOpener(ReadmeOpener([](const QString &) { return QStringLiteral("/usr/bin/xdg-open"); },
                                    [&](const QString &, const QStringList &a) { return arguments = a, true; },
                                    [](const QString &) {}));
    f->mnuH1->trigger();
    QCOMPARE(arguments, QStringList{m_waves.path() + "/Readme.txt"});
}

void TestStartupMenus::aboutAndHighScoresLockTheMainWindow_data()
{
    QTest::addColumn<bool>("about");
    QTest::newRow("About") << true;
    QTest::newRow("high scores") << false;
}

void TestStartupMenus::aboutAndHighScoresLockTheMainWindow()
{
    QFETCH(bool, about);
    auto f = makeForm(m_waves.path());
    QVERIFY(QTest::qWaitForWindowActive(f.get()));
    if (about)
        f->mnuH2->trigger();
    else
        QTest::keyClick(f->Picture1(), Qt::Key_H, Qt::ControlModifier);
    QWidget *window = about ? static_cast<QWidget *>(f->aboutWindow().window())
                            : static_cast<QWidget *>(f->highScoreWindow().window());
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(!f->isEnabled());
    if (about) {
        const QLabel *icon = f->aboutWindow().window()->Image1();
        QVERIFY(icon->pixmap().toImage() ==
                QImage(QStringLiteral(":/icon.png")).convertToFormat(icon->pixmap().toImage().format()));
    }
    // The game goes on meanwhile: the timer is not stopped.
    QVERIFY(f->Timer1()->isActive());
    QVERIFY(window->close());
    QVERIFY(f->isEnabled());
}

void TestStartupMenus::aRankingGameAsksForTheNameAndShowsTheTable()
{
    auto f = makeForm(m_waves.path());
    f->mnuG2->trigger();
    GameState &s = f->game().state();
    s.Score = 120;
    s.HeadPos = 41 + 1; // (1, 1), the wall above
    QTest::keyClick(f->Picture1(), Qt::Key_Up);

    QString label, title;
    int ticksDuringPrompt = 0;
    // Answer the prompt once it is up, as the player would.
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *d = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!d || !d->isVisible())
            return;
        poll.stop();
        title = d->windowTitle();
        label = d->labelText();
        // Ticks that fall due while the prompt waits do nothing.
        for (int i = 0; i < 3; ++i, ++ticksDuringPrompt)
            f->Timer1_Timer();
        d->setTextValue(QStringLiteral("Ann"));
        d->accept();
    });
    poll.start(10);
    f->Timer1_Timer();
    poll.stop();

    QCOMPARE(ticksDuringPrompt, 3);
    QCOMPARE(title, QStringLiteral("Trazzo"));
    QCOMPARE(label, QStringLiteral("スコアが１位にランクインしました。\n名前を入力して下さい。"));
    QCOMPARE(f->scores().HighScores[3], (ScoreEntry{120, "Ann"}));
    QCOMPARE(s.GameMode, NoGame);
    Form3 *table = f->highScoreWindow().window();
    QVERIFY(table);
    QCOMPARE(table->Label2(3)->text(), QStringLiteral("4.    120 Ann"));
    QVERIFY(!f->isEnabled());
    QTest::keyClick(table, Qt::Key_Escape);
    QTRY_VERIFY(!f->highScoreWindow().window());
    QVERIFY(f->isEnabled());
}

QTEST_MAIN(TestStartupMenus)
#include "tst_startup_menus.moc"
