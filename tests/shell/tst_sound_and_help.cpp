// Sound effects, the wave-file check and the read-me command.

#include "readme_opener.h"
#include "sound_effects.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace trazzo;

namespace {

class RecordingEffect : public Effect {
public:
    RecordingEffect(QString name, QStringList &log) : m_name(std::move(name)), m_log(log) {}
    void play() override { m_log << "play " + m_name; }
    void stop() override { m_log << "stop " + m_name; }

private:
    QString m_name;
    QStringList &m_log;
};

} // namespace

class TestSoundAndHelp : public QObject {
    Q_OBJECT
private slots:
    void effectsPlayOnlyWhileTheOptionIsOn();
    void aNewEffectCutsTheLastOneOff();
    void unknownOrUnloadableEffectsAreSilent();
    void waveFileDeletedWhileRunningIsHarmless();
    void everyWaveFileIsNeeded_data();
    void everyWaveFileIsNeeded();
    void readmeGoesToTheOpenerAsOneArgument();
    void noOpenerSaysSoEveryTime();
};

void TestSoundAndHelp::effectsPlayOnlyWhileTheOptionIsOn()
{
    QStringList log, paths;
    bool on = false;
    SoundEffects sound(
        QStringLiteral("/games/trazzo/"), [&] { return on; },
        [&](const QString &path) {
            paths << path;
            return std::make_unique<RecordingEffect>(QFileInfo(path).fileName(), log);
        });
    QCOMPARE(paths.size(), 5);
    QVERIFY(paths.contains(QStringLiteral("/games/trazzo/Gold.wav")));
    sound.PlayEffect("Gold.wav");
    QVERIFY(log.isEmpty());
    on = true; // read at the moment of playing
    sound.PlayEffect("Gold.wav");
    QCOMPARE(log, QStringList{"play Gold.wav"});
}

void TestSoundAndHelp::aNewEffectCutsTheLastOneOff()
{
    QStringList log;
    SoundEffects sound(
        QString(), [] { return true; },
        [&](const QString &path) { return std::make_unique<RecordingEffect>(path, log); });
    sound.PlayEffect("Out.wav");
    sound.PlayEffect("High.wav");
    sound.PlayEffect("High.wav");
    QCOMPARE(log, (QStringList{"play Out.wav", "stop Out.wav", "play High.wav", "stop High.wav", "play High.wav"}));
}

void TestSoundAndHelp::unknownOrUnloadableEffectsAreSilent()
{
    QStringList log;
    SoundEffects sound(
        QString(), [] { return true; },
        [&](const QString &path) -> std::unique_ptr<Effect> {
            if (path == "Get.wav")
                return nullptr; // this one could not be made
            return std::make_unique<RecordingEffect>(path, log);
        });
    sound.PlayEffect("Get.wav");
    sound.PlayEffect("Beep.wav");
    QVERIFY(log.isEmpty());
}

void TestSoundAndHelp::waveFileDeletedWhileRunningIsHarmless()
{
    // Qt's own effects, loaded up front; then the files go away under the
    // running game and every effect is played again and again.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &name : WaveFiles)
        QVERIFY(QFile::copy(QStringLiteral(TRAZZO_SOURCE_DIR "/assets/sounds/") + name, dir.filePath(name)));
    SoundEffects sound(dir.path() + "/", [] { return true; });
    QCoreApplication::processEvents();
    QVERIFY(QFile::remove(dir.filePath(QStringLiteral("Gold.wav"))));
    QVERIFY(QFile::remove(dir.filePath(QStringLiteral("Over.wav"))));
    // One replaced by a file that is no wave at all.
    QFile junk(dir.filePath(QStringLiteral("Get.wav")));
    QVERIFY(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
    junk.write("RIFF\xff\xff\xff\xffWAVEjunk");
    junk.close();
    for (int round = 0; round < 20; ++round) {
        for (const QString &name : WaveFiles)
            sound.PlayEffect(name.toStdString());
        QCoreApplication::processEvents();
    }
    // A fresh start in that folder still comes up, silent where files are gone.
    QVERIFY(!allWaveFilesPresent(dir.path() + "/"));
    SoundEffects again(dir.path() + "/", [] { return true; });
    for (const QString &name : WaveFiles)
        again.PlayEffect(name.toStdString());
    QCoreApplication::processEvents();
}

void TestSoundAndHelp::everyWaveFileIsNeeded_data()
{
    QTest::addColumn<QString>("missing");
    QTest::newRow("none") << QString();
    for (const QString &name : WaveFiles)
        QTest::newRow(qPrintable(name)) << name;
}

void TestSoundAndHelp::everyWaveFileIsNeeded()
{
    QFETCH(QString, missing);
    QTemporaryDir dir;
    for (const QString &name : WaveFiles)
        if (name != missing) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
    if (!missing.isEmpty())
        QVERIFY(QDir(dir.path()).mkdir(missing)); // a folder of that name is no file
    QCOMPARE(allWaveFilesPresent(dir.path() + "/"), missing.isEmpty());
}

void TestSoundAndHelp::readmeGoesToTheOpenerAsOneArgument()
{
    QString program;
    QStringList arguments, messages;
    ReadmeOpener opener(
        [](const QString &p) { return p == "xdg-open" ? QStringLiteral("/usr/bin/xdg-open") : QString(); },
        [&](const QString &p, const QStringList &a) {
            program = p;
            arguments = a;
            return true;
        },
        [&](const QString &m) { messages << m; });
    opener.open(QStringLiteral("/home/a b/My Games; rm -rf x/"));
    QCOMPARE(program, QStringLiteral("/usr/bin/xdg-open"));
    QCOMPARE(arguments, QStringList{QStringLiteral("/home/a b/My Games; rm -rf x/Readme.txt")});
    QVERIFY(messages.isEmpty());
}

void TestSoundAndHelp::noOpenerSaysSoEveryTime()
{
    int started = 0;
    QStringList messages;
    ReadmeOpener opener([](const QString &) { return QString(); },
                        [&](const QString &, const QStringList &) { return ++started, true; },
                        [&](const QString &m) { messages << m; });
    opener.open("/x/");
    opener.open("/x/");
    QCOMPARE(started, 0);
    QCOMPARE(messages, QStringList(2, QStringLiteral("メモ帳が見つからないため参照できません。")));
}

QTEST_MAIN(TestSoundAndHelp)
#include "tst_sound_and_help.moc"
