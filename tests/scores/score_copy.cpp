// One copy of the game's score keeping, for tests that need real
// processes: loads the file, then each input line "<mode> <score> <name>"
// is a game over that enters and saves at once, as the window does; the
// end of input is the window closing.

#include "high_scores.h"

#include <QStringList>
#include <QTextStream>

int main(int argc, char *argv[])
{
    trazzo::ScoreTable table(QString::fromLocal8Bit(argc > 1 ? argv[1] : ""));
    table.HightScore_Load();
    QTextStream in(stdin), out(stdout);
    out << "loaded" << Qt::endl;
    QString line;
    while (in.readLineInto(&line)) {
        const QStringList w = line.split(' ');
        if (const int slot = trazzo::rankSlot(table.HighScores, w[0].toInt(), w[1].toInt()); slot >= 0)
            table.enter(slot, {w[1].toInt(), w.value(2)});
        out << (table.HightScore_Save() ? "saved" : "failed") << Qt::endl;
    }
    return table.HightScore_Save() ? 0 : 1;
}
