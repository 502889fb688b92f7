// Every window on a screen scaled by a whole factor (QT_SCALE_FACTOR, set
// by the test's registration): sizes stay what they are in logical pixels,
// the picture grows by the factor, and pixel art stays a block per pixel.

#include "board_surface.h"
#include "clock_random.h"
#include "fonts.h"
#include "form1.h"
#include "form2.h"
#include "form3.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace trazzo;

class TestHighDpi : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void windowsKeepTheirSize_data();
    void windowsKeepTheirSize();
    void highScoreBackgroundStaysCrisp();

private:
    QWidget *window(const QString &which);
    QTemporaryDir m_data;
    std::unique_ptr<Form1> m_form;
    ClockRandom m_random{7};
    int m_factor = 1;
};

void TestHighDpi::initTestCase()
{
    m_factor = qEnvironmentVariableIntValue("QT_SCALE_FACTOR");
    if (m_factor < 2)
        QSKIP("run with QT_SCALE_FACTOR set to a whole factor of 2 or more");
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
    installFontSubstitutes();
    m_form = std::make_unique<Form1>(&m_random, QString(TRAZZO_SOURCE_DIR "/assets/sounds"));
    m_form->setEndProgram([] {});
    m_form->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

QWidget *TestHighDpi::window(const QString &which)
{
    if (which == "main")
        return m_form.get();
    if (which == "high scores") {
        m_form->mnuG4->trigger();
        return m_form->highScoreWindow().window();
    }
    m_form->mnuH2->trigger();
    return m_form->aboutWindow().window();
}

void TestHighDpi::windowsKeepTheirSize_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QSize>("size");
    QTest::newRow("main window") << "main" << QSize(500, 421); // below the menu bar
    QTest::newRow("high scores") << "high scores" << QSize(Form3::Width, Form3::Height);
    QTest::newRow("about") << "about" << QSize(Form2::Width, Form2::Height);
}

void TestHighDpi::windowsKeepTheirSize()
{
    QFETCH(QString, which);
    QFETCH(QSize, size);
    QWidget *w = window(which);
    QVERIFY(w);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QWidget *client = which == "main" ? m_form->centralWidget() : w;
    QCOMPARE(client->size(), size);
    const QImage shown = w->grab().toImage();
    QCOMPARE(shown.devicePixelRatio(), qreal(m_factor));
    QCOMPARE(shown.size(), w->size() * m_factor);
    if (w != m_form.get())
        w->close();
}

void TestHighDpi::highScoreBackgroundStaysCrisp()
{
    Form3 *table = static_cast<Form3 *>(window("high scores"));
    QVERIFY(table && QTest::qWaitForWindowExposed(table));
    const QImage shown = table->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage background = highScoreBackground();
    // A stretch of marble with no text on it, right of the second heading.
    const int n = m_factor;
    for (int y = 76; y < 90; ++y)
        for (int x = 120; x < 215; ++x)
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i)
                    if (shown.pixel(x * n + i, y * n + j) != background.pixel(x, y))
                        QFAIL(qPrintable(QStringLiteral("pixel %1,%2 at scale %3 is smoothed").arg(x).arg(y).arg(n)));
    table->close();
}

QTEST_MAIN(TestHighDpi)
#include "tst_high_dpi.moc"
