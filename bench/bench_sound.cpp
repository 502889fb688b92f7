// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The first effect after the player switches sound on: the time from the
// game's call until the effect is heard, on a PulseAudio server of our own
// with one null output, heard through its monitor. The sound module is
// loaded by that very switch, so the first round pays for mapping it and for
// connecting; later rounds only connect. Three cases, each in a process of
// its own so that each first round maps the module: the effect asked for at
// the moment of the switch, a tenth of a second after it, and at the switch
// made through the menu (the game loads the output when the menu opens; a
// player's click on the item comes at the earliest some 150 ms later).
//
//   bench_sound [rounds [delay-in-ms]]

#include "sound_effects.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace trazzo;

namespace {

// Milliseconds from the start of the round until the monitor carries sound.
double heardAfter(QProcess &ear, const QElapsedTimer &since)
{
    while (since.elapsed() < 5000) {
        if (ear.waitForReadyRead(1)) {
            const double at = since.nsecsElapsed() / 1e6;
            const QByteArray bytes = ear.readAllStandardOutput();
            const auto *s = reinterpret_cast<const qint16 *>(bytes.constData());
            for (qsizetype i = 0; i < bytes.size() / 2; ++i)
                if (std::abs(s[i]) > 200)
                    return at;
        }
    }
    return -1;
}

// Reads the monitor until a fifth of a second of silence has come.
void waitQuiet(QProcess &ear)
{
    qint64 quiet = 0;
    while (quiet < 48000 / 5 && ear.waitForReadyRead(1000)) {
        const QByteArray bytes = ear.readAllStandardOutput();
        const auto *s = reinterpret_cast<const qint16 *>(bytes.constData());
        for (qsizetype i = 0; i < bytes.size() / 2; ++i)
            quiet = std::abs(s[i]) > 200 ? 0 : quiet + 1;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    if (argc < 3) {
        std::printf("First effect after the sound option is switched on, from the call until heard "
                    "(PulseAudio null output's monitor), %d rounds\n",
                    rounds);
        std::fflush(stdout);
        int failed = 0;
        for (const char *delay : {"0", "100", "150"})
            failed += QProcess::execute(QCoreApplication::applicationFilePath(), {QString::number(rounds), delay});
        return failed ? 1 : 0;
    }
    const int delay = std::max(0, std::atoi(argv[2]));
    QTemporaryDir dir;
    const QString socket = dir.path() + "/native";
    QFile script(dir.path() + "/server.pa");
    script.open(QIODevice::WriteOnly);
    script.write("load-module module-native-protocol-unix socket=" + socket.toUtf8() +
                 " auth-anonymous=1\nload-module module-null-sink sink_name=Out\n");
    script.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir.path());
    env.insert("XDG_RUNTIME_DIR", dir.path());
    env.insert("PULSE_SERVER", "unix:" + socket);
    qputenv("PULSE_SERVER", "unix:" + socket.toUtf8());
    QProcess server;
    server.setProcessEnvironment(env);
    server.start("pulseaudio", {"-n", "-F", dir.path() + "/server.pa", "--daemonize=no", "--exit-idle-time=-1",
                                "--use-pid-file=no", "--log-level=error"});
    QThread::msleep(1000);
    QProcess ear;
    ear.setProcessEnvironment(env);
    ear.start("parec",
              {"--raw", "--format=s16le", "--rate=48000", "--channels=1", "--latency-msec=2", "-d", "Out.monitor"});
    if (!ear.waitForReadyRead(5000)) {
        std::fprintf(stderr, "bench_sound: no sound server (pulseaudio, parec)\n");
        return 2;
    }

    const QString module = QCoreApplication::applicationDirPath() + "/../trazzo-sound.so";
    bool ok = true;
    {
        std::vector<double> heard;
        for (int i = 0; i < rounds; ++i) {
            SoundEffects sound(
                TRAZZO_SOURCE_DIR "/assets/sounds/", [] { return true; }, [&] { return loadEffectOutput(module); });
            waitQuiet(ear);  // also what the monitor still held
            sound.prepare(); // the option switched on
            QThread::msleep(static_cast<unsigned long>(delay));
            QElapsedTimer t;
            t.start();
            sound.PlayEffect("Gold.wav");
            heard.push_back(heardAfter(ear, t));
            waitQuiet(ear);
        }
        const double first = heard.front();
        std::sort(heard.begin(), heard.end());
        std::printf("  effect %3d ms after the output began to load%s: first round %6.1f ms, median %6.1f ms, "
                    "worst %6.1f ms\n",
                    delay, delay == 150 ? " (the switch made through the menu)" : "", first, heard[heard.size() / 2],
                    heard.back());
        ok = ok && heard.front() >= 0;
    }
    ear.kill();
    ear.waitForFinished();
    server.kill();
    server.waitForFinished();
    return ok ? 0 : 1;
}
