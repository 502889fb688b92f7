// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One short game per mode through the real main window, as a player plays:
// a start button, arrow keys on the board, the game timer running, a name
// typed into the prompt, the high-score window; then the score file once
// the window is closed. The random source is scripted.

#include "board_surface.h"
#include "engine/rig.h"
#include "form1.h"
#include "form3.h"
#include "high_scores.h"

#include <QtWidgets>

using namespace trazzo;
using namespace trazzo::test;

namespace {

// A picture of the title's kind: rows 7-13 and 16-22 as given, stone elsewhere.
QString picture(const QStringList &rows)
{
    return QString(280, '0') + rows.mid(0, 7).join("") + QString(80, '0') + rows.mid(7).join("") + QString(280, '0');
}

} // namespace

class TestWholeGames : public QObject {
    Q_OBJECT
    QTemporaryDir folder, home;
    Rig rig; // the random source and the sound
    Form1 *f = nullptr;

    bool shows(int c, int r, int sx, int sy) const
    {
        return f->Picture1()->image().copy(12 * c, 12 * r, 12, 12) == f->Picture1()->tileSheet().copy(sx, sy, 12, 12);
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        QCoreApplication::setApplicationName("Trazzo");
        for (const char *name : {"Get.wav", "Gold.wav", "High.wav", "Out.wav"}) // "Over.wav" is missing
            QVERIFY(QFile::copy(QString(TRAZZO_SOURCE_DIR "/assets/sounds/") + name, folder.filePath(name)));
        QVERIFY(QDir().mkpath(QFileInfo(QFile::decodeName(defaultScoreFile())).path())); // Five mode's list is full
        QFile scores(QFile::decodeName(defaultScoreFile()));
        QVERIFY(scores.open(QIODevice::WriteOnly));
        scores.write("Trazzo\r\n000000\r\n000000\r\n000000\r\n000090F1\r\n000080F2\r\n000070F3\r\n");
        scores.close();
        f = new Form1(&rig, folder.path());
        f->setSound(&rig);
        f->setChainPause(std::chrono::microseconds(0));
        f->Form_Load();
        QVERIFY(QTest::qWaitForWindowActive(f));
        QVERIFY(!f->mnuO1->isEnabled() && !f->mnuO1->isChecked());
        QCOMPARE(QString::fromStdString(f->game().state().Board),
                 picture({"0000555550055550000555000000000000000000", "0000005000050005005000500000000000000000",
                          "0000005000050005005000500000000000000000", "0000005000055550005555500000000000000000",
                          "0000005000050500005000500000000000000000", "0000005000050050005000500000000000000000",
                          "0000005000050005005000500000000000000000", "0000000000000555550055555000555000000000",
                          "0000000000000000050000005005000500000000", "0000000000000000500000050005000500000000",
                          "0000000000000005000000500005000500000000", "0000000000000050000005000005000500000000",
                          "0000000000000500000050000005000500000000", "0000000000000555550055555000555000000000"}));
        QVERIFY(shows(4, 7, 60, 0) && shows(3, 7, 0, 0));
    }

    void oneGame_data()
    {
        columns<int, Script, int, int, int, QString, QString, QString>("button", "script", "key", "turn", "headAt",
                                                                       "end", "name", "line");
        // Refresh: a blue chest three cells right of the head, then back
        // into the line of holes. Five: an orange chest three cells left,
        // then up into the wall, with Space held.
        Script far;
        for (int i = 0; i < 5; ++i)
            far << at(30 + i, 25) << kind(0);
        QTest::newRow("refresh") << 0
                                 << Script{0.0, at(8, 5), kind(0)} + far.mid(0, 4) + Script{at(5, 5), 0.0} + far.mid(2)
                                 << int(Qt::Key_Right) << int(Qt::Key_Left) << pos(6, 5)
                                 << QString("穴に落ちてしまい、ゲームオーバーです。") << QString("タロ\tウ")
                                 << QString("1.     47 タロ ウ");
        QTest::newRow("five") << 1 << Script{at(5, 10), kind(5)} + far.mid(0, 8) + Script{at(8, 10)} + far.mid(8)
                              << int(Qt::Key_Left) << int(Qt::Key_Up) << pos(5, 0)
                              << QString("壁にぶつかってしまい、ゲームオーバーです。") << QString("Hanako")
                              << QString("4.     94 Hanako");
    }
    void oneGame()
    {
        const bool five = cell<int>("button") == 1;
        const GameState &s = f->game().state();
        rig.log.clear();
        rig.script = cell<Script>("script");
        QTest::mouseClick(f->Command1(cell<int>("button")), Qt::LeftButton);
        QCOMPARE(f->Label4()->text(), five ? "ファイブモードでプレイ中" : "リフレッシュモードでプレイ中");
        QCOMPARE(f->focusWidget(), f->Picture1());
        QVERIFY(shows(five ? 5 : 8, five ? 10 : 5, five ? 48 : 36, 0));
        if (five)
            QTest::keyPress(f->Picture1(), Qt::Key_Space);
        QTest::keyClick(f->Picture1(), Qt::Key(cell<int>("key")));
        QCOMPARE(f->Timer1()->interval(), five ? 10 : 100);
        QTRY_COMPARE(s.Stage, 2);
        QCOMPARE(f->Label1()->text() + " " + f->Label2()->text() + " " + f->Label3()->text(),
                 five ? "55 94 2" : "55 47 2");

        // Types the name once the prompt is up. The entry is on disk by
        // then, with no name yet. In Five mode the game is told to quit
        // (a logout, say) before Return: what was typed is the name.
        QByteArray before, typed;
        QTimer answer;
        connect(&answer, &QTimer::timeout, f, [&] {
            if (auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget())) {
                answer.stop();
                const auto line = [five] {
                    QFile file(QFile::decodeName(defaultScoreFile()));
                    return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n').value(five ? 4 : 1) : "";
                };
                before = line();
                const QString name = cell<QString>("name");
                dialog->findChild<QLineEdit *>()->setText(name.left(2));
                f->saveScoresQuietly(); // as when the display is lost while the player types
                typed = line();
                dialog->findChild<QLineEdit *>()->setText(name);
                five ? f->quitSaving() : QTest::keyClick(dialog, Qt::Key_Return);
            }
        });
        answer.start(20);
        QTest::keyClick(f->Picture1(), Qt::Key(cell<int>("turn")));
        QTRY_COMPARE(s.GameMode, NoGame);
        QCOMPARE(before, five ? "000094\r" : "000047\r");
        QCOMPARE(typed, five ? "000094Ha\r" : "000047タロ\r");
        QTEST(s.HeadPos, "headAt");
        QTEST(f->Label4()->text(), "end");
        QCOMPARE(rig.log, (QStringList{"sound Gold.wav", "sound Out.wav", "sound High.wav"}));
        // GAME OVER on the board: "G" begins with red panels at row 7, columns 5-7, on stone.
        QVERIFY(shows(4, 7, 0, 0) && shows(5, 7, 84, 0) && shows(7, 7, 84, 0) && shows(8, 7, 0, 0));
        QFile saved(QFile::decodeName(defaultScoreFile())); // on disk as soon as the name is typed
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll().split('\n').value(five ? 4 : 1), five ? "000094Hanako\r" : "000047タロ ウ\r");
        Form3 *table = f->highScoreWindow().window();
        QVERIFY(table && table->isVisible() && !f->isEnabled());
        QTEST(table->Label2(five ? 3 : 0)->text(), "line");
        QTest::keyClick(table, Qt::Key_A);
        QTRY_VERIFY(f->isEnabled());
        QTest::keyRelease(f->Picture1(), Qt::Key_Space);
        QCOMPARE(f->Timer1()->interval(), 100);
        QVERIFY(rig.script.empty());
    }

    void cleanupTestCase()
    {
        QVERIFY(f->close());
        delete f;
        QFile file(QFile::decodeName(defaultScoreFile()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split("\r\n");
        QCOMPARE(lines.mid(1),
                 (QStringList{"000047タロ ウ", "000000", "000000", "000094Hanako", "000090F1", "000080F2", ""}));
    }
};

QTEST_MAIN(TestWholeGames)
#include "tst_whole_games.moc"
