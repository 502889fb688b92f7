// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One more copy of the game's score keeping, for tests with real processes:
// it loads the file; each input line "<mode> <score> <name>" is a game over
// that enters and saves at once, as the window does; the end of input is
// the window closing.

#include "high_scores.h"

#include <QStringList>
#include <QTextStream>

int main(int, char *argv[])
{
    trazzo::ScoreTable table(QString::fromLocal8Bit(argv[1]));
    table.HightScore_Load();
    QTextStream in(stdin), out(stdout);
    out << "loaded" << Qt::endl;
    for (QString line; in.readLineInto(&line);) {
        const QStringList w = line.split(' ');
        if (table.rankAndEnter(w[0].toInt(), w[1].toInt()) >= 0)
            table.nameNewestEntry(w.value(2));
        out << (table.HightScore_Save() ? "saved" : "failed") << Qt::endl;
    }
    return table.HightScore_Save() ? 0 : 1;
}
