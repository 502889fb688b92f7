// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The sound effects against a real sound server: a PulseAudio of the test's
// own with two null outputs, A and B, each heard through its monitor. What
// the desktop does to the sound (a new default output, the old one
// unplugged, a server that restarts or hangs) must never hold up the game,
// and the next effect must reach whatever output the desktop uses now.

#include "sound_effects.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace trazzo;

namespace {

// A test that aborts must not leave its server or recorder running.
void dieWithTheTest(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

// A call into the sound that does not come back within 20 s is a hung
// game: the whole test run is ended with the reason.
struct HangCheck {
    HangCheck()
    {
        ::signal(SIGALRM, [](int) {
            static const char why[] = "the game's thread hung in the sound\n";
            (void)!::write(2, why, sizeof why - 1);
            ::_exit(1);
        });
        ::alarm(20);
    }
    ~HangCheck() { ::alarm(0); }
};

// A sound server of the test's own on a socket in a temporary folder.
class PulseServer {
public:
    explicit PulseServer(const QString &folder) : m_folder(folder)
    {
        QFile script(m_folder + "/server.pa");
        if (script.open(QIODevice::WriteOnly))
            script.write("load-module module-native-protocol-unix socket=" + socket().toUtf8() +
                         " auth-anonymous=1\n"
                         "load-module module-null-sink sink_name=A\n"
                         "load-module module-null-sink sink_name=B\n"
                         "set-default-sink A\n"
                         // Recordings follow the default input; a fixed one
                         // keeps them on the outputs they listen to.
                         "load-module module-null-sink sink_name=Quiet\n"
                         "set-default-source Quiet.monitor\n");
    }
    ~PulseServer() { stop(); }

    QString socket() const { return m_folder + "/native"; }

    bool start()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_folder);
        env.insert("XDG_RUNTIME_DIR", m_folder);
        m_server.setProcessEnvironment(env);
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        dieWithTheTest(m_server);
        m_server.start("pulseaudio", {"-n", "-F", m_folder + "/server.pa", "--daemonize=no", "--exit-idle-time=-1",
                                      "--use-pid-file=no", "--log-level=error"});
        return m_server.waitForStarted() && QTest::qWaitFor([this] { return ctl({"info"}); }, 20000);
    }
    void stop()
    {
        if (m_server.state() == QProcess::NotRunning)
            return;
        ::kill(static_cast<pid_t>(m_server.processId()), SIGCONT);
        m_server.kill();
        m_server.waitForFinished();
    }
    void freeze() { ::kill(static_cast<pid_t>(m_server.processId()), SIGSTOP); }
    void thaw() { ::kill(static_cast<pid_t>(m_server.processId()), SIGCONT); }

    bool ctl(const QStringList &args, QByteArray *said = nullptr) const
    {
        QProcess pactl;
        pactl.setProcessEnvironment(clientEnvironment());
        pactl.start("pactl", args);
        const bool ok =
            pactl.waitForFinished(5000) && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0;
        return said ? (*said = pactl.readAllStandardOutput(), ok) : ok;
    }
    // Unplugs an output: its module goes, as a headset's card does.
    bool remove(const QString &sink) const
    {
        QByteArray modules;
        ctl({"list", "short", "modules"}, &modules);
        for (const QByteArray &line : modules.split('\n'))
            if (line.contains("sink_name=" + sink.toUtf8()))
                return ctl({"unload-module", QString::fromUtf8(line.split('\t').value(0))});
        return false;
    }
    QProcessEnvironment clientEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PULSE_SERVER", "unix:" + socket());
        return env;
    }

private:
    QString m_folder;
    QProcess m_server;
};

// What comes out of one output, recorded from its monitor.
class Ear {
public:
    Ear(const PulseServer &server, const QString &sink)
    {
        m_rec.setProcessEnvironment(server.clientEnvironment());
        dieWithTheTest(m_rec);
        QObject::connect(&m_rec, &QProcess::readyReadStandardOutput, [this] {
            const QByteArray bytes = m_rec.readAllStandardOutput();
            const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
            for (qsizetype i = 0; i < bytes.size() / 2; ++i) {
                const bool loud = std::abs(samples[i]) > 200;
                m_last = loud ? m_bytes / 2 + i : m_last;
                m_first = m_first < 0 ? m_last : m_first;
                m_quietSamples = loud ? 0 : m_quietSamples + 1;
            }
            m_bytes += bytes.size();
            if (heard() && whenHeard)
                std::exchange(whenHeard, {})();
        });
        m_rec.start("parec", {"--raw", "--format=s16le", "--rate=8000", "--channels=1", "--latency-msec=10", "-d",
                              sink + ".monitor"});
    }
    ~Ear()
    {
        m_rec.kill();
        m_rec.waitForFinished();
    }
    // The monitor delivers silence as soon as it is connected.
    bool listening() const { return m_bytes > 0; }
    bool heard() const { return m_first >= 0; }
    // Seconds from the first sound heard to the last.
    double heardFor() const { return double(m_last - m_first) / 8000; }
    // A fifth of a second of silence: the last effect is over.
    bool quiet() const { return listening() && m_quietSamples >= 1600; }
    void forget() { m_first = m_last = -1; }
    std::function<void()> whenHeard; // once, as soon as there is sound

private:
    QProcess m_rec;
    qint64 m_bytes = 0, m_first = -1, m_last = -1, m_quietSamples = 0;
};

} // namespace

class TestSoundOutput : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PulseServer> m_server;
    bool m_on = true;

    std::unique_ptr<SoundEffects> makeSound()
    {
        return std::make_unique<SoundEffects>(
            TRAZZO_SOURCE_DIR "/assets/sounds/", [this] { return m_on; },
            [] { return loadEffectOutput(TRAZZO_SOUND_MODULE); });
    }
    static void play(SoundEffects &sound, const char *name)
    {
        const HangCheck check;
        sound.PlayEffect(name);
    }
    bool listen(std::unique_ptr<Ear> (&ears)[2])
    {
        for (const char *sink : {"A", "B"})
            ears[*sink - 'A'] = std::make_unique<Ear>(*m_server, sink);
        return QTest::qWaitFor([&ears] { return ears[0]->listening() && ears[1]->listening(); }, 10000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(!QStandardPaths::findExecutable("pulseaudio").isEmpty(), "the tests need PulseAudio's server");
        QVERIFY2(!QStandardPaths::findExecutable("parec").isEmpty(), "and its tools (pulseaudio-utils)");
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_server = std::make_unique<PulseServer>(m_dir->path());
        QVERIFY(m_server->start());
        qputenv("PULSE_SERVER", "unix:" + m_server->socket().toUtf8());
        m_on = true;
    }
    void cleanup() { m_server.reset(), m_dir.reset(); }

    void nextEffectsReachTheOutputInUse_data()
    {
        QTest::addColumn<QString>("change"); // what the desktop does once an effect was heard on A
        QTest::addColumn<int>("output");     // where the next effects must be heard: 0 A, 1 B
        QTest::newRow("B the default") << "default" << 1;
        QTest::newRow("B the default, A unplugged") << "default unplug" << 1;
        QTest::newRow("server restarts") << "restart" << 0;
        QTest::newRow("server restarts, an effect while it is down") << "restart play" << 0;
        QTest::newRow("server hangs a while") << "hang" << 0;
    }
    void nextEffectsReachTheOutputInUse()
    {
        QFETCH(QString, change);
        QFETCH(int, output);
        auto sound = makeSound();
        std::unique_ptr<Ear> ears[2];
        QVERIFY(listen(ears));
        play(*sound, "Out.wav");
        QTRY_VERIFY_WITH_TIMEOUT(ears[0]->heard() && ears[0]->quiet(), 10000);
        QVERIFY(!ears[1]->heard());
        if (change.startsWith("default")) {
            QVERIFY(m_server->ctl({"set-default-sink", "B"}));
            QVERIFY(!change.endsWith("unplug") || m_server->remove("A"));
        } else if (change.startsWith("restart")) {
            ears[0].reset(), ears[1].reset();
            m_server->stop();
            if (change.endsWith("play"))
                play(*sound, "Gold.wav"); // no server at all: silence, and the game goes on
            QVERIFY(m_server->start() && listen(ears));
        } else {
            m_server->freeze();
            // Game events keep coming while the server answers nothing.
            for (const char *name : {"Out.wav", "High.wav", "Get.wav", "Gold.wav", "Over.wav"})
                play(*sound, name);
            m_server->thaw();
            ears[0]->forget();
            QTRY_VERIFY_WITH_TIMEOUT((play(*sound, "Over.wav"), ears[0]->heard()), 10000);
        }
        ears[0]->forget(), ears[1]->forget();
        // Each effect in turn, the one heard before included, the very next one.
        for (const char *name : {"Out.wav", "Get.wav"}) {
            ears[output]->forget();
            play(*sound, name);
            QTRY_VERIFY_WITH_TIMEOUT(ears[output]->heard(), 10000);
        }
        QVERIFY(!ears[1 - output]->heard());
        const HangCheck closing;
        sound.reset();
    }

    void noModuleButARegularFile()
    {
        // A pipe in the module's place would hold the loader, and the game's quit with it, for ever.
        QTemporaryDir dir;
        const QString pipe = dir.filePath("trazzo-sound.so");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QVERIFY(!loadEffectOutput(pipe));
        QVERIFY(!loadEffectOutput(dir.filePath("missing.so")));
    }

    void anEffectCutsOffTheOneBefore()
    {
        auto sound = makeSound();
        std::unique_ptr<Ear> ears[2];
        QVERIFY(listen(ears));
        ears[0]->whenHeard = [&sound] { play(*sound, "Get.wav"); };
        play(*sound, "Over.wav"); // 1.32 s, cut off by Get's 0.14 s
        QTRY_VERIFY_WITH_TIMEOUT(ears[0]->heard() && ears[0]->quiet(), 10000);
        QVERIFY2(ears[0]->heardFor() < 1, qPrintable(QString("sound for %1 s").arg(ears[0]->heardFor())));
        // Heard out, they hold no stream open on the server: the output can sleep again.
        QByteArray streams = "?";
        QTRY_VERIFY_WITH_TIMEOUT(m_server->ctl({"list", "short", "sink-inputs"}, &streams) && streams.isEmpty(), 10000);
    }
};

QTEST_GUILESS_MAIN(TestSoundOutput)
#include "tst_sound_output.moc"
