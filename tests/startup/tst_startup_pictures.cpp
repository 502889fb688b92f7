// The title picture, and reading a tile sheet the player picked.

#include "board.h"
#include "tile_sheet_loader.h"
#include "title_picture.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace trazzo;

namespace {

QByteArray bmpHeader(qint32 width, qint32 height, quint16 bits)
{
    QByteArray h(54, '\0');
    h[0] = 'B';
    h[1] = 'M';
    qToLittleEndian<quint32>(54, h.data() + 10);
    qToLittleEndian<quint32>(40, h.data() + 14);
    qToLittleEndian<qint32>(width, h.data() + 18);
    qToLittleEndian<qint32>(height, h.data() + 22);
    qToLittleEndian<quint16>(1, h.data() + 26);
    qToLittleEndian<quint16>(bits, h.data() + 28);
    return h;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage sheet(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 2, y * 10, 77));
    return image;
}

} // namespace

class TestStartupPictures : public QObject {
    Q_OBJECT

private slots:
    void titleKeepsToItsRows()
    {
        const std::string b = titlePicture();
        QCOMPARE(b.size(), std::size_t(BoardCells));
        int panels = 0;
        for (int p = 1; p <= BoardCells; ++p) {
            const char k = cellAt(b, p);
            QVERIFY2(k == Wall || k == BluePanel, "only stone and blue panels");
            if (k != BluePanel)
                continue;
            ++panels;
            const CellXY cell = cellOf(p);
            const bool firstLine = cell.r >= 7 && cell.r <= 13 && cell.c >= 4 && cell.c <= 22;
            const bool secondLine = cell.r >= 16 && cell.r <= 22 && cell.c >= 10 && cell.c <= 35;
            QVERIFY2(firstLine || secondLine, qPrintable(QStringLiteral("panel at %1,%2").arg(cell.c).arg(cell.r)));
        }
        QVERIFY(panels > 60);
        // Every one of the 14 letter rows holds some of the letters.
        for (int r : {7, 8, 9, 10, 11, 12, 13, 16, 17, 18, 19, 20, 21, 22}) {
            int inRow = 0;
            for (int c = 0; c < BoardCols; ++c)
                inRow += cellAt(b, posOf(c, r)) == BluePanel ? 1 : 0;
            QVERIFY2(inRow > 0, qPrintable(QString::number(r)));
        }
    }

    void tileSheetFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QSize>("size");
        QTest::newRow("96 x 24 bmp") << encoded(sheet(96, 24), "BMP") << true << QSize(96, 24);
        QTest::newRow("96 x 24 png") << encoded(sheet(96, 24), "PNG") << true << QSize(96, 24);
        QTest::newRow("small bmp") << encoded(sheet(20, 10), "BMP") << true << QSize(20, 10);
        QTest::newRow("text file") << QByteArray("not a picture at all\n") << false << QSize();
        QTest::newRow("empty file") << QByteArray() << false << QSize();
        QTest::newRow("jpeg") << encoded(sheet(96, 24), "JPG") << false << QSize();
        QTest::newRow("huge header") << bmpHeader(60000, 60000, 24) << false << QSize();
        QTest::newRow("header only") << bmpHeader(96, 24, 24) << false << QSize();
        QTest::newRow("truncated bmp") << encoded(sheet(96, 24), "BMP").left(300) << false << QSize();
        QTest::newRow("zero width") << bmpHeader(0, 24, 24) + QByteArray(100, '\0') << false << QSize();
    }
    void tileSheetFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, accepted);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("skin.bmp"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        QString reason;
        const std::optional<QImage> image = loadTileSheet(path, &reason);
        QCOMPARE(image.has_value(), accepted);
        if (accepted) {
            QCOMPARE(image->size(), size);
            QCOMPARE(image->format(), QImage::Format_RGB32);
            QCOMPARE(image->pixel(10, 5), qRgb(20, 50, 77));
            QVERIFY(reason.isEmpty());
        } else {
            QVERIFY(!reason.isEmpty());
        }
    }

    void tileSheetMissingOrOversizedFile()
    {
        QTemporaryDir dir;
        QString reason;
        QVERIFY(!loadTileSheet(dir.filePath(QStringLiteral("gone.bmp")), &reason));
        QVERIFY(!reason.isEmpty());
        QVERIFY(!loadTileSheet(dir.path(), &reason)); // a folder

        const QString big = dir.filePath(QStringLiteral("big.bmp"));
        QFile file(big);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(encoded(sheet(96, 24), "BMP"));
        QVERIFY(file.resize(MaxTileSheetFileBytes + 1));
        file.close();
        reason.clear();
        QVERIFY(!loadTileSheet(big, &reason));
        QVERIFY(!reason.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStartupPictures)
#include "tst_startup_pictures.moc"
