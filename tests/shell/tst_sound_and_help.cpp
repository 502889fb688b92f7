// Sound effects, the wave-file check and the read-me command.

#include "readme_opener.h"
#include "sound_effects.h"
#include "wave_file.h"

#include <QTemporaryDir>
#include <QtEndian>
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

QByteArray le(std::uint32_t value, int bytes)
{
    QByteArray out(4, '\0');
    qToLittleEndian<quint32>(value, out.data());
    return out.left(bytes);
}

QByteArray chunk(const char *id, const QByteArray &body, std::uint32_t declared = 0xFFFFFFFF)
{
    const std::uint32_t size = declared == 0xFFFFFFFF ? static_cast<std::uint32_t>(body.size()) : declared;
    return id + le(size, 4) + body + (body.size() % 2 ? QByteArray(1, '\0') : QByteArray());
}

QByteArray fmt(int tag, int channels, int rate, int bits, int blockAlign = -1)
{
    if (blockAlign < 0)
        blockAlign = channels * bits / 8;
    return chunk("fmt ", le(tag, 2) + le(channels, 2) + le(rate, 4) + le(rate * blockAlign, 4) + le(blockAlign, 2) +
                             le(bits, 2));
}

QByteArray extensible(int subTag, int bits, int size)
{
    QByteArray body = le(0xFFFE, 2) + le(1, 2) + le(8000, 4) + le(8000 * bits / 8, 4) + le(bits / 8, 2) + le(bits, 2);
    body += le(22, 2) + le(bits, 2) + le(4, 4) + le(subTag, 2) + QByteArray(14, 'g');
    return chunk("fmt ", body.left(size));
}

QByteArray riff(const QByteArray &chunks, std::uint32_t size = 0)
{
    return "RIFF" + le(size ? size : static_cast<std::uint32_t>(4 + chunks.size()), 4) + "WAVE" + chunks;
}

QByteArray readAsset(const QString &name)
{
    QFile f(QStringLiteral(TRAZZO_SOURCE_DIR "/assets/sounds/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestSoundAndHelp : public QObject {
    Q_OBJECT
private slots:
    void effectsPlayOnlyWhileTheOptionIsOn();
    void aNewEffectCutsTheLastOneOff();
    void unknownOrUnloadableEffectsAreSilent();
    void waveFileDeletedWhileRunningIsHarmless();
    void waveFilesAreReadOrRefused_data();
    void waveFilesAreReadOrRefused();
    void onlyPlayableFilesMakeEffects_data();
    void onlyPlayableFilesMakeEffects();
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
    // The real effects, loaded up front; then the files go away under the
    // running game and every effect is played again and again from memory.
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

void TestSoundAndHelp::waveFilesAreReadOrRefused_data()
{
    using S = WaveSound::Sample;
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("sample"); // -1: refused
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("pcmBytes");
    const QByteArray pcm6("\x01\x02\x03\x04\x05\x06", 6);
    const QByteArray mono16 = fmt(1, 1, 8000, 16);

    QTest::newRow("our own Get.wav") << readAsset("Get.wav") << int(S::Int16) << 1 << 22050 << 6174;
    QTest::newRow("8-bit stereo") << riff(fmt(1, 2, 11025, 8) + chunk("data", pcm6)) << int(S::UInt8) << 2 << 11025
                                  << 6;
    QTest::newRow("32-bit") << riff(fmt(1, 1, 8000, 32) + chunk("data", pcm6 + "78")) << int(S::Int32) << 1 << 8000
                            << 8;
    QTest::newRow("float") << riff(fmt(3, 1, 48000, 32) + chunk("data", pcm6 + "78")) << int(S::Float) << 1 << 48000
                           << 8;
    QTest::newRow("extensible") << riff(extensible(1, 16, 40) + chunk("data", pcm6)) << int(S::Int16) << 1 << 8000 << 6;
    QTest::newRow("odd chunk padded, fmt after data")
        << riff(chunk("LIST", "abc") + chunk("data", pcm6) + mono16) << int(S::Int16) << 1 << 8000 << 6;
    QTest::newRow("data cut short keeps whole frames")
        << riff(mono16 + chunk("data", pcm6.left(5), 1000)).left(12 + 24 + 8 + 5) << int(S::Int16) << 1 << 8000 << 4;
    QTest::newRow("wrong RIFF size") << riff(mono16 + chunk("data", pcm6), 0xFFFFFFF0) << int(S::Int16) << 1 << 8000
                                     << 6;

    QTest::newRow("empty") << QByteArray() << -1 << 0 << 0 << 0;
    QTest::newRow("not RIFF") << "RIFX" + riff(mono16 + chunk("data", pcm6)).mid(4) << -1 << 0 << 0 << 0;
    QTest::newRow("no format") << riff(chunk("data", pcm6)) << -1 << 0 << 0 << 0;
    QTest::newRow("no data") << riff(mono16) << -1 << 0 << 0 << 0;
    QTest::newRow("less than a frame") << riff(fmt(1, 2, 8000, 16) + chunk("data", pcm6.left(3))) << -1 << 0 << 0 << 0;
    QTest::newRow("format cut short") << riff(mono16).left(12 + 8 + 10) << -1 << 0 << 0 << 0;
    QTest::newRow("old 14-byte format") << riff(chunk("fmt ", mono16.mid(8, 14)) + chunk("data", pcm6)) << -1 << 0 << 0
                                        << 0;
    QTest::newRow("ADPCM") << riff(fmt(2, 1, 8000, 4, 256) + chunk("data", pcm6)) << -1 << 0 << 0 << 0;
    QTest::newRow("12-bit") << riff(fmt(1, 1, 8000, 12, 2) + chunk("data", pcm6)) << -1 << 0 << 0 << 0;
    QTest::newRow("no channels") << riff(fmt(1, 0, 8000, 16, 2) + chunk("data", pcm6)) << -1 << 0 << 0 << 0;
    QTest::newRow("frame size lies") << riff(fmt(1, 1, 8000, 16, 3) + chunk("data", pcm6)) << -1 << 0 << 0 << 0;
    QTest::newRow("rate 0") << riff(fmt(1, 1, 0, 16) + chunk("data", pcm6)) << -1 << 0 << 0 << 0;
    QTest::newRow("extensible header cut") << riff(extensible(1, 16, 18) + chunk("data", pcm6)) << -1 << 0 << 0 << 0;
    QTest::newRow("extensible ADPCM") << riff(extensible(2, 16, 40) + chunk("data", pcm6)) << -1 << 0 << 0 << 0;
}

void TestSoundAndHelp::waveFilesAreReadOrRefused()
{
    QFETCH(QByteArray, file);
    QFETCH(int, sample);
    const auto sound = parseWave(file);
    QCOMPARE(sound.has_value(), sample >= 0);
    if (!sound)
        return;
    QFETCH(int, channels);
    QFETCH(int, rate);
    QFETCH(int, pcmBytes);
    QCOMPARE(int(sound->sample), sample);
    QCOMPARE(sound->channels, channels);
    QCOMPARE(sound->sampleRate, rate);
    QCOMPARE(sound->pcm.size(), pcmBytes);
    // The samples are the file's own bytes, from the start of the data chunk.
    QVERIFY(file.contains(sound->pcm));
}

void TestSoundAndHelp::onlyPlayableFilesMakeEffects_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("made");
    QTest::newRow("our wave") << "wave" << true;
    QTest::newRow("missing") << "missing" << false;
    QTest::newRow("junk") << "junk" << false;
    QTest::newRow("a folder") << "folder" << false;
    QTest::newRow("too large") << "large" << false;
}

void TestSoundAndHelp::onlyPlayableFilesMakeEffects()
{
    QFETCH(QString, kind);
    QFETCH(bool, made);
    QTemporaryDir dir;
    const QString path = dir.filePath("Get.wav");
    QFile file(path);
    if (kind == "folder") {
        QVERIFY(QDir(dir.path()).mkdir("Get.wav"));
    } else if (kind != "missing") {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kind == "junk" ? QByteArray("RIFF\xff\xff\xff\xffWAVEjunk") : readAsset("Get.wav"));
        if (kind == "large") // a good header, then more than any effect needs
            QVERIFY(file.resize(MaxWaveFileBytes + 1));
        file.close();
    }
    const auto effect = makeQtEffect(path);
    QCOMPARE(effect != nullptr, made);
    if (effect) { // without a sound server these only must not block
        effect->play();
        effect->stop();
        effect->play();
    }
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
