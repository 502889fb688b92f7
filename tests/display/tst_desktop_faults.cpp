// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What went wrong between the windows: ticks behind the picture dialog, the
// all-files choice, start-up texts never seen, a window placed off screen, a
// window another program destroyed.
// Runs at five times the size, where the main window outgrows the screen.

#include "clock_random.h"
#include "file_open_dialog.h"
#include "form1.h"
#include "lost_windows.h"
#include "window_placement.h"

#include <QtTest>
#include <QtWidgets>

#include <cstring>
#include <tuple>

class TestDesktopFaults : public QObject {
    Q_OBJECT
    trazzo::ClockRandom m_random{7};
    QStringList m_seen; // the status line's texts as painted on an exposed window

    bool eventFilter(QObject *watched, QEvent *e) override
    {
        const auto *l = qobject_cast<QLabel *>(watched); // none while the label is being destroyed
        if (l && e->type() == QEvent::Paint && l->window()->windowHandle()->isExposed() && !m_seen.endsWith(l->text()))
            m_seen << l->text();
        return false;
    }

private slots:
    void gameWaitsWhilePictureIsChosen()
    {
        trazzo::Form1 form(&m_random);
        form.mnuG1->trigger();
        form.Picture1_KeyDown(39); // right arrow: the head runs
        const int &head = form.game().state().HeadPos, start = head;
        QList<int> seen; // the head, and whether the clock runs, as the dialog and then its message box are open
        auto look = [&] { QCoreApplication::processEvents(), seen << head << form.Timer1()->isActive(); };
        form.setFileOpenDialog([&](auto *, auto &) { return look(), QString(TRAZZO_SOURCE_DIR "/assets/tiles.bmp"); });
        form.setMessageBox([&](const QString &) { look(); });
        form.mnuO3->trigger();
        QCOMPARE(seen, (QList<int>{start, false, start, false}));
        QTRY_VERIFY(head != start); // and the game goes on afterwards
    }

    void allFilesListsNamesWithoutAPoint()
    {
        QTemporaryDir dir;
        QVERIFY(QFile(dir.filePath("sheet.bmp")).open(QFile::WriteOnly) &&
                QFile(dir.filePath("sheet")).open(QFile::WriteOnly));
        bool all = false, inside = false;
        QString offered; // the dialog's title and choices, the chosen one last
        QTimer::singleShot(0, this, [&] {
            auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            // Even its least size at this scale is more than the screen holds: it is made smaller,
            // and stands in the middle of the screen.
            const QRect screen = QGuiApplication::primaryScreen()->availableGeometry(), frame = d->frameGeometry();
            inside = screen.contains(frame) && (frame.center() - screen.center()).manhattanLength() <= 2;
            const QListView *view = d->findChild<QListView *>("listView");
            offered = QStringList{d->windowTitle(), d->nameFilters().join('|'), d->selectedNameFilter()}.join('|');
            d->setDirectory(dir.path());
            QTest::keyClick(d->findChild<QComboBox *>("fileTypeCombo"), Qt::Key_Down); // all files
            all = QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) == 2; }, 60000);
            QTest::keyClick(d->findChild<QComboBox *>("fileTypeCombo"), Qt::Key_Up); // bitmaps again
            all = all && QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) == 1; }, 60000);
            d->reject();
        });
        QCOMPARE(trazzo::FileOpen_Dialog(nullptr, trazzo::pictureFilter()), ""); // cancelled
        QVERIFY(all && inside);
        QCOMPARE(offered, "ファイルを開く|bmpファイル(*.bmp)|全てのファイル(*.*)|bmpファイル(*.bmp)");
    }

    void startUpTextsReachTheScreenInOrder()
    {
        trazzo::Form1 form(&m_random);
        form.Label4()->installEventFilter(this);
        form.Form_Load();
        QTRY_COMPARE(m_seen, QStringList({"システム速度を計測しています。", "しばらくお待ちください。",
                                          "始めるにはゲームモードを選択してください。"}));
        // Taller and wider than the screen at this size: its title bar stays on screen, not above it.
        QCOMPARE(form.frameGeometry().topLeft(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
    }

    // A window larger than the screen is made smaller, to nine tenths of it,
    // in the direction it is too large alone; the screen here is 280 x 192.
    void aWindowTooLargeShrinksToNineTenths_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("fitted");
        QTest::newRow("too tall") << QSize(200, 300) << QSize(200, 172);
        QTest::newRow("too wide") << QSize(400, 100) << QSize(252, 100);
        QTest::newRow("both") << QSize(400, 300) << QSize(252, 172);
        QTest::newRow("neither") << QSize(252, 172) << QSize(252, 172);
    }
    void aWindowTooLargeShrinksToNineTenths()
    {
        QFETCH(QSize, size);
        QFETCH(QSize, fitted);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(screen.size(), QSize(280, 192));
        QWidget window;
        window.resize(size);
        trazzo::fitOnScreen(&window, nullptr);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Give or take the rounding between the scaled and the screen's pixels.
        const QSize off = window.size() - fitted;
        QVERIFY2(qAbs(off.width()) <= 2 && qAbs(off.height()) <= 2,
                 qPrintable(QString("%1 x %2").arg(window.width()).arg(window.height())));
        QVERIFY((window.frameGeometry().center() - screen.center()).manhattanLength() <= 2);
    }

    // The X server tells the game its window is gone (DestroyNotify, 17; the
    // high bit set when another program sent the same words instead).
    void aWindowDestroyedUnderTheGame_data()
    {
        QTest::addColumn<quint8>("type");
        QTest::addColumn<QString>("told");     // the window the event is sent to
        QTest::addColumn<QString>("window");   // the one destroyed
        QTest::addColumn<bool>("ends");        // the game saves and ends
        QTest::addColumn<bool>("aboutClosed"); // the About window goes, the main window is usable again
        const QString main("main"), about("about"), other("other");
        QTest::newRow("the main window") << quint8(17) << main << main << true << false;
        QTest::newRow("the About window") << quint8(17) << about << about << false << true;
        QTest::newRow("the About window, said by another program")
            << quint8(17 | 0x80) << about << about << false << false;
        QTest::newRow("the About window unmapped") << quint8(18) << about << about << false << false;
        QTest::newRow("a window not the game's") << quint8(17) << other << other << false << false;
        QTest::newRow("a child window, told to the main one") << quint8(17) << main << other << false << false;
    }
    void aWindowDestroyedUnderTheGame()
    {
        QFETCH(quint8, type);
        QFETCH(QString, told);
        QFETCH(QString, window);
        QFETCH(bool, ends);
        QFETCH(bool, aboutClosed);
        trazzo::Form1 form(&m_random);
        int quits = 0;
        trazzo::LostWindows lost(&form, [&quits] { ++quits; });
        form.show();
        form.mnuH2->trigger();
        QPointer<QWidget> about;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->windowTitle() == "ﾊﾞｰｼﾞｮﾝ情報")
                about = w;
        QVERIFY(about && QTest::qWaitForWindowExposed(about));
        QVERIFY(!form.isEnabled());
        const auto id = [&](const QString &which) {
            return quint32(which == "main"    ? form.internalWinId()
                           : which == "about" ? about->internalWinId()
                                              : 0x5a5a5a);
        };
        // The event as it comes off the wire: 32 bytes, the type first, the
        // window told at 4 and the one destroyed at 8. Other platforms' events
        // are not read as X11's.
        QByteArray event(32, '\0');
        event[0] = char(type);
        const quint32 ids[2] = {id(told), id(window)};
        std::memcpy(event.data() + 4, ids, sizeof ids);
        QVERIFY(!lost.nativeEventFilter("windows_generic_MSG", event.data(), nullptr));
        QVERIFY(!lost.nativeEventFilter("xcb_generic_event_t", event.data(), nullptr)); // Qt handles it as before
        // At once, before Qt reads the window manager's next word: a dialog
        // still open then would take the keys the main window is given.
        const auto state = [&] { return std::tuple(quits, about.isNull() || !about->isVisible(), form.isEnabled()); };
        const auto expected = std::tuple(int(ends), aboutClosed, aboutClosed);
        QVERIFY(state() == expected);
        bool handled = false; // and nothing more comes of it later
        QTimer::singleShot(0, &form, [&handled] { handled = true; });
        QTRY_VERIFY(handled);
        QVERIFY(state() == expected);
    }
};

QTEST_MAIN(TestDesktopFaults)
#include "tst_desktop_faults.moc"
