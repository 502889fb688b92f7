// The About window: version text, layout, tiled background and the lock
// on the main window.

#include "fonts.h"
#include "form2.h"

#include <QLabel>
#include <QtTest>

using namespace trazzo;

namespace {

QImage noiseSheet()
{
    QImage s(311, 34, QImage::Format_RGB32);
    for (int y = 0; y < 34; ++y)
        for (int x = 0; x < 311; ++x)
            s.setPixel(x, y, qRgb(x * 7 % 256, y * 11 % 256, (x + y) % 256));
    return s;
}

} // namespace

class TestForm2 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutes(); }
    void versionText_data();
    void versionText();
    void layout();
    void backgroundTilesTheTexture_data();
    void backgroundTilesTheTexture();
    void copyrightNamesTheLicence();
    void locksTheMainWindowWhileOpen();
};

void TestForm2::versionText_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("second");
    QTest::addColumn<QString>("text");
    QTest::newRow("this program") << 1 << 0 << "Ver 1.00";
    QTest::newRow("one digit") << 1 << 5 << "Ver 1.05";
    QTest::newRow("two digits") << 2 << 12 << "Ver 2.12";
    QTest::newRow("three digits keep the last two") << 3 << 123 << "Ver 3.23";
}

void TestForm2::versionText()
{
    QFETCH(int, major);
    QFETCH(int, second);
    QFETCH(QString, text);
    QCOMPARE(trazzo::versionText(major, second), text);
}

void TestForm2::layout()
{
    QWidget main;
    QImage sheet(311, 34, QImage::Format_RGB32);
    sheet.fill(QColor(200, 200, 200));
    QPixmap icon(32, 32);
    icon.fill(Qt::yellow);
    Form2 f(sheet, icon, &main);
    QCOMPARE(f.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(f.size(), QSize(225, 153));
    QCOMPARE(f.minimumSize(), f.maximumSize());
    QVERIFY(!(f.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(f.Image1()->geometry(), QRect(8, 8, 32, 32));
    QCOMPARE(f.Label1()->text(), QStringLiteral("Trazzo"));
    QCOMPARE(f.Label2()->text(), QStringLiteral("Ver 1.00"));
    QCOMPARE(f.Label2()->geometry(), QRect(155, 19, 57, 13));
    QCOMPARE(f.Label3(1)->geometry(), QRect(23, 48, 183, 41));
    QCOMPARE(f.Label3(1)->palette().color(QPalette::WindowText), QColor(64, 64, 64));
    QCOMPARE(f.Label3(2)->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    QCOMPARE(f.Label3(0)->geometry(), QRect(16, 128, 191, 13));
    QCOMPARE(QFontInfo(f.Label1()->font()).family(), QStringLiteral("Noto Sans CJK JP"));
    // The feedback text wraps onto three lines, and all of them show
    // within its 41 pixels: ink near the top and near the bottom, none cut
    // off at the last row.
    const QImage shown = f.grab(f.Label3(1)->geometry()).toImage();
    auto inkInRows = [&](int from, int to) {
        for (int y = from; y <= to; ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (qGray(shown.pixel(x, y)) < 150)
                    return true;
        return false;
    };
    QVERIFY(inkInRows(0, 3));
    QVERIFY(inkInRows(32, 39));
    QVERIFY(!inkInRows(40, 40));
}

// The copyright line names the licence, and shows whole: its last
// characters are inked, and nothing runs into the box's right edge.
void TestForm2::copyrightNamesTheLicence()
{
    QImage sheet(311, 34, QImage::Format_RGB32);
    sheet.fill(QColor(200, 200, 200));
    Form2 f(sheet, QPixmap(32, 32), nullptr);
    QCOMPARE(f.Label3(0)->text(), QStringLiteral("© 2026 Trazzo developers, GPLv3+"));
    const QImage shown = f.grab(f.Label3(0)->geometry()).toImage();
    int rightmostInk = -1;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (qBlue(shown.pixel(x, y)) > 2 * qRed(shown.pixel(x, y)) + 40)
                rightmostInk = std::max(rightmostInk, x);
    QVERIFY2(rightmostInk > 150 && rightmostInk < shown.width() - 2, qPrintable(QString::number(rightmostInk)));
}

void TestForm2::backgroundTilesTheTexture_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::newRow("top-left") << QPoint(3, 4);
    QTest::newRow("second tile") << QPoint(40, 5);
    QTest::newRow("lower row") << QPoint(100, 70);
    QTest::newRow("bottom-right corner") << QPoint(224, 152);
}

void TestForm2::backgroundTilesTheTexture()
{
    QFETCH(QPoint, at);
    const QImage sheet = noiseSheet();
    Form2 f(sheet, QPixmap(), nullptr);
    QCOMPARE(f.background().pixel(at), sheet.pixel(at.x() % 32, at.y() % 32));
    QCOMPARE(f.background().pixel(100, 112), qRgb(0, 0, 0)); // the separator line
}

void TestForm2::locksTheMainWindowWhileOpen()
{
    QWidget main;
    const QImage sheet = noiseSheet();
    AboutWindow about(sheet, QPixmap(), &main);
    about.show();
    QPointer<Form2> f = about.window();
    QVERIFY(f);
    QVERIFY(!main.isEnabled());
    QVERIFY(f->isEnabled());
    about.show(); // a second choice only raises it
    QCOMPARE(about.window(), f.data());
    QVERIFY(f->close());
    QTRY_VERIFY(!f);
    QVERIFY(main.isEnabled());
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
