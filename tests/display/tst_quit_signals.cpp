// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A logout, kill or Ctrl+C at any moment, start-up included: the real game,
// on an X server of its own, saves its scores and ends. A burst of signals
// cannot hang it.

#include "high_scores.h"
#include "player_file.h"
#include "quit_signals.h"

#include <QtTest>

#include <cerrno>
#include <cstdio>
#include <csignal>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace trazzo;

namespace {

const QByteArray OldSave = "Trazzo スコアファイル 2002/05/12 14:03:27\r\n"
                           "000500Ann\r\n000300Bob\r\n000100Cy\r\n000900Dee\r\n000800Eve\r\n000700Fay\r\n";

// Whether the process has its own handler for the signal yet.
bool catches(qint64 pid, int sig)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (sig - 1)) & 1;
    return false;
}

} // namespace

class TestQuitSignals : public QObject {
    Q_OBJECT
    QProcess m_xserver;
    QString m_display;

private slots:
    void initTestCase()
    {
        // Run from nohup or a shell's background, these would be ignored
        // here and in the games started, which then rightly keep ignoring them.
        for (int sig : {SIGHUP, SIGINT, SIGTERM})
            ::signal(sig, SIG_DFL);
        // An X server of our own: on it the window is not exposed the moment
        // it is shown, so start-up waits for it as on a real desktop.
        m_xserver.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "640x480x24"});
        QVERIFY2(m_xserver.waitForStarted(10000), "Xvfb is in tools/install-deps.sh test");
        QTRY_VERIFY_WITH_TIMEOUT(m_xserver.canReadLine(), 20000);
        m_display = ':' + QString::fromLatin1(m_xserver.readLine().trimmed());
    }
    void cleanupTestCase()
    {
        m_xserver.terminate();
        m_xserver.waitForFinished(10000);
    }

    void burstNeverBlocksNorTouchesErrno()
    {
        QVERIFY(catchQuitSignals());
        QuitSignals quit;
        int asked = 0;
        connect(&quit, &QuitSignals::quitAsked, this, [&asked] { ++asked; });
        // A child of this process takes a burst while nobody reads the
        // socket: enough signals to fill it many times over.
        const pid_t child = ::fork();
        if (child == 0) {
            for (int i = 0; i < 20000; ++i) {
                errno = EDOM;
                ::raise(SIGHUP);
                if (errno != EDOM)
                    ::_exit(3);
            }
            ::_exit(0);
        }
        QVERIFY(child > 0);
        // Its end is waited for without reading the socket meanwhile.
        pollfd ended{int(::syscall(SYS_pidfd_open, child, 0)), POLLIN, 0};
        const bool done = ::poll(&ended, 1, 20000) == 1;
        ::close(ended.fd);
        int status = 0;
        if (!done)
            ::kill(child, SIGKILL);
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY2(done, "the handler blocked");
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0); // 3: the handler changed errno
        QTRY_COMPARE(asked, 1);           // the whole burst asks once
        QCoreApplication::processEvents();
        QCOMPARE(asked, 1);
        ::raise(SIGTERM); // and a later signal is not lost
        QTRY_COMPARE(asked, 2);
    }

    void quitAtAnyMoment_data()
    {
        QTest::addColumn<int>("sig");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("lockHeld"); // another copy holds the score file's lock meanwhile
        // Started under nohup (SIGHUP ignored) or in a shell's background
        // (SIGINT ignored), the game must not end on those later.
        QTest::addColumn<bool>("ignoring");
        QTest::newRow("SIGTERM during start-up") << SIGTERM << 1 << false << false;
        QTest::newRow("SIGINT during start-up") << SIGINT << 1 << false << false;
        QTest::newRow("SIGHUP during start-up") << SIGHUP << 1 << false << false;
        QTest::newRow("20000 SIGHUPs while another copy saves") << SIGHUP << 20000 << true << false;
        QTest::newRow("SIGTERM, started under nohup in the background") << SIGTERM << 1 << false << true;
    }
    void quitAtAnyMoment()
    {
        QFETCH(int, sig);
        QFETCH(int, count);
        QFETCH(bool, lockHeld);
        QFETCH(bool, ignoring);
        QTemporaryDir data;
        const QString ini = data.path() + "/Trazzo/Windows/Trazzo.ini";
        QVERIFY(QDir().mkpath(data.path() + "/Trazzo/Windows"));
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(OldSave) == OldSave.size());
        file.close();
        QLockFile lock(ini + ".lock");
        QVERIFY(!lockHeld || lock.lock());

        QProcess game;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", m_display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_DATA_HOME", data.path());
        env.remove("WAYLAND_DISPLAY");
        game.setProcessEnvironment(env);
        game.setChildProcessModifier([ignoring] {
            if (ignoring)
                ::signal(SIGHUP, SIG_IGN), ::signal(SIGINT, SIG_IGN);
        });
        game.start(TRAZZO_PROGRAM);
        QVERIFY(game.waitForStarted(10000));
        // From the moment the game has a handler: before it the signal's
        // default would end it, with nothing of this run to save yet.
        QTRY_VERIFY_WITH_TIMEOUT(catches(game.processId(), sig) || game.state() == QProcess::NotRunning, 20000);
        if (ignoring) { // the game takes them as it would, and they do nothing
            QVERIFY(!catches(game.processId(), SIGHUP) && !catches(game.processId(), SIGINT));
            ::kill(pid_t(game.processId()), SIGHUP), ::kill(pid_t(game.processId()), SIGINT);
        }
        for (int i = 0; i < count; ++i)
            ::kill(pid_t(game.processId()), sig);
        QElapsedTimer sinceSignal;
        sinceSignal.start();
        if (lockHeld)
            lock.unlock();
        QVERIFY2(game.waitForFinished(20000), "the game lives on");
        qInfo("ended %lld ms after the last signal", sinceSignal.elapsed());
        QCOMPARE(game.exitStatus(), QProcess::NormalExit);
        QCOMPARE(game.exitCode(), 0);
        // Saved: the same entries under a new time.
        const QByteArray saved = readPlayerFile(ini, 999).bytes;
        QVERIFY2(!saved.startsWith(OldSave.left(OldSave.indexOf('\r'))), saved.constData());
        QCOMPARE(saved.mid(saved.indexOf('\n')), OldSave.mid(OldSave.indexOf('\n')));
    }

    void lostDisplaySaves()
    {
        // The X server goes away under the game: Qt ends the program, and the
        // scores are saved on the way out.
        QProcess xserver;
        xserver.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "640x480x24"});
        QVERIFY(xserver.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(xserver.canReadLine(), 20000);
        // In a data folder whose name is not UTF-8: that folder, byte for byte.
        QTemporaryDir top;
        const QByteArray data = QFile::encodeName(top.path()) + "/donn\xe9es",
                         ini = data + "/Trazzo/Windows/Trazzo.ini";
        for (const char *folder : {"", "/Trazzo", "/Trazzo/Windows"})
            QCOMPARE(::mkdir(data + folder, 0755), 0);
        FILE *file = std::fopen(ini.constData(), "wb");
        QVERIFY(file && std::fwrite(OldSave.constData(), 1, OldSave.size(), file) == size_t(OldSave.size()));
        std::fclose(file);
        QProcess game;
        const QByteArray display = ':' + xserver.readLine().trimmed();
        // Set in the child: a QProcessEnvironment holds text, not bytes.
        // Qt ends the program from deep inside its event handling, where the
        // libraries' own allocations (D-Bus, fontconfig) are still held: no
        // leak of ours for the sanitised build to report.
        const QByteArray sanitizer = qgetenv("ASAN_OPTIONS") + ":detect_leaks=0";
        game.setChildProcessModifier([data, display, sanitizer] {
            ::setenv("ASAN_OPTIONS", sanitizer.constData(), 1);
            ::setenv("XDG_DATA_HOME", data.constData(), 1);
            ::setenv("DISPLAY", display.constData(), 1);
            ::setenv("QT_QPA_PLATFORM", "xcb", 1);
            ::unsetenv("WAYLAND_DISPLAY");
        });
        game.start(TRAZZO_PROGRAM);
        QVERIFY(game.waitForStarted(10000));
        // Its window is up once it sits in its loop, catching SIGTERM.
        QTRY_VERIFY_WITH_TIMEOUT(catches(game.processId(), SIGTERM), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(::access(ini + ".lock", F_OK) == 0, 20000);
        xserver.kill();
        QVERIFY2(game.waitForFinished(20000), "the game lives on without its display");
        QCOMPARE(game.exitCode(), 1);
        const QByteArray saved = readPlayerFile(ini, 999).bytes;
        QVERIFY2(!saved.startsWith(OldSave.left(OldSave.indexOf('\r'))), saved.constData());
        QCOMPARE(saved.mid(saved.indexOf('\n')), OldSave.mid(OldSave.indexOf('\n')));
        QCOMPARE(QProcess::execute("rm", {"-r", top.path()}), 0);
    }
};

QTEST_GUILESS_MAIN(TestQuitSignals)
#include "tst_quit_signals.moc"
