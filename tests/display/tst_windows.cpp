// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game as the player meets it: where things stand, the menus, the keys,
// the head's drawing, skins, the high-score and About windows, the sound
// effects and their wave files, and the read-me command.

#include "board_surface.h"
#include "clock_random.h"
#include "fonts.h"
#include "file_open_dialog.h"
#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "player_file.h"
#include "sound_effects.h"
#include "tile_sheet_loader.h"
#include "wave_file.h"

#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

#include <atomic>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace trazzo;

namespace {

// A window as the player sees it, one pixel per window pixel.
QImage seen(QWidget *w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32).scaled(w->size()); }

// The text in a label's box: how many rows its ink spans, the rows free
// above and below it, and its darkest pixel. Ink is what no ground here is:
// darker than the texture's 131, or bluish.
struct Ink {
    int rows, above, below;
    QColor colour;
};
Ink inkOf(QWidget *label) // counted on the screen's pixels, given in the window's
{
    const QImage image = label->parentWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int n = qRound(image.devicePixelRatio());
    const QRect box(label->geometry().topLeft() * n, label->size() * n);
    int top = box.bottom() + 1, bottom = box.top() - 1;
    QRgb darkest = qRgb(255, 255, 255);
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (const QRgb p = image.pixel(x, y); qGray(p) < 128 || qBlue(p) > qRed(p) + 30) {
                top = std::min(top, y), bottom = std::max(bottom, y);
                darkest =
                    qRed(p) + qGreen(p) + qBlue(p) < qRed(darkest) + qGreen(darkest) + qBlue(darkest) ? p : darkest;
            }
    return {(bottom - top + n) / n, (top - box.top()) / n, (box.bottom() - bottom) / n, QColor(darkest)};
}

} // namespace

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
        QTest::newRow("a digit does nothing") << int(Qt::Key_4) << 0;
        QTest::newRow("% (the left arrow's code in ASCII) does nothing") << int(Qt::Key_Percent) << 0;
        QTest::newRow("Ctrl with an arrow does nothing") << int(Qt::Key_Left | Qt::ControlModifier) << 0;
    }
    void keysSteerAndSpaceHurries()
    {
        QFETCH(int, key);
        QFETCH(int, moveDir);
        Form1 &f = *m_form;
        QTest::mouseClick(f.Command1(1), Qt::LeftButton); // the button gives the keys back to the board
        QCOMPARE(f.Label4()->text() + f.Label3()->text(), "ファイブモードでプレイ中1");
        QCOMPARE(QApplication::focusWidget(), f.Picture1());
        QTest::keyPress(f.Picture1(), Qt::Key(key & ~Qt::ControlModifier),
                        Qt::KeyboardModifiers(key & Qt::ControlModifier));
        QCOMPARE(f.game().state().MoveDir, moveDir);
        QCOMPARE(f.Timer1()->interval(), key == Qt::Key_Space ? 10 : 100);
        QKeyEvent held(QEvent::KeyRelease, key, Qt::NoModifier, QString(), true); // a held key repeating
        QApplication::sendEvent(f.Picture1(), &held);
        QCOMPARE(f.Timer1()->interval(), key == Qt::Key_Space ? 10 : 100);
        QTest::keyRelease(f.Picture1(), Qt::Key(key & ~Qt::ControlModifier));
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
        for (const auto &[name, file, width] : std::initializer_list<std::tuple<const char *, const char *, int>>{
                 {"top-down BMP", "top-down.bmp", 96},
                 {"RLE BMP", "rle8.bmp", 96},
                 {"48 x 12 draws black beyond", "48x12.bmp", 48},
                 {"66 x 12, a tile cut in half", "66x12.bmp", 66},
                 {"24-bit BMP", "24-bit.bmp", 96},
                 {"32-bit BMP, colour masks", "32-bit-masks.bmp", 96},
                 {"32-bit BMP, masks in the header", "32-bit-masks-header108.bmp", 96},
                 {"RLE4 BMP", "rle4.bmp", 96},
                 {"PNG", "top-down.png", 96},
                 {"RLE BMP, pixels as they are", "rle8-absolute.bmp", 96},
                 {"RLE4 BMP, no end mark", "rle4-no-end.bmp", 96},
                 {"RLE BMP, a jump past the end", "rle8-jump-at-end.bmp", 96}})
            QTest::newRow(name) << QString(file) << width << loaded;
        QTest::newRow("cancelled") << "" << 0 << "";
        QTest::newRow("a header only") << "header-only.bmp" << 0 << "ピクチャを読み込めませんでした。" + unchanged;
        QTest::newRow("no such file") << "missing.bmp" << 0 << "ファイルが見つかりません。" + unchanged;
        // A plain file whose read fails: the kernel answers EIO at offset 0.
        QTest::newRow("a read error") << "/proc/self/mem" << 0 << "ピクチャを読み込めませんでした。" + unchanged;
        QTest::newRow("not a picture") << "make_skins.py" << 0
                                       << "bmp または png のピクチャではありません。" + unchanged;
        QTest::newRow("2000 pixels wide") << "wide.bmp" << 0 << "ピクチャが大きすぎます。" + unchanged;
        QTest::newRow("a 4 MB file") << "+4194304" << 96 << loaded; // top-down.bmp, zeros after it
        QTest::newRow("a byte more") << "+4194305" << 0 << "ピクチャが大きすぎます。" + unchanged;
        QTest::newRow("a PNG in a BMP") << "png-in-bmp.bmp" << 0 << "ピクチャを読み込めませんでした。" + unchanged;
        for (const char *cut : {"rle8-cut.bmp", "rle4-cut.bmp", "plain-cut.bmp", "top-down-cut.bmp",
                                "32-bit-masks-cut.bmp", "rle8-cut-in-jump.bmp"})
            QTest::newRow(cut) << cut << 0 << "ピクチャを読み込めませんでした。" + unchanged;
        // Each header read by its own size; a cut one is refused whatever its header.
        for (const char *size : {"12", "40", "64", "108", "124"}) {
            QTest::addRow("%s-byte header", size) << QString("header%1.bmp").arg(size) << 96 << loaded;
            QTest::addRow("%s-byte header cut short", size)
                << QString("header%1-cut.bmp").arg(size) << 0 << "ピクチャを読み込めませんでした。" + unchanged;
        }
    }
    void skinsLoadOrAreRefused()
    {
        QFETCH(QString, file);
        QFETCH(int, width);
        QFETCH(QString, message);
        const QString skins = TRAZZO_SOURCE_DIR "/tests/display/skins/";
        QTemporaryFile big;
        QFile skin(skins + "top-down.bmp");
        QVERIFY(!file.startsWith('+') || (big.open() && skin.open(QIODevice::ReadOnly) && big.write(skin.readAll()) &&
                                          big.resize(file.toInt())));
        m_skin = file.isEmpty()         ? ""
                 : file.startsWith('+') ? big.fileName()
                 : file.startsWith('/') ? file
                                        : skins + file;
        const QImage before = m_form->Picture1()->grab().toImage();
        m_form->mnuO3->trigger();
        QCOMPARE(m_messages.join(""), message);
        const QImage shown = m_form->Picture1()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(width || shown == before.convertToFormat(QImage::Format_RGB32));
        // Every cell in its new look, each screen pixel a crisp copy; what
        // lies beyond the sheet's right edge is black.
        const int n = qRound(shown.devicePixelRatio());
        for (int p = 0; p < 1200 && width; ++p)
            for (int x : {1, 11}) {
                const int k = m_form->game().state().Board[std::size_t(p)] - '0';
                const QPoint at((2 + 12 * (p % 40) + x) * n + n - 1, (2 + 12 * (p / 40) + 6) * n);
                QCOMPARE(shown.pixel(at), 12 * k + x < width ? qRgb(16 * k + 5, 250 - 15 * k, 77) : qRgb(0, 0, 0));
            }
    }

    void highScoresStandInOneColumnUntilAnyKey_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key");
        QTest::newRow("accent and descender, Escape") << "Åg" << int(Qt::Key_Escape);
        QTest::newRow("kanji, Shift alone") << "花子" << int(Qt::Key_Shift);
        QTest::newRow("too long, a letter") << "WWWWWWWWWWWWWWWWWWWWWWWW" << int(Qt::Key_Q);
        QTest::newRow("Alt alone, let go") << "Jo" << int(Qt::Key_Alt);
    }
    void highScoresStandInOneColumnUntilAnyKey()
    {
        QFETCH(QString, name);
        QFETCH(int, key);
        HighScores &table = m_form->scores().HighScores;
        table[0] = table[4] = {850, name};
        table[2] = {1234567, "Ken"};
        QTest::keyClick(m_form->Picture1(), Qt::Key_H, Qt::ControlModifier);
        QPointer<Form3> form = m_form->highScoreWindow().window();
        QStringList lines = {form->windowTitle(), form->Label1(0)->text(), form->Label1(1)->text()};
        for (int k = 0; k < 6; ++k)
            lines << form->Label2(k)->text();
        QCOMPARE(lines, (QStringList{"Trazzo ﾊｲｽｺｱ", "リフレッシュモード", "ファイブモード", "1.    850 " + name,
                                     "2.      0 ", "3. 234567 Ken", "4.      0 ", "5.    850 " + name, "6.      0 "}));
        QCOMPARE(form->Label1(0)->geometry(), QRect(2, 2, 110, 15));
        QCOMPARE(form->Label1(1)->geometry(), QRect(2, 76, 85, 15));
        for (int k = 0; k < 6; ++k) // three rows a mode, 16 pixels apart
            QCOMPARE(form->Label2(k)->geometry(), QRect(6, (k < 3 ? 22 : 48) + 16 * k, 200, 15));
        const QImage panels = seen(form); // sunken: grey top and left edges, white bottom and right
        for (int top : {19, 93})
            for (int i = 1; i < 52; ++i)
                QVERIFY(panels.pixel(2, top + i) == qRgb(128, 128, 128) &&
                        panels.pixel(219, top + i) == qRgb(255, 255, 255) &&
                        panels.pixel(2 + 4 * i, top) == qRgb(128, 128, 128) &&
                        panels.pixel(2 + 4 * i, top + 52) == qRgb(255, 255, 255));
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
        QTest::newRow("two-data-chunks") << "1 1 8000 8";
        for (const char *refused :
             {"empty", "not-riff", "not-wave", "no-format", "no-data", "less-than-a-frame", "format-cut-short",
              "format-12-bytes", "adpcm", "12-bit", "float-64-bit", "no-channels", "9-channels", "frame-size-lies",
              "rate-0", "rate-400k", "extensible-adpcm", "extensible-header-cut"})
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

    // The window's close, a quit signal, a close again, the exit command, a save that fails.
    void closingSavesTheScores()
    {
        const QString ini = qEnvironmentVariable("XDG_DATA_HOME") + "/Trazzo/Windows/Trazzo.ini";
        QVERIFY(!QFileInfo::exists(qEnvironmentVariable("XDG_DATA_HOME"))); // a first run: no folder yet
        m_form->close();
        QVERIFY(QFile::remove(ini));
        int ends = 0;
        m_form->setEndProgram([&ends] { ++ends; });
        // A quit that did not end the program (it came before there was a
        // loop to end) does not keep a later close from saving.
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        m_form->quitSaving();
        QVERIFY(QFile::remove(ini));
        m_form->quitSaving(); // a second quit signal: saved and ending already
        QVERIFY(ends == 1 && !QFile::exists(ini));
        m_form->close();
        QVERIFY(QFile::remove(ini));
        m_form->mnuG6->trigger();
        // A file the player made read-only is not replaced. With nothing
        // new to save, nothing is said; a new entry is told of once.
        QVERIFY(::chmod(QFile::encodeName(ini).constData(), 0444) == 0);
        m_form->mnuG6->trigger();
        QVERIFY(m_messages.isEmpty());
        const QString notSaved = "スコアファイルを保存できませんでした。\n" + ini + '\n',
                      retrying = notSaved + "新しいスコアは、保存できるようになるまで繰り返し保存を試みます。",
                      lost = notSaved + "保存できなかった新しいスコアは失われます。";
        QCOMPARE(m_form->scores().rankAndEnter(RefreshMode, 10), 0);
        m_form->saveScores();
        m_form->saveScores();
        QCOMPARE(m_messages, QStringList{retrying});
        // It is tried again now and then, and saved once the file can take it.
        auto *retry = m_form->findChild<QTimer *>("retrySave");
        QVERIFY(retry && retry->isActive());
        QVERIFY(::chmod(QFile::encodeName(ini).constData(), 0644) == 0);
        QTRY_COMPARE_WITH_TIMEOUT(readPlayerFile(ini, 999).bytes.split('\n').value(1), "000010\r", 20000);
        QVERIFY(!retry->isActive());
        // A later failure is told again; an entry still not saved when the
        // game ends is told lost.
        QVERIFY(::chmod(QFile::encodeName(ini).constData(), 0444) == 0);
        QCOMPARE(m_form->scores().rankAndEnter(RefreshMode, 9), 1);
        m_form->saveScores();
        m_form->mnuG6->trigger();
        QCOMPARE(m_messages, QStringList({retrying, retrying, lost}));
        QVERIFY(::chmod(QFile::encodeName(ini).constData(), 0644) == 0);
    }

    void backgroundAsPainted()
    {
        const QImage sheet = QImage(":/panels.bmp").convertToFormat(QImage::Format_RGB32),
                     w = seen(m_form->centralWidget());
        const QRgb grey = qRgb(128, 128, 128), white = qRgb(255, 255, 255), band = qRgb(192, 192, 192);
        const QList<QRect> counters = {QRect(66, 10, 28, 16), QRect(160, 10, 55, 16), QRect(272, 10, 28, 16)};
        for (int y = 0; y < 421; ++y)
            for (int x = 0; x < 500; ++x) {
                QRgb want = 0;          // 0: not looked at (the board, buttons, counters, corners where strips meet)
                if (y == 32 || y == 33) // the top strip is 34 rows high
                    want = x >= 32 && x < 470 ? sheet.pixel(x % 32, y) : 0;
                else if (y >= 398 && y < 406 && x >= 32 && x < 470) // below the board
                    want = sheet.pixel(x % 32, y - 390);
                else if (y >= 34 && y < 390 && x > 0 && (x < 8 || (x > 491 && x < 499))) // beside it
                    want = sheet.pixel(x < 8 ? x : x - 470, y % 32);
                if (y == 0 || x == 0) // the frame: grey top and left, white bottom and right
                    want = y < 406 && x < 499 ? grey : want;
                if ((x == 499 && y < 407) || y == 406)
                    want = white;
                if (y == 407 || (y > 407 && (x < 8 || x > 491)))
                    want = band;
                for (const auto &[left, sx, width] : {std::tuple{8, 32, 87}, {102, 119, 114}, {223, 233, 78}})
                    if (x >= left && x < left + width && y >= 8 && y < 27)
                        want = std::any_of(counters.begin(), counters.end(), [&](QRect r) { return r.contains(x, y); })
                                   ? 0
                                   : sheet.pixel(sx + x - left, y - 8);
                if (want && w.pixel(x, y) != want)
                    QFAIL(qPrintable(
                        QString("%1,%2 is %3, not %4").arg(x).arg(y).arg(w.pixel(x, y), 0, 16).arg(want, 0, 16)));
            }
    }

    void namePromptKeepsWholeCharacters()
    {
        // A name pasted into the prompt keeps its first 32 characters, the
        // emoji among them whole.
        DialogNamePrompt prompt(m_form.get());
        const QString emoji = "\U0001F600";
        // Escape gives the empty name, whatever was typed.
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            QTimer answer;
            connect(&answer, &QTimer::timeout, this, [&answer, key] {
                if (auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget())) {
                    answer.stop();
                    dialog->findChild<QLineEdit *>()->insert(QString(31, 'a') + "\U0001F600" + "bc");
                    QTest::keyClick(dialog, key);
                }
            });
            answer.start(20);
            QCOMPARE(prompt.askName("?"), key == Qt::Key_Return ? QString(31, 'a') + emoji : QString());
        }
    }

    void aboutWindowLocksTheMainWindow()
    {
        m_form->mnuH2_Click();
        Form2 *about = m_form->aboutWindow().window();
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QCOMPARE(about->Label2()->text(), "Ver 1.00");
        QVERIFY(!m_form->isEnabled() && about->windowHandle()->transientParent() == m_form->windowHandle());
        // Centred on the screen, which is wider than high.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(screen.width() != screen.height(), "the screen must tell width and height apart");
        QVERIFY((about->frameGeometry().center() - screen.center()).manhattanLength() <= 2);
        // The texts in their boxes, in their sizes and colours, the main window's too while it is locked.
        const QImage w = seen(about);
        const QColor navy(0, 0, 128), black(0, 0, 0);
        QList<Ink> inks;
        for (const auto &[label, colour] : {std::pair{m_form->Label1(), navy},
                                            {m_form->Label4(), black},
                                            {about->Label1(), black},
                                            {about->Label2(), black},
                                            {about->Label3(1), QColor(64, 64, 64)},
                                            {about->Label3(2), navy},
                                            {about->Label3(0), navy}}) {
            inks << inkOf(label);
            QCOMPARE(inks.last().colour, colour);
            QVERIFY(label->wordWrap() || qAbs(inks.last().above - inks.last().below) <= 3); // centred in its box
        }
        QVERIFY(inks[0].rows >= 9 && inks[1].rows >= 9); // a 12-point digit, 9.75-point kanji: most of their lines
        QVERIFY(inks[2].rows * 10 >= inks[3].rows * 14); // 15.75 points against 9.75
        QVERIFY(inks[4].above <= 1);                     // wrapped lines start at the box's top
        QVERIFY(about->Label1()->font().bold() && about->Label2()->font().bold() && !about->Label3(0)->font().bold());
        // The texture under it all, and the line above the copyright.
        const QImage sheet = QImage(":/panels.bmp").convertToFormat(QImage::Format_RGB32);
        for (int y = 109; y < 153; ++y)
            for (int x = 0; x < 225; ++x)
                if (y < 128 || y > 140)
                    QCOMPARE(w.pixel(x, y),
                             y == 112 && x >= 36 && x < 180 ? qRgb(0, 0, 0) : sheet.pixel(x % 32, y % 32));
        about->close();
        QVERIFY(m_form->isEnabled());
    }

    void strayActivationOfTheMainWindowLeavesTheKeysOnTop_data()
    {
        QTest::addColumn<bool>("about");
        QTest::newRow("high scores") << false;
        QTest::newRow("About") << true;
    }
    void strayActivationOfTheMainWindowLeavesTheKeysOnTop()
    {
        // What a window manager does when the player clicks the disabled main window.
        QFETCH(bool, about);
        about ? m_form->mnuH2_Click() : m_form->mnuG4_Click();
        QWidget *open = about ? static_cast<QWidget *>(m_form->aboutWindow().window())
                              : static_cast<QWidget *>(m_form->highScoreWindow().window());
        QVERIFY(QTest::qWaitForWindowActive(open));
        m_form->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), open);
        open->close();
        QTRY_COMPARE(QApplication::activeWindow(), m_form.get());
    }

    // With two monitors, the game's windows open on the one the game is on,
    // the tall one right of the main screen.
    void secondaryWindowsOpenWhereTheGameIs_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("high scores") << "high scores";
        QTest::newRow("About") << "About";
        QTest::newRow("picture dialog") << "picture dialog";
    }
    void secondaryWindowsOpenWhereTheGameIs()
    {
        QFETCH(QString, window);
        const QList<QScreen *> screens = QGuiApplication::screens();
        QVERIFY2(screens.size() == 2 && screens[0] == QGuiApplication::primaryScreen(),
                 "two screens, the first the main one");
        const QRect tall = screens[1]->availableGeometry();
        m_form->move(tall.topLeft() + QPoint(20, 20));
        QTRY_COMPARE(m_form->screen(), screens[1]);
        QRect frame;
        if (window == "picture dialog") {
            QTimer::singleShot(0, this, [&frame] {
                QWidget *d = QApplication::activeModalWidget();
                frame = d->frameGeometry();
                d->close();
            });
            FileOpen_Dialog(m_form.get(), pictureFilter());
        } else {
            window == "About" ? m_form->mnuH2_Click() : m_form->mnuG4_Click();
            QWidget *open = window == "About" ? static_cast<QWidget *>(m_form->aboutWindow().window())
                                              : static_cast<QWidget *>(m_form->highScoreWindow().window());
            QVERIFY(QTest::qWaitForWindowExposed(open));
            frame = open->frameGeometry();
            open->close();
        }
        QVERIFY2((frame.center() - tall.center()).manhattanLength() <= 2,
                 qPrintable(QString("at %1,%2").arg(frame.x()).arg(frame.y())));
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
        const auto make = [&] {
            return std::make_unique<SoundEffects>(
                TRAZZO_SOURCE_DIR "/assets/sounds/", [&] { return on; },
                [&] {
                    ++loads;
                    return std::make_unique<Recorded>(log);
                });
        };
        make()->PlayEffect("Get.wav"); // gone at once: it waits for any load it began
        QCOMPARE(loads, 0);            // no output loaded while the option is off
        on = true;
        const auto sound = make();
        sound->PlayEffect("Gold.wav"); // asked for while the output loads: played once it is there
        QTRY_COMPARE(log.size(), 1);
        sound->PlayEffect("Out.wav");
        sound->PlayEffect("Nothing.wav");
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

    void soundLoadsOnceTheOptionsMenuOpens()
    {
        // Not at start-up, as the player may never want sound; from the moment the
        // menu with the option opens, so that the click finds the output ready.
        std::atomic<bool> menuOpened = false;
        std::atomic<int> loads = 0, loadsBeforeTheMenu = 0;
        Form1 f(&m_random, QStringLiteral(TRAZZO_SOURCE_DIR "/assets/sounds"));
        f.setSoundLoader([&] {
            loadsBeforeTheMenu += menuOpened ? 0 : 1;
            return ++loads, std::unique_ptr<EffectOutput>();
        });
        f.Form_Load();
        QMenu *options = f.menuBar()->actions().at(1)->menu();
        QVERIFY(options->actions().contains(f.mnuO1));
        menuOpened = true;
        options->popup(f.mapToGlobal(QPoint(0, 0)));
        QTRY_COMPARE(loads.load(), 1);
        QCOMPARE(loadsBeforeTheMenu.load(), 0);
        QVERIFY(!f.mnuO1->isChecked());
        options->close();
    }

    void readmeNeedsAWorkingOpener_data()
    {
        QTest::addColumn<QString>("opener"); // the xdg-open on the path, from tests/shell/openers
        QTest::newRow("no opener") << "";
        QTest::newRow("opener fails") << "fails";
        QTest::newRow("opener cannot start") << "broken";
        QTest::newRow("opener killed") << "crashes";
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
        siginfo_t child{}; // until the opener has ended and been heard of
        QTRY_VERIFY_WITH_TIMEOUT(::waitid(P_ALL, 0, &child, WEXITED | WNOHANG | WNOWAIT) != 0, 60000);
        QCOMPARE(messages.join(""), opener == "shows" ? "" : "メモ帳が見つからないため参照できません。");
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
