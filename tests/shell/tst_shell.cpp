// Sound effects and their wave files, and the read-me command.

#include "readme_opener.h"
#include "sound_effects.h"
#include "wave_file.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace trazzo;

class TestShell : public QObject {
    Q_OBJECT
private slots:
    void wavesAreReadOrRefused_data()
    {
        // Each row reads tests/shell/waves/<row>.wav (made by make_waves.py) and expects the sample kind
        // (0 8-bit, 1 16-bit, 2 32-bit, 3 float), channels, rate and bytes of samples; nothing when refused.
        QTest::addColumn<QString>("read");
        QTest::newRow("../../../assets/sounds/Get") << "1 1 22050 6174";
        QTest::newRow("8-bit-stereo") << "0 2 11025 8";
        QTest::newRow("32-bit") << "2 1 8000 8";
        QTest::newRow("float") << "3 1 48000 8";
        QTest::newRow("extensible") << "1 1 8000 8";
        QTest::newRow("odd-chunk-format-last") << "1 1 8000 8";
        QTest::newRow("wrong-riff-size") << "1 1 8000 8";
        QTest::newRow("data-cut-short") << "1 1 8000 4";
        for (const char *refused :
             {"empty", "not-riff", "no-format", "no-data", "less-than-a-frame", "format-cut-short", "adpcm", "12-bit",
              "no-channels", "frame-size-lies", "rate-0", "extensible-adpcm", "extensible-header-cut"})
            QTest::newRow(refused) << "";
    }
    void wavesAreReadOrRefused()
    {
        QFETCH(QString, read);
        QFile f(TRAZZO_SOURCE_DIR "/tests/shell/waves/" + QString(QTest::currentDataTag()) + ".wav");
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const auto s = parseWave(bytes);
        QCOMPARE(s ? QString::asprintf("%d %d %d %d", int(s->sample), s->channels, s->sampleRate, int(s->pcm.size()))
                   : "",
                 read);
        QVERIFY(!s || bytes.mid(bytes.indexOf("data") + 8).startsWith(s->pcm));
    }

    void effectsPlayOneAtATimeWhileTheOptionIsOn()
    {
        QStringList log;
        bool on = false;
        struct Recorder : Effect {
            QString name;
            QStringList &log;
            Recorder(QString n, QStringList &l) : name(std::move(n)), log(l) {}
            void play() override { log << "play " + name; }
            void stop() override { log << "stop " + name; }
        };
        SoundEffects sound(
            "/games/", [&] { return on; },
            [&](const QString &path) -> std::unique_ptr<Effect> {
                return path.endsWith("Get.wav") ? nullptr : std::make_unique<Recorder>(path, log);
            });
        sound.PlayEffect("Gold.wav");
        on = true;
        for (const char *name : {"Get.wav", "Beep.wav", "Out.wav", "High.wav"})
            sound.PlayEffect(name);
        QCOMPARE(log, (QStringList{"play /games/Out.wav", "stop /games/Out.wav", "play /games/High.wav"}));
        // The option needs all five files; these test waves have none of their names.
        QVERIFY(!allWaveFilesPresent(TRAZZO_SOURCE_DIR "/tests/shell/waves/"));
    }

    void readmeNeedsAWorkingOpener_data()
    {
        QTest::addColumn<QString>("opener"); // the xdg-open on the path, from tests/shell/openers
        QTest::newRow("no opener") << "";
        QTest::newRow("opener fails") << "fails";
        QTest::newRow("opener shows it") << "shows";
    }
    void readmeNeedsAWorkingOpener()
    {
        QFETCH(QString, opener);
        QTemporaryDir dir; // where the stand-in writes what it was given
        qputenv("TRAZZO_SEEN", QFile::encodeName(dir.filePath("seen")));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", TRAZZO_SOURCE_DIR "/tests/shell/openers/" + opener.toUtf8());
        QStringList messages;
        ReadmeOpener([&](const QString &text) { messages << text; }).open("/a b; c/");
        qputenv("PATH", path);
        const auto seen = [&] {
            QFile f(dir.filePath("seen"));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : "";
        };
        QTRY_COMPARE(seen(), opener.isEmpty() ? "" : "/a b; c/Readme.txt");
        QTRY_COMPARE(messages.join(""), opener == "shows" ? "" : "メモ帳が見つからないため参照できません。");
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
