// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The reference for bench_startup: the least a Qt Widgets program of the
// game's kind does at start-up. A fixed window of the game's size with a
// menu bar and a Japanese label, nothing else.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    for (const char *menu : {"ｹﾞｰﾑ(&G)", "ｵﾌﾟｼｮﾝ(&O)", "ﾍﾙﾌﾟ(&H)"})
        window.menuBar()->addMenu(QString::fromUtf8(menu))->addAction(QStringLiteral("-"));
    auto *label = new QLabel(QStringLiteral("始めるにはゲームモードを選択してください。"));
    label->setFixedSize(500, 421);
    label->setAlignment(Qt::AlignBottom | Qt::AlignLeft);
    window.setCentralWidget(label);
    window.show();
    return app.exec();
}
