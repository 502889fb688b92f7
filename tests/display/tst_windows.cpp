// The game as the player meets it: where things stand, the menus, the keys,
// the head's drawing, skins, the high-score and About windows, the sound
// effects and their wave files, and the read-me command.

#include "board_surface.h"
#include "clock_random.h"
#include "fonts.h"
#include "form1.h"
#include "form2.h"
#include "sound_effects.h"
#include "wave_file.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

#include <atomic>

using namespace trazzo;

class TestWindows : public QObject {
    Q_OBJECT
    ClockRandom m_random{2026};
    std::unique_ptr<Form1> m_form;
    QStringList m_messages;
    QString m_skin;

private slots:
    void initTestCase() { installFontSubstitutes(); }
    void init()
    {
        m_form = std::make_unique<Form1>(&m_random, QStringLiteral(TRAZZO_SOURCE_DIR "/assets/sounds"));
        m_form->setMessageBox([this](const QString &text) { m_messages << text; });
        m_form->setFileOpenDialog([this](QWidget *, const QString &) { return m_skin; });
        m_form->Form_Load();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    void cleanup() { m_form.reset(), m_messages.clear(); }

    void windowAsFirstSeen()
    {
        Form1 &f = *m_form;
        QList<QRect> places;
        QStringList texts = {f.windowTitle()};
        for (QWidget *w : QList<QWidget *>{f.centralWidget(), f.Picture1(), f.Label1(), f.Label2(), f.Label3(),
                                           f.Label4(), f.Command1(0), f.Command1(1)})
            places << w->geometry(), texts << w->property("text").toString();
        for (QAction *menu : f.menuBar()->actions())
            for (QAction *a : QList<QAction *>{menu} + menu->menu()->actions())
                texts << (a->text() + ' ' + a->shortcut().toString()).trimmed();
        QCOMPARE(places, (QList<QRect>{QRect(0, places[0].y(), 500, 421), QRect(8, 34, 484, 364), QRect(66, 10, 28, 16),
                                       QRect(160, 10, 55, 16), QRect(272, 10, 28, 16), QRect(8, 408, 484, 13),
                                       QRect(325, 6, 81, 23), QRect(411, 6, 81, 23)}));
        QCOMPARE(texts.join('|'),
                 "Trazzo|||0|0|0|始めるにはゲームモードを選択してください。|ﾘﾌﾚｯｼｭﾓｰﾄﾞ|ﾌｧｲﾌﾞﾓｰﾄﾞ|"
                 "ｹﾞｰﾑ(&G)|ﾘﾌﾚｯｼｭﾓｰﾄﾞ開始(&R) Ctrl+R|ﾌｧｲﾌﾞﾓｰﾄﾞ開始(&F) Ctrl+F||ﾊｲｽｺｱ(&H) Ctrl+H||"
                 "Trazzoの終了(&X) Ctrl+Q|ｵﾌﾟｼｮﾝ(&O)|効果音(&S)||ﾋﾟｸﾁｬ読み込み(&L)|ﾍﾙﾌﾟ(&H)|簡易説明(&H)|"
                 "ﾊﾞｰｼﾞｮﾝ情報(&V)");
        QVERIFY(f.mnuO1->isCheckable() && !f.mnuO1->isChecked() && f.mnuO1->isEnabled());
    }

    void keysSteerAndSpaceHurries_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("moveDir");
        QTest::newRow("left") << int(Qt::Key_Left) << 1;
        QTest::newRow("up") << int(Qt::Key_Up) << 2;
        QTest::newRow("right") << int(Qt::Key_Right) << 3;
        QTest::newRow("down") << int(Qt::Key_Down) << 4;
        QTest::newRow("Space hurries") << int(Qt::Key_Space) << 0;
        QTest::newRow("a letter does nothing") << int(Qt::Key_A) << 0;
    }
    void keysSteerAndSpaceHurries()
    {
        QFETCH(int, key);
        QFETCH(int, moveDir);
        Form1 &f = *m_form;
        QTest::mouseClick(f.Command1(1), Qt::LeftButton); // the button gives the keys back to the board
        QCOMPARE(f.Label4()->text() + f.Label3()->text(), "ファイブモードでプレイ中1");
        QCOMPARE(QApplication::focusWidget(), f.Picture1());
        QTest::keyPress(f.Picture1(), Qt::Key(key));
        QCOMPARE(f.game().state().MoveDir, moveDir);
        QCOMPARE(f.Timer1()->interval(), key == Qt::Key_Space ? 10 : 100);
        QKeyEvent held(QEvent::KeyRelease, key, Qt::NoModifier, QString(), true); // a held key repeating
        QApplication::sendEvent(f.Picture1(), &held);
        QCOMPARE(f.Timer1()->interval(), key == Qt::Key_Space ? 10 : 100);
        QTest::keyRelease(f.Picture1(), Qt::Key(key));
        QCOMPARE(f.Timer1()->interval(), 100);
    }

    void headShowsItsCellAround()
    {
        BoardSurface s;
        const QImage sheet = QImage(":/tiles.bmp").convertToFormat(QImage::Format_RGB32);
        s.setTileSheet(sheet);
        for (int d = 0; d < 4; ++d) // each facing on another cell: a hole, a chest, two panels
            s.Cell_Paint(d, 0, 2 * d + 1), s.Head_Paint(d, 0, d);
        // The head's picture is white wherever the cell shows through it.
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 48; ++x) {
                const QRgb head = sheet.pixel(x, 12 + y), cell = sheet.pixel(x + 12 * (x / 12 + 1), y);
                QCOMPARE(s.image().pixel(x, y), head == qRgb(255, 255, 255) ? cell : head);
            }
    }

    void skinsLoadOrAreRefused_data()
    {
        QTest::addColumn<QString>("file"); // made by skins/make_skins.py
        QTest::addColumn<int>("width");    // of the tiles taken; 0: refused
        QTest::addColumn<QString>("message");
        const QString loaded = "ピクチャを読み込みました", unchanged = "ピクチャは変更されていません。";
        QTest::newRow("top-down BMP") << "top-down.bmp" << 96 << loaded;
        QTest::newRow("RLE BMP") << "rle8.bmp" << 96 << loaded;
        QTest::newRow("48 x 12 draws black beyond") << "48x12.bmp" << 48 << loaded;
        QTest::newRow("RLE BMP cut short") << "rle8-cut.bmp" << 0 << "ピクチャを読み込めませんでした。" + unchanged;
    }
    void skinsLoadOrAreRefused()
    {
        QFETCH(QString, file);
        QFETCH(int, width);
        QFETCH(QString, message);
        m_skin = TRAZZO_SOURCE_DIR "/tests/display/skins/" + file;
        const QImage before = m_form->Picture1()->grab().toImage();
        m_form->mnuO3->trigger();
        QCOMPARE(m_messages, QStringList{message});
        const QImage shown = m_form->Picture1()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(width || shown == before.convertToFormat(QImage::Format_RGB32));
        // Every cell in its new look, each screen pixel a crisp copy.
        const int n = qRound(shown.devicePixelRatio());
        for (int p = 0; p < 1200 && width; ++p) {
            const int k = m_form->game().state().Board[std::size_t(p)] - '0';
            const QPoint at((2 + 12 * (p % 40) + 11) * n + n - 1, (2 + 12 * (p / 40) + 6) * n);
            QCOMPARE(shown.pixel(at), 12 * k < width ? qRgb(16 * k + 5, 250 - 15 * k, 77) : qRgb(0, 0, 0));
        }
    }

    void highScoresStandInOneColumnUntilAnyKey_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key");
        QTest::newRow("accent and descender, Escape") << "Åg" << int(Qt::Key_Escape);
        QTest::newRow("kanji, Shift alone") << "花子" << int(Qt::Key_Shift);
        QTest::newRow("too long, a letter") << "WWWWWWWWWWWWWWWWWWWWWWWW" << int(Qt::Key_Q);
    }
    void highScoresStandInOneColumnUntilAnyKey()
    {
        QFETCH(QString, name);
        QFETCH(int, key);
        HighScores plain, &table = m_form->scores().HighScores;
        plain[0] = plain[4] = {850, ""};
        table[0] = table[4] = {850, name};
        plain[2] = table[2] = {1234567, "Ken"};
        QTest::keyClick(m_form->Picture1(), Qt::Key_H, Qt::ControlModifier);
        QPointer<Form3> form = m_form->highScoreWindow().window();
        QStringList lines = {form->windowTitle(), form->Label1(0)->text(), form->Label1(1)->text()};
        for (int k = 0; k < 6; ++k)
            lines << form->Label2(k)->text();
        QCOMPARE(lines, (QStringList{"Trazzo ﾊｲｽｺｱ", "リフレッシュモード", "ファイブモード", "1.    850 " + name,
                                     "2.      0 ", "3. 234567 Ken", "4.      0 ", "5.    850 " + name, "6.      0 "}));
        // "N.    850" reads the same, pixel for pixel, as with no name at all,
        // and a long name stops at the line's end, off the panel's edge.
        const QImage reference = Form3(plain, nullptr).grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage shown = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int n = qRound(shown.devicePixelRatio());
        for (int y = 0; y < 148 * n; ++y)
            for (int x = 0; x < 218 * n; ++x)
                if (qGray(reference.pixel(x, y)) < 160 || x >= 206 * n)
                    QCOMPARE(shown.pixel(x, y), reference.pixel(x, y));
        QVERIFY(!m_form->isEnabled() && m_form->Timer1()->isActive());
        QTest::keyClick(form.data(), Qt::Key(key));
        QTRY_VERIFY(!form && m_form->isEnabled());
    }

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
        const QString got =
            s ? QString::asprintf("%d %d %d %d", int(s->sample), s->channels, s->sampleRate, int(s->pcm.size())) : "";
        QCOMPARE(got, read);
        QVERIFY(!s || bytes.mid(bytes.indexOf("data") + 8).startsWith(s->pcm));
        // The sound option needs all five files; these test waves have none of their names.
        QVERIFY(!allWaveFilesPresent(TRAZZO_SOURCE_DIR "/tests/shell/waves/"));
    }

    void closingSavesTheScores() // the window's close, then the exit command
    {
        const QString ini = qEnvironmentVariable("XDG_DATA_HOME") + "/Trazzo/Windows/Trazzo.ini";
        QFile::remove(ini);
        m_form->close();
        QVERIFY(QFile::remove(ini));
        m_form->setEndProgram([] {});
        m_form->mnuG6->trigger();
        QVERIFY(QFile::exists(ini));
    }

    void aboutWindowLocksTheMainWindow()
    {
        m_form->mnuH2_Click();
        Form2 *about = m_form->aboutWindow().window();
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QCOMPARE(about->Label2()->text(), "Ver 1.00");
        QVERIFY(!m_form->isEnabled());
        about->close();
        QVERIFY(m_form->isEnabled());
    }

    void soundsOnlyWhileTheOptionIsOn()
    {
        struct Recorded : EffectOutput {
            QList<QByteArray> &log;
            explicit Recorded(QList<QByteArray> &l) : log(l) {}
            void play(const EffectSamples &e) override { log << QByteArray(e.pcm, qsizetype(e.bytes)); }
        };
        QList<QByteArray> log;
        std::atomic<int> loads = 0;
        bool on = false;
        SoundEffects sound(
            TRAZZO_SOURCE_DIR "/assets/sounds/", [&] { return on; },
            [&] {
                ++loads;
                return std::make_unique<Recorded>(log);
            });
        sound.PlayEffect("Get.wav");
        QTest::qWait(50);   // time for a wrong load to show
        QCOMPARE(loads, 0); // no output loaded while the option is off
        on = true;
        sound.PlayEffect("Gold.wav"); // asked for while the output loads: played once it is there
        QTRY_COMPARE(log.size(), 1);
        sound.PlayEffect("Out.wav");
        sound.PlayEffect("Nothing.wav");
        QCOMPARE(loads, 1);
        // Each effect's samples are its file's data chunk, handed over whole.
        const auto samples = [](const char *name) {
            QFile f(QString(TRAZZO_SOURCE_DIR "/assets/sounds/") + name);
            f.open(QIODevice::ReadOnly);
            const QByteArray bytes = f.readAll();
            return bytes.mid(bytes.indexOf("data") + 8);
        };
        QCOMPARE(log, (QList<QByteArray>{samples("Gold.wav"), samples("Out.wav")}));
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
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", TRAZZO_SOURCE_DIR "/tests/shell/openers/" + opener.toUtf8());
        QStringList messages;
        ReadmeOpener([&](const QString &text) { messages << text; }).open("/a b; c/");
        qputenv("PATH", path);
        QTest::qWait(opener == "shows" ? 500 : 0); // time for a wrong start to fail
        QTRY_COMPARE(messages.join(""), opener == "shows" ? "" : "メモ帳が見つからないため参照できません。");
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
