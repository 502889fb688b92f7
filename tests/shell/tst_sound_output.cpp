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

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <sys/prctl.h>
#include <mutex>
#include <thread>

using namespace trazzo;

namespace {

// A test that aborts must not leave its server or recorder running.
void dieWithTheTest(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

// A call into the sound that does not come back within this time is a hung
// game: the whole test run is ended with the reason.
class Watchdog {
public:
    explicit Watchdog(const char *what) : m_what(what)
    {
        m_thread = std::thread([this] {
            std::unique_lock lock(m_mutex);
            if (!m_done.wait_for(lock, std::chrono::seconds(20), [this] { return m_finished; }))
                qFatal("the game's thread hung in %s", m_what);
        });
    }
    ~Watchdog()
    {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_all();
        m_thread.join();
    }

private:
    const char *m_what;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
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
        if (!m_server.waitForStarted())
            return false;
        for (int i = 0; i < 200; ++i) {
            if (ctl({"info"}))
                return true;
            QThread::msleep(25);
        }
        return false;
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

    bool ctl(const QStringList &args) const
    {
        QProcess pactl;
        pactl.setProcessEnvironment(clientEnvironment());
        pactl.start("pactl", args);
        return pactl.waitForFinished(5000) && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0;
    }
    // Unplugs an output: its module goes, as a headset's card does.
    bool remove(const QString &sink) const
    {
        QProcess pactl;
        pactl.setProcessEnvironment(clientEnvironment());
        pactl.start("pactl", {"list", "short", "modules"});
        if (!pactl.waitForFinished(5000))
            return false;
        for (const QByteArray &line : pactl.readAllStandardOutput().split('\n'))
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
            m_bytes += bytes.size();
            const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
            for (qsizetype i = 0; i < bytes.size() / 2; ++i) {
                const bool loud = std::abs(samples[i]) > 200;
                m_heard = m_heard || loud;
                m_quietSamples = loud ? 0 : m_quietSamples + 1;
            }
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
    bool heard() const { return m_heard; }
    // A fifth of a second of silence: the last effect is over.
    bool quiet() const { return listening() && m_quietSamples >= 1600; }
    void forget() { m_heard = false; }

private:
    QProcess m_rec;
    qint64 m_bytes = 0;
    bool m_heard = false;
    qint64 m_quietSamples = 0;
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
        Watchdog watch("PlayEffect");
        sound.PlayEffect(name);
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

    void followsTheDefaultOutput_data()
    {
        QTest::addColumn<bool>("unplugged"); // A goes away after B became the default
        QTest::newRow("A stays") << false;
        QTest::newRow("A unplugged") << true;
    }
    void followsTheDefaultOutput()
    {
        QFETCH(bool, unplugged);
        Ear a(*m_server, "A"), b(*m_server, "B");
        QTRY_VERIFY_WITH_TIMEOUT(a.listening() && b.listening(), 10000);
        auto sound = makeSound();
        play(*sound, "Out.wav");
        QTRY_VERIFY_WITH_TIMEOUT(a.heard(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(a.quiet(), 10000);
        QVERIFY(!b.heard());

        QVERIFY(m_server->ctl({"set-default-sink", "B"}));
        if (unplugged)
            QVERIFY(m_server->remove("A"));
        a.forget();
        // Each effect in turn, the one heard before included.
        for (const char *name : {"Out.wav", "Get.wav"}) {
            b.forget();
            play(*sound, name);
            QTRY_VERIFY_WITH_TIMEOUT(b.heard(), 10000);
        }
        QVERIFY(!a.heard());
    }

    void comesBackAfterTheServerRestarts_data()
    {
        QTest::addColumn<bool>("playedWhileDown");
        QTest::newRow("nothing played while it is down") << false;
        QTest::newRow("an effect while it is down") << true;
    }
    void comesBackAfterTheServerRestarts()
    {
        QFETCH(bool, playedWhileDown);
        auto sound = makeSound();
        {
            Ear a(*m_server, "A");
            QTRY_VERIFY_WITH_TIMEOUT(a.listening(), 10000);
            play(*sound, "Gold.wav");
            QTRY_VERIFY_WITH_TIMEOUT(a.heard(), 10000);
        }
        m_server->stop();
        if (playedWhileDown)
            play(*sound, "Gold.wav"); // no server at all: silence, and the game goes on
        QVERIFY(m_server->start());
        Ear a(*m_server, "A");
        QTRY_VERIFY_WITH_TIMEOUT(a.listening(), 10000);
        // The very next effect is heard.
        play(*sound, "Gold.wav");
        QTRY_VERIFY_WITH_TIMEOUT(a.heard(), 10000);
    }

    void aHungServerHoldsNothingUp()
    {
        auto sound = makeSound();
        Ear a(*m_server, "A");
        QTRY_VERIFY_WITH_TIMEOUT(a.listening(), 10000);
        play(*sound, "Get.wav");
        QTRY_VERIFY_WITH_TIMEOUT(a.heard(), 10000);
        m_server->freeze();
        // Game events keep coming while the server answers nothing.
        for (const char *name : {"Out.wav", "High.wav", "Get.wav", "Gold.wav", "Over.wav"})
            play(*sound, name);
        m_server->thaw();
        a.forget();
        QTRY_VERIFY_WITH_TIMEOUT((play(*sound, "Over.wav"), a.heard()), 10000);
        Watchdog watch("closing the sound");
        sound.reset();
    }
};

QTEST_GUILESS_MAIN(TestSoundOutput)
#include "tst_sound_output.moc"
