// The board surface: tile copies, the head's mask and picture, small
// sheets, and what the widget shows of its retained picture.

#include "board.h"
#include "board_surface.h"
#include "virtual_keys.h"

#include <QtTest>

using namespace trazzo;

namespace {

QImage builtInSheet() { return QImage(QStringLiteral(":/tiles.bmp")).convertToFormat(QImage::Format_RGB32); }

QImage cellOfImage(const QImage &img, int c, int r) { return img.copy(12 * c, 12 * r, 12, 12); }

QImage sheetSquare(const QImage &sheet, int x, int y)
{
    return sheet.copy(x, y, 12, 12).convertToFormat(QImage::Format_RGB32);
}

// A sheet where every pixel tells where it came from.
QImage codedSheet(int w, int h)
{
    QImage s(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.setPixel(x, y, qRgb(x + 1, y + 1, 200));
    return s;
}

} // namespace

class TestBoardSurface : public QObject {
    Q_OBJECT
private slots:
    void sheetMatchesTheLayout();
    void cellPaintCopiesTheTile_data();
    void cellPaintCopiesTheTile();
    void headKeepsTheCellAroundIt_data();
    void headKeepsTheCellAroundIt();
    void smallSheetReadsBlackOutside_data();
    void smallSheetReadsBlackOutside();
    void boardPaintDrawsEveryCellAndNoHead();
    void outOfRangeDrawsAreIgnored();
    void widgetShowsTheRetainedPicture();
    void keysBecomeVirtualKeyCodes_data();
    void keysBecomeVirtualKeyCodes();
    void heldKeysRepeatOnlyTheirKeyDown();
};

void TestBoardSurface::sheetMatchesTheLayout()
{
    const QImage sheet = builtInSheet();
    QCOMPARE(sheet.size(), QSize(96, 24));
    QCOMPARE(QImage(QStringLiteral(":/panels.bmp")).size(), QSize(311, 34));
    QCOMPARE(QImage(QStringLiteral(":/icon.png")).size(), QSize(32, 32));
    // Each head picture is white exactly where its mask is black.
    for (int d = 0; d < 4; ++d)
        for (int y = 12; y < 24; ++y)
            for (int x = 0; x < 12; ++x) {
                const QRgb pic = sheet.pixel(12 * d + x, y) & 0xFFFFFF;
                const QRgb mask = sheet.pixel(48 + 12 * d + x, y) & 0xFFFFFF;
                QVERIFY2(mask == 0xFFFFFF || mask == 0, "mask is black and white only");
                QCOMPARE(pic == 0xFFFFFF, mask == 0);
            }
}

void TestBoardSurface::cellPaintCopiesTheTile_data()
{
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("r");
    QTest::addColumn<int>("k");
    QTest::newRow("top-left stone") << 0 << 0 << 0;
    QTest::newRow("hole") << 5 << 7 << 1;
    QTest::newRow("ground") << 39 << 0 << 2;
    QTest::newRow("blue chest") << 0 << 29 << 3;
    QTest::newRow("orange chest") << 20 << 15 << 4;
    QTest::newRow("blue panel") << 1 << 1 << 5;
    QTest::newRow("green panel") << 38 << 28 << 6;
    QTest::newRow("red panel, bottom-right") << 39 << 29 << 7;
}

void TestBoardSurface::cellPaintCopiesTheTile()
{
    QFETCH(int, c);
    QFETCH(int, r);
    QFETCH(int, k);
    BoardSurface s;
    s.setTileSheet(builtInSheet());
    s.Cell_Paint(c, r, k);
    QCOMPARE(cellOfImage(s.image(), c, r), sheetSquare(s.tileSheet(), 12 * k, 0));
    // Its neighbours are untouched (still black).
    const int nc = c == 0 ? 1 : c - 1;
    QCOMPARE(cellOfImage(s.image(), nc, r).pixel(6, 6), qRgb(0, 0, 0));
}

void TestBoardSurface::headKeepsTheCellAroundIt_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("d");
    QTest::newRow("on ground, left") << 2 << 0;
    QTest::newRow("on ground, up") << 2 << 1;
    QTest::newRow("on an orange chest, right") << 4 << 2;
    QTest::newRow("on a red panel, down") << 7 << 3;
}

void TestBoardSurface::headKeepsTheCellAroundIt()
{
    QFETCH(int, k);
    QFETCH(int, d);
    BoardSurface s;
    s.setTileSheet(builtInSheet());
    s.Cell_Paint(10, 10, k);
    s.Head_Paint(10, 10, d);
    const QImage cell = cellOfImage(s.image(), 10, 10);
    const QImage tile = sheetSquare(s.tileSheet(), 12 * k, 0);
    const QImage head = sheetSquare(s.tileSheet(), 12 * d, 12);
    int shape = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            if ((head.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF) {
                QCOMPARE(cell.pixel(x, y), tile.pixel(x, y)); // the cell shows through
            } else {
                QCOMPARE(cell.pixel(x, y), head.pixel(x, y)); // the head's own colours
                ++shape;
            }
        }
    QVERIFY(shape > 40);
}

void TestBoardSurface::smallSheetReadsBlackOutside_data()
{
    QTest::addColumn<QSize>("sheetSize");
    QTest::addColumn<int>("k");
    QTest::newRow("tile wholly outside") << QSize(30, 24) << 5;
    QTest::newRow("tile half outside") << QSize(30, 24) << 2;
    QTest::newRow("sheet one row high") << QSize(96, 1) << 3;
    QTest::newRow("no sheet at all") << QSize(0, 0) << 0;
}

void TestBoardSurface::smallSheetReadsBlackOutside()
{
    QFETCH(QSize, sheetSize);
    QFETCH(int, k);
    BoardSurface s;
    const QImage sheet = sheetSize.isEmpty() ? QImage() : codedSheet(sheetSize.width(), sheetSize.height());
    s.setTileSheet(sheet);
    s.Cell_Paint(3, 4, 2);
    s.Cell_Paint(3, 4, k);
    QImage cell = cellOfImage(s.image(), 3, 4);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const int sx = 12 * k + x;
            const bool inside = sx < sheet.width() && y < sheet.height();
            QCOMPARE(cell.pixel(x, y), inside ? sheet.pixel(sx, y) : qRgb(0, 0, 0));
        }
    // The head's squares lie outside all these sheets: the mask ORs black
    // (no change), the picture ANDs black, so the cell goes black.
    s.Head_Paint(3, 4, 3);
    cell = cellOfImage(s.image(), 3, 4);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            QCOMPARE(cell.pixel(x, y), qRgb(0, 0, 0));
}

void TestBoardSurface::boardPaintDrawsEveryCellAndNoHead()
{
    BoardSurface s;
    s.setTileSheet(builtInSheet());
    std::string board = emptyStage();
    setCell(board, posOf(7, 9), Hole);
    setCell(board, posOf(8, 9), RedPanel);
    s.Head_Paint(20, 20, 1); // a head drawn before must be painted over
    s.Board_Paint(board);
    for (int r = 0; r < BoardRows; ++r)
        for (int c = 0; c < BoardCols; ++c) {
            const int k = codeValue(cellAt(board, posOf(c, r)));
            if (cellOfImage(s.image(), c, r) != sheetSquare(s.tileSheet(), 12 * k, 0))
                QFAIL(qPrintable(QStringLiteral("cell %1,%2 is not tile %3").arg(c).arg(r).arg(k)));
        }
}

void TestBoardSurface::outOfRangeDrawsAreIgnored()
{
    BoardSurface s;
    s.setTileSheet(builtInSheet());
    const QImage before = s.image();
    s.Cell_Paint(40, 0, 2);
    s.Cell_Paint(-1, 5, 2);
    s.Head_Paint(0, 30, 0);
    s.Board_Paint("22"); // a short board paints what it has
    QCOMPARE(cellOfImage(s.image(), 5, 5), cellOfImage(before, 5, 5));
    QCOMPARE(cellOfImage(s.image(), 1, 0), sheetSquare(s.tileSheet(), 24, 0));
    QCOMPARE(cellOfImage(s.image(), 2, 0), cellOfImage(before, 2, 0));
}

void TestBoardSurface::widgetShowsTheRetainedPicture()
{
    BoardSurface s;
    s.setTileSheet(builtInSheet());
    s.Board_Paint(emptyStage());
    s.Head_Paint(12, 12, 2);
    QCOMPARE(s.size(), QSize(484, 364));
    const QImage shown = s.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const qreal dpr = shown.devicePixelRatio();
    // Every board pixel becomes a dpr x dpr block of its own colour: no
    // smoothing on high-DPI screens.
    const int n = qRound(dpr);
    for (int y = 0; y < 360; y += 7)
        for (int x = 0; x < 480; x += 5)
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i)
                    if (shown.pixel((2 + x) * n + i, (2 + y) * n + j) != s.image().pixel(x, y))
                        QFAIL(qPrintable(QStringLiteral("pixel %1,%2 at scale %3 differs").arg(x).arg(y).arg(dpr)));
    // The sunken border: dark on the top and left, light on the bottom and right.
    QVERIFY(qGray(shown.pixel(n, n * 100)) < 100);
    QVERIFY(qGray(shown.pixel(shown.width() - 1, n * 100)) > 200);
}

void TestBoardSurface::keysBecomeVirtualKeyCodes_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("code");
    QTest::newRow("space") << int(Qt::Key_Space) << 32;
    QTest::newRow("left") << int(Qt::Key_Left) << 37;
    QTest::newRow("up") << int(Qt::Key_Up) << 38;
    QTest::newRow("right") << int(Qt::Key_Right) << 39;
    QTest::newRow("down") << int(Qt::Key_Down) << 40;
    QTest::newRow("letter") << int(Qt::Key_A) << 65;
    QTest::newRow("digit") << int(Qt::Key_7) << 55;
    QTest::newRow("no code") << int(Qt::Key_F13) << 0;
}

void TestBoardSurface::keysBecomeVirtualKeyCodes()
{
    QFETCH(int, qtKey);
    QFETCH(int, code);
    QCOMPARE(virtualKeyOf(qtKey), code);
}

void TestBoardSurface::heldKeysRepeatOnlyTheirKeyDown()
{
    BoardSurface s;
    QList<int> downs, ups;
    connect(&s, &BoardSurface::keyDown, this, [&](int k) { downs << k; });
    connect(&s, &BoardSurface::keyUp, this, [&](int k) { ups << k; });
    QTest::sendKeyEvent(QTest::Press, &s, Qt::Key_Space, ' ', Qt::NoModifier);
    QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QKeyEvent repeatDown(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QCoreApplication::sendEvent(&s, &repeatUp);
    QCoreApplication::sendEvent(&s, &repeatDown);
    QTest::sendKeyEvent(QTest::Release, &s, Qt::Key_Space, ' ', Qt::NoModifier);
    QCOMPARE(downs, (QList<int>{32, 32}));
    QCOMPARE(ups, (QList<int>{32}));
}

QTEST_MAIN(TestBoardSurface)
#include "tst_board_surface.moc"
