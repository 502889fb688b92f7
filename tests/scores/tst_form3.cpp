// The high-score window: its lines, its background, and closing on any key
// with the main window locked meanwhile.

#include "fonts.h"
#include "form3.h"

#include <QLabel>
#include <QtTest>

using namespace trazzo;

class TestForm3 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutes(); }

    void lineFormat_data();
    void lineFormat();
    void showsTheTableAsItWasWhenOpened();
    void backgroundHasTwoSunkenPanels();
    void anyKeyClosesAndUnlocksTheMainWindow_data();
    void anyKeyClosesAndUnlocksTheMainWindow();
    void closeBoxUnlocksToo();
    void openingAgainOnlyRaisesTheOpenWindow();
};

void TestForm3::lineFormat_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("score");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line");
    QTest::newRow("first") << 0 << 850 << "Taro"
                           << "1.    850 Taro";
    QTest::newRow("empty slot") << 2 << 0 << ""
                                << "3.      0 ";
    QTest::newRow("Five mode numbers on") << 3 << 12 << "花子"
                                          << "4.     12 花子";
    QTest::newRow("six digits") << 5 << 999999 << "x"
                                << "6. 999999 x";
    QTest::newRow("a million keeps the last six") << 1 << 1234567 << ""
                                                  << "2. 234567 ";
}

void TestForm3::lineFormat()
{
    QFETCH(int, slot);
    QFETCH(int, score);
    QFETCH(QString, name);
    QFETCH(QString, line);
    QCOMPARE(scoreLine(slot, ScoreEntry{score, name}), line);
}

void TestForm3::showsTheTableAsItWasWhenOpened()
{
    QWidget main;
    HighScores table;
    table[0] = {850, "Taro"};
    table[3] = {40, "Ken"};
    Form3 form(table, &main);
    table[0] = {1, "changed later"};
    QCOMPARE(form.windowTitle(), QStringLiteral("Trazzo ﾊｲｽｺｱ"));
    QCOMPARE(form.size(), QSize(222, 148));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(form.Label1(0)->text(), QStringLiteral("リフレッシュモード"));
    QCOMPARE(form.Label1(1)->geometry(), QRect(2, 76, 85, 15));
    QCOMPARE(form.Label2(0)->text(), QStringLiteral("1.    850 Taro"));
    QCOMPARE(form.Label2(1)->text(), QStringLiteral("2.      0 "));
    QCOMPARE(form.Label2(3)->text(), QStringLiteral("4.     40 Ken"));
    QCOMPARE(form.Label2(5)->geometry(), QRect(6, 128, 200, 15));
    QCOMPARE(QFontInfo(form.Label2(0)->font()).family(), QStringLiteral("Noto Sans Mono CJK JP"));
    QVERIFY(!main.isEnabled());
}

void TestForm3::backgroundHasTwoSunkenPanels()
{
    const QImage bg = highScoreBackground();
    QCOMPARE(bg.size(), QSize(222, 148));
    for (int top : {19, 93}) {
        QCOMPARE(bg.pixel(100, top), qRgb(128, 128, 128));
        QCOMPARE(bg.pixel(2, top + 20), qRgb(128, 128, 128));
        QCOMPARE(bg.pixel(100, top + 52), qRgb(255, 255, 255));
        QCOMPARE(bg.pixel(219, top + 20), qRgb(255, 255, 255));
        QVERIFY(qGray(bg.pixel(100, top + 20)) >= 242);
    }
    // Grey marble around the panels.
    for (QPoint p : {QPoint(1, 1), QPoint(150, 10), QPoint(220, 80), QPoint(60, 147)}) {
        QVERIFY(qGray(bg.pixel(p)) >= 192);
        QVERIFY(qGray(bg.pixel(p)) <= 215);
    }
}

void TestForm3::anyKeyClosesAndUnlocksTheMainWindow_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 0;
    QTest::newRow("Enter") << int(Qt::Key_Return) << 0;
    QTest::newRow("a letter") << int(Qt::Key_Q) << 0;
    QTest::newRow("Shift alone") << int(Qt::Key_Shift) << int(Qt::ShiftModifier);
    QTest::newRow("Ctrl alone") << int(Qt::Key_Control) << int(Qt::ControlModifier);
    QTest::newRow("Tab") << int(Qt::Key_Tab) << 0;
}

void TestForm3::anyKeyClosesAndUnlocksTheMainWindow()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QWidget main;
    HighScores table;
    HighScoreWindow opener(table, &main);
    opener.showHighScores();
    QPointer<Form3> form = opener.window();
    QVERIFY(form);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QVERIFY(!main.isEnabled());
    QVERIFY(form->isEnabled());
    QTest::keyClick(form.data(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTRY_VERIFY(!form); // closed and deleted
    QVERIFY(main.isEnabled());
}

void TestForm3::closeBoxUnlocksToo()
{
    QWidget main;
    HighScores table;
    HighScoreWindow opener(table, &main);
    opener.showHighScores();
    QVERIFY(opener.window()->close());
    QVERIFY(main.isEnabled());
}

void TestForm3::openingAgainOnlyRaisesTheOpenWindow()
{
    QWidget main;
    HighScores table;
    HighScoreWindow opener(table, &main);
    opener.showHighScores();
    Form3 *first = opener.window();
    table[0] = {77, "new"};
    opener.showHighScores();
    QCOMPARE(opener.window(), first);
    QCOMPARE(first->Label2(0)->text(), QStringLiteral("1.      0 "));
}

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
