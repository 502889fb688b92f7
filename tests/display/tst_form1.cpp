// The main window: its layout, menus, background, fonts, and the wiring
// from Qt's events to the game.

#include "back_paint.h"
#include "board_surface.h"
#include "clock_random.h"
#include "fonts.h"
#include "form1.h"
#include "sound_effects.h"
#include "texts.h"
#include "title_picture.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace trazzo;

Q_DECLARE_METATYPE(QKeySequence)

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void clientAreaIsFixed();
    void controlsSitWhereTheyBelong_data();
    void controlsSitWhereTheyBelong();
    void menuBarIsComplete_data();
    void menuBarIsComplete();
    void backgroundIsPaintedInOrder_data();
    void backgroundIsPaintedInOrder();
    void japaneseTextsUseJapaneseFaces();
    void titleScreenAfterStartUp();
    void boardHasTheFocusAndGetsItBack();
    void buttonsAndShortcutsStartTheirMode_data();
    void buttonsAndShortcutsStartTheirMode();
    void arrowKeysSteerAndSpaceSpeedsUp();
    void aTickMovesTheHeadOnTheBoardImage();
    void wallEndsTheGameWithItsPicture();

private:
    QTemporaryDir m_folder; // the program's folder, with the wave files
    std::unique_ptr<ClockRandom> m_random;
    std::unique_ptr<Form1> m_form;
};

void TestForm1::initTestCase()
{
    installFontSubstitutes();
    QVERIFY(m_folder.isValid());
    for (const QString &name : WaveFiles)
        QVERIFY(QFile::copy(QStringLiteral(TRAZZO_SOURCE_DIR "/assets/sounds/") + name, m_folder.filePath(name)));
}

void TestForm1::init()
{
    m_random = std::make_unique<ClockRandom>(20261206);
    m_form = std::make_unique<Form1>(m_random.get(), m_folder.path());
    m_form->setChainPause(std::chrono::microseconds(0));
    m_form->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestForm1::cleanup()
{
    m_form.reset();
    m_random.reset();
}

void TestForm1::clientAreaIsFixed()
{
    Form1 &f = *m_form;
    QCOMPARE(f.centralWidget()->size(), QSize(500, 421));
    QCOMPARE(f.centralWidget()->y(), f.menuBar()->height());
    QCOMPARE(f.minimumSize(), f.maximumSize());
    QVERIFY(!(f.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(f.windowTitle(), QStringLiteral("Trazzo"));
    QVERIFY(!f.windowIcon().isNull());
}

void TestForm1::controlsSitWhereTheyBelong_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("Picture1") << "Picture1" << QRect(8, 34, 484, 364);
    QTest::newRow("Label1") << "Label1" << QRect(66, 10, 28, 16);
    QTest::newRow("Label2") << "Label2" << QRect(160, 10, 55, 16);
    QTest::newRow("Label3") << "Label3" << QRect(272, 10, 28, 16);
    QTest::newRow("Label4") << "Label4" << QRect(8, 408, 484, 13);
    QTest::newRow("Command1(0)") << "Command1(0)" << QRect(325, 6, 81, 23);
    QTest::newRow("Command1(1)") << "Command1(1)" << QRect(411, 6, 81, 23);
}

void TestForm1::controlsSitWhereTheyBelong()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    Form1 &f = *m_form;
    const QHash<QString, QWidget *> controls = {
        {"Picture1", f.Picture1()},     {"Label1", f.Label1()}, {"Label2", f.Label2()},
        {"Label3", f.Label3()},         {"Label4", f.Label4()}, {"Command1(0)", f.Command1(0)},
        {"Command1(1)", f.Command1(1)},
    };
    QWidget *w = controls.value(name);
    QCOMPARE(w->parentWidget(), f.centralWidget());
    QCOMPARE(w->geometry(), geometry);
}

void TestForm1::menuBarIsComplete_data()
{
    QTest::addColumn<int>("menu");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    const QKeySequence none;
    QTest::newRow("mnuG1") << 0 << 0 << texts::MenuStartRefresh << QKeySequence(QStringLiteral("Ctrl+R"));
    QTest::newRow("mnuG2") << 0 << 1 << texts::MenuStartFive << QKeySequence(QStringLiteral("Ctrl+F"));
    QTest::newRow("mnuG3") << 0 << 2 << QString() << none;
    QTest::newRow("mnuG4") << 0 << 3 << texts::MenuHighScores << QKeySequence(QStringLiteral("Ctrl+H"));
    QTest::newRow("mnuG5") << 0 << 4 << QString() << none;
    QTest::newRow("mnuG6") << 0 << 5 << texts::MenuExit << QKeySequence(QStringLiteral("Ctrl+Q"));
    QTest::newRow("mnuO1") << 1 << 0 << texts::MenuSound << none;
    QTest::newRow("mnuO2") << 1 << 1 << QString() << none;
    QTest::newRow("mnuO3") << 1 << 2 << texts::MenuLoadPicture << none;
    QTest::newRow("mnuH1") << 2 << 0 << texts::MenuReadme << none;
    QTest::newRow("mnuH2") << 2 << 1 << texts::MenuAbout << none;
}

void TestForm1::menuBarIsComplete()
{
    QFETCH(int, menu);
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    const QList<QAction *> menus = m_form->menuBar()->actions();
    QCOMPARE(menus.size(), 3);
    const QStringList titles = {texts::MenuGame, texts::MenuOptions, texts::MenuHelp};
    QCOMPARE(menus[menu]->text(), titles[menu]);
    const QList<QAction *> items = menus[menu]->menu()->actions();
    QAction *a = items.value(index);
    QVERIFY(a);
    QCOMPARE(a->isSeparator(), caption.isEmpty());
    if (!caption.isEmpty()) {
        QCOMPARE(a->text(), caption);
        QCOMPARE(a->shortcut(), shortcut);
        QVERIFY(a->isEnabled());
        QCOMPARE(a->isCheckable(), a == m_form->mnuO1);
        QVERIFY(!a->isChecked());
    }
}

void TestForm1::backgroundIsPaintedInOrder_data()
{
    // Where two strips overlap the later copy wins: for each i the top strip
    // comes first, then the left, the bottom and the right one.
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QPoint>("texture");
    QTest::newRow("top strip") << QPoint(40, 33) << QPoint(8, 33);
    QTest::newRow("left strip over the top one") << QPoint(5, 33) << QPoint(5, 1);
    QTest::newRow("top strip i=15 over the right one") << QPoint(480, 33) << QPoint(0, 33);
    QTest::newRow("right strip") << QPoint(495, 100) << QPoint(25, 4);
    QTest::newRow("left strip") << QPoint(4, 200) << QPoint(4, 8);
    QTest::newRow("bottom strip") << QPoint(250, 400) << QPoint(26, 10);
}

void TestForm1::backgroundIsPaintedInOrder()
{
    QFETCH(QPoint, at);
    QFETCH(QPoint, texture);
    const QImage &bg = m_form->background()->image();
    const QImage &sheet = m_form->panelSheet();
    QCOMPARE(bg.pixel(at), sheet.pixel(texture));

    // The frame, the band and the panels, fixed points checked every run.
    QCOMPARE(bg.pixel(250, 0), qRgb(128, 128, 128));
    QCOMPARE(bg.pixel(0, 300), qRgb(128, 128, 128));
    QCOMPARE(bg.pixel(499, 300), qRgb(255, 255, 255));
    QCOMPARE(bg.pixel(250, 406), qRgb(255, 255, 255));
    QCOMPARE(bg.pixel(0, 406), qRgb(255, 255, 255));
    QCOMPARE(bg.pixel(250, 407), qRgb(192, 192, 192));
    QCOMPARE(bg.pixel(499, 420), qRgb(192, 192, 192));
    QCOMPARE(bg.copy(8, 8, 87, 19), sheet.copy(32, 0, 87, 19));
    QCOMPARE(bg.copy(102, 8, 114, 19), sheet.copy(119, 0, 114, 19));
    QCOMPARE(bg.copy(223, 8, 78, 19), sheet.copy(233, 0, 78, 19));
}

void TestForm1::japaneseTextsUseJapaneseFaces()
{
    const QFontInfo status(m_form->Label4()->font());
    QCOMPARE(status.family(), QStringLiteral("Noto Sans CJK JP"));
    for (QLabel *counter : {m_form->Label1(), m_form->Label2(), m_form->Label3()}) {
        const QFontInfo info(counter->font());
        QCOMPARE(info.family(), QStringLiteral("Noto Sans Mono CJK JP"));
        QVERIFY(info.bold());
        QCOMPARE(counter->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QVERIFY(!counter->autoFillBackground());
        QCOMPARE(counter->text(), QStringLiteral("0"));
    }
    // The status line is only 13 pixels high: its text must not lose its
    // top or foot, so the edge rows stay free of ink.
    QWidget *back = m_form->centralWidget();
    const QImage shown = back->grab(m_form->Label4()->geometry()).toImage();
    auto inkInRow = [&](int y) {
        for (int x = 0; x < shown.width(); ++x)
            if (qGray(shown.pixel(x, y)) < 96)
                return true;
        return false;
    };
    QCOMPARE(shown.height(), 13);
    QVERIFY(inkInRow(6));
    QVERIFY(!inkInRow(0));
    QVERIFY(!inkInRow(12));
}

void TestForm1::titleScreenAfterStartUp()
{
    Form1 &f = *m_form;
    const GameState &s = f.game().state();
    QCOMPARE(s.GameMode, NoGame);
    QCOMPARE(s.Board, titlePicture());
    QCOMPARE(f.Label4()->text(), texts::ChooseMode);
    const QImage &img = f.Picture1()->image();
    const QImage &sheet = f.Picture1()->tileSheet();
    for (int r = 0; r < 30; ++r)
        for (int c = 0; c < 40; ++c) {
            const int k = s.Board[static_cast<std::size_t>(r * 40 + c)] - '0';
            QCOMPARE(img.copy(12 * c, 12 * r, 12, 12), sheet.copy(12 * k, 0, 12, 12));
        }
    // Keys on the title screen move nothing.
    QTest::keyClick(f.Picture1(), Qt::Key_Right);
    f.Timer1_Timer();
    QCOMPARE(f.game().state().Board, titlePicture());
}

void TestForm1::boardHasTheFocusAndGetsItBack()
{
    Form1 &f = *m_form;
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(QApplication::focusWidget(), f.Picture1());
    f.Command1(1)->setFocus();
    QTest::mouseClick(f.Command1(1), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), f.Picture1());
}

void TestForm1::buttonsAndShortcutsStartTheirMode_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("mode");
    QTest::newRow("Command1(0)") << "button0" << RefreshMode;
    QTest::newRow("Command1(1)") << "button1" << FiveMode;
    QTest::newRow("Ctrl+R") << "ctrl-r" << RefreshMode;
    QTest::newRow("Ctrl+F") << "ctrl-f" << FiveMode;
}

void TestForm1::buttonsAndShortcutsStartTheirMode()
{
    QFETCH(QString, how);
    QFETCH(int, mode);
    Form1 &f = *m_form;
    QVERIFY(QTest::qWaitForWindowActive(&f));
    if (how == "button0")
        QTest::mouseClick(f.Command1(0), Qt::LeftButton);
    else if (how == "button1")
        QTest::mouseClick(f.Command1(1), Qt::LeftButton);
    else
        QTest::keyClick(f.Picture1(), how == "ctrl-r" ? Qt::Key_R : Qt::Key_F, Qt::ControlModifier);
    const GameState &s = f.game().state();
    QCOMPARE(s.GameMode, mode);
    QCOMPARE(s.Stage, 1);
    QCOMPARE(f.Label3()->text(), QStringLiteral("1"));
    QCOMPARE(f.Label1()->text(), QString::number(s.Bonus));
    QCOMPARE(f.Label4()->text(),
             QString::fromUtf8(mode == RefreshMode ? "リフレッシュモードでプレイ中" : "ファイブモードでプレイ中"));
}

void TestForm1::arrowKeysSteerAndSpaceSpeedsUp()
{
    Form1 &f = *m_form;
    f.mnuG1->trigger();
    QTest::keyClick(f.Picture1(), Qt::Key_Up);
    QTest::keyClick(f.Picture1(), Qt::Key_Left);
    QCOMPARE(f.game().state().MoveDir, 1);
    QCOMPARE(f.game().state().HeadDir, 0);
    QCOMPARE(f.Timer1()->interval(), 100);
    QVERIFY(f.Timer1()->isActive());
    QTest::keyPress(f.Picture1(), Qt::Key_Space);
    QCOMPARE(f.Timer1()->interval(), 10);
    QTest::keyRelease(f.Picture1(), Qt::Key_Space);
    QCOMPARE(f.Timer1()->interval(), 100);
    QCOMPARE(f.Timer1()->timerType(), Qt::PreciseTimer);
}

void TestForm1::aTickMovesTheHeadOnTheBoardImage()
{
    Form1 &f = *m_form;
    f.mnuG1->trigger();
    GameState &s = f.game().state();
    // Clear a path so the step lands on ground whatever the draws were.
    s.HeadPos = 15 * 40 + 20 + 1;
    s.Board[static_cast<std::size_t>(s.HeadPos)] = '2';
    const int bonus = s.Bonus;
    QTest::keyClick(f.Picture1(), Qt::Key_Right);
    f.Timer1_Timer();
    QCOMPARE(s.HeadPos, 15 * 40 + 22);
    QCOMPARE(f.Label1()->text(), QString::number(bonus - 1));
    const QImage &img = f.Picture1()->image();
    const QImage &sheet = f.Picture1()->tileSheet();
    QCOMPARE(img.copy(12 * 20, 12 * 15, 12, 12), sheet.copy(12, 0, 12, 12)); // the hole left behind
    const QImage headCell = img.copy(12 * 21, 12 * 15, 12, 12);
    const QImage head = sheet.copy(24, 12, 12, 12);
    QCOMPARE(headCell.pixel(6, 6), head.pixel(6, 6));
    QCOMPARE(headCell.pixel(0, 0), sheet.pixel(24, 0)); // earth round the head

    // What a tick draws reaches the screen without a present: the next
    // ordinary repaint comes on its own.
    int paints = 0;
    struct PaintCounter : QObject {
        int &n;
        explicit PaintCounter(int &count) : n(count) {}
        bool eventFilter(QObject *, QEvent *e) override { return n += e->type() == QEvent::Paint, false; }
    } counter(paints);
    f.Picture1()->installEventFilter(&counter);
    f.Timer1()->stop(); // only this test's tick draws now
    QTest::qWait(50);   // let anything already due be painted
    paints = 0;
    f.Timer1_Timer();
    QTRY_VERIFY_WITH_TIMEOUT(paints > 0, 300);
}

void TestForm1::wallEndsTheGameWithItsPicture()
{
    Form1 &f = *m_form;
    f.mnuG2->trigger();
    GameState &s = f.game().state();
    s.HeadPos = 41 + 1; // (1, 1): the wall is one step up
    QTest::keyClick(f.Picture1(), Qt::Key_Up);
    f.Timer1_Timer(); // a score of 0 on an empty table: no name is asked
    QCOMPARE(s.GameMode, NoGame);
    QCOMPARE(s.Board, gameOverPicture());
    QCOMPARE(f.Label4()->text(), QStringLiteral("壁にぶつかってしまい、ゲームオーバーです。"));
    const QImage &img = f.Picture1()->image();
    const QImage &sheet = f.Picture1()->tileSheet();
    QCOMPARE(img.copy(12 * 5, 12 * 7, 12, 12), sheet.copy(84, 0, 12, 12)); // a red panel of the G
    f.Timer1_Timer();
    QCOMPARE(s.Board, gameOverPicture());
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
