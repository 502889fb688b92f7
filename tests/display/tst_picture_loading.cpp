// Loading a tile sheet of the player's: the dialog, the filter, and what
// the board shows afterwards.

#include "board_surface.h"
#include "clock_random.h"
#include "file_open_dialog.h"
#include "fonts.h"
#include "form1.h"
#include "texts.h"
#include "title_picture.h"

#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace trazzo;

namespace {

// A 96 x 24 sheet unlike the built-in one: every tile one flat colour.
QImage flatSheet()
{
    QImage s(96, 24, QImage::Format_RGB32);
    for (int t = 0; t < 16; ++t)
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                s.setPixel(12 * (t % 8) + x, 12 * (t / 8) + y, qRgb(10 * t + 5, 200 - 10 * t, 77));
    return s;
}

} // namespace

class TestPictureLoading : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void filterTextEndsInTwoNuls();
    void filterBecomesQtNameFilters();
    void dialogAsksForAnExistingFile();
    void cancelChangesNothing();
    void pictureRepaintsWhateverTheBoardHolds_data();
    void pictureRepaintsWhateverTheBoardHolds();
    void refusedPictureKeepsTheOldSheet_data();
    void refusedPictureKeepsTheOldSheet();
    void pictureDeletedAfterTheDialogKeepsTheGame();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ClockRandom> m_random;
    std::unique_ptr<Form1> m_form;
    QStringList m_messages;
    QString m_chosen;
    int m_dialogs = 0;
};

void TestPictureLoading::initTestCase()
{
    installFontSubstitutes();
    QVERIFY(m_dir.isValid());
}

void TestPictureLoading::init()
{
    m_random = std::make_unique<ClockRandom>(5);
    m_form = std::make_unique<Form1>(m_random.get());
    m_form->Form_Load();
    m_messages.clear();
    m_dialogs = 0;
    m_form->setMessageBox([this](const QString &text) { m_messages << text; });
    m_form->setFileOpenDialog([this](QWidget *owner, const QString &filter) {
        ++m_dialogs;
        [&] {
            QCOMPARE(owner, m_form.get());
            QCOMPARE(filter, pictureFilter());
        }();
        return m_chosen;
    });
}

void TestPictureLoading::cleanup()
{
    m_form.reset();
    m_random.reset();
}

void TestPictureLoading::filterTextEndsInTwoNuls()
{
    const QString expected = QStringLiteral("bmpファイル(*.bmp)") + QChar(0) + QStringLiteral("*.bmp") + QChar(0) +
                             QStringLiteral("全てのファイル(*.*)") + QChar(0) + QStringLiteral("*.*") + QChar(0) +
                             QChar(0);
    QCOMPARE(pictureFilter(), expected);
}

void TestPictureLoading::filterBecomesQtNameFilters()
{
    QCOMPARE(nameFiltersOf(pictureFilter()),
             (QStringList{QStringLiteral("bmpファイル(*.bmp)"), QStringLiteral("全てのファイル(*.*)")}));
    const QString bare = QStringLiteral("Pictures") + QChar(0) + QStringLiteral("*.png") + QChar(0) + QChar(0);
    QCOMPARE(nameFiltersOf(bare), QStringList{QStringLiteral("Pictures (*.png)")});
    QVERIFY(nameFiltersOf(QString()).isEmpty());
}

void TestPictureLoading::dialogAsksForAnExistingFile()
{
    QString title, selected;
    QStringList filters;
    int mode = -1;
    QTimer::singleShot(0, this, [&] {
        auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!d)
            return;
        title = d->windowTitle();
        filters = d->nameFilters();
        selected = d->selectedNameFilter();
        mode = d->fileMode();
        d->reject();
    });
    const QString path = FileOpen_Dialog(m_form.get(), pictureFilter());
    QVERIFY(path.isEmpty());
    QCOMPARE(title, QStringLiteral("ファイルを開く"));
    QCOMPARE(filters, nameFiltersOf(pictureFilter()));
    QCOMPARE(selected, filters.value(0));
    QCOMPARE(mode, int(QFileDialog::ExistingFile));
}

void TestPictureLoading::cancelChangesNothing()
{
    m_chosen.clear();
    const QImage before = m_form->Picture1()->image();
    m_form->mnuO3->trigger();
    QCOMPARE(m_dialogs, 1);
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(m_form->Picture1()->image(), before);
}

void TestPictureLoading::pictureRepaintsWhateverTheBoardHolds_data()
{
    QTest::addColumn<bool>("playing");
    QTest::newRow("title screen") << false;
    QTest::newRow("game in progress") << true;
}

void TestPictureLoading::pictureRepaintsWhateverTheBoardHolds()
{
    QFETCH(bool, playing);
    Form1 &f = *m_form;
    if (playing)
        f.mnuG2->trigger();
    const GameState before = f.game().state();
    m_chosen = m_dir.filePath(QStringLiteral("flat skin.bmp"));
    QVERIFY(flatSheet().save(m_chosen, "BMP"));

    f.mnuO3->trigger();

    QCOMPARE(m_messages, QStringList{texts::PictureLoaded});
    const GameState &after = f.game().state();
    QCOMPARE(after.Board, before.Board);
    QCOMPARE(after.HeadPos, before.HeadPos);
    QCOMPARE(after.GameMode, before.GameMode);
    // Every cell, the head's included, shows its own tile from the new sheet.
    const QImage sheet = flatSheet();
    for (int p = 0; p < 1200; ++p) {
        const int k = after.Board[static_cast<std::size_t>(p)] - '0';
        const QPoint at(12 * (p % 40) + 6, 12 * (p / 40) + 6);
        if (f.Picture1()->image().pixel(at) != sheet.pixel(12 * k + 6, 6))
            QFAIL(qPrintable(QStringLiteral("cell %1 not repainted").arg(p + 1)));
    }
}

void TestPictureLoading::refusedPictureKeepsTheOldSheet_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing file") << QByteArray() << texts::PictureMissing;
    QTest::newRow("not a picture") << QByteArray("GIF89a not a bitmap at all") << texts::PictureNotBmp;
    QTest::newRow("truncated bitmap") << QByteArray("BM\x36\x1b\0\0\0\0\0\0\x36\0\0\0", 14) << texts::PictureUnreadable;
}

void TestPictureLoading::refusedPictureKeepsTheOldSheet()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    m_chosen = m_dir.filePath(QStringLiteral("bad.bmp"));
    QFile::remove(m_chosen);
    if (!bytes.isEmpty()) {
        QFile file(m_chosen);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    const QImage sheet = m_form->Picture1()->tileSheet();
    const QImage board = m_form->Picture1()->image();
    m_form->mnuO3->trigger();
    QCOMPARE(m_messages, QStringList{reason});
    QCOMPARE(m_form->Picture1()->tileSheet(), sheet);
    QCOMPARE(m_form->Picture1()->image(), board);
}

void TestPictureLoading::pictureDeletedAfterTheDialogKeepsTheGame()
{
    // The file is there when the dialog accepts it and gone when we load.
    Form1 &f = *m_form;
    f.mnuG1->trigger();
    f.Picture1_KeyDown(39);
    f.Timer1_Timer();
    const GameState before = f.game().state();
    const QString path = m_dir.filePath(QStringLiteral("gone.bmp"));
    f.setFileOpenDialog([&](QWidget *, const QString &) {
        [&] { QVERIFY(flatSheet().save(path, "BMP")); }();
        QFile::remove(path);
        return path;
    });
    const QImage sheet = f.Picture1()->tileSheet();
    const QImage board = f.Picture1()->image();
    f.mnuO3->trigger();
    QCOMPARE(m_messages, QStringList{texts::PictureMissing});
    QCOMPARE(f.Picture1()->tileSheet(), sheet);
    QCOMPARE(f.Picture1()->image(), board);
    QCOMPARE(f.game().state().Board, before.Board);
    QCOMPARE(f.game().state().GameMode, before.GameMode);
    // The game goes on from where it was.
    f.Timer1_Timer();
    QCOMPARE(f.game().state().HeadPos, before.HeadPos + 1);
}

QTEST_MAIN(TestPictureLoading)
#include "tst_picture_loading.moc"
