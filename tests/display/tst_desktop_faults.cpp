// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What went wrong between the windows: ticks behind the picture dialog, the
// all-files choice, start-up texts never seen, a window placed off screen.
// Runs at five times the size, where the main window outgrows the screen.

#include "clock_random.h"
#include "file_open_dialog.h"
#include "form1.h"

#include <QtTest>
#include <QtWidgets>

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
};

QTEST_MAIN(TestDesktopFaults)
#include "tst_desktop_faults.moc"
