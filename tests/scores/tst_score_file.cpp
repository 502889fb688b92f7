// The score file: what a damaged file keeps, what may stand in its place,
// and copies of the game sharing it, killed or told to quit.

#include "player_file.h"
#include "score_rows.h"
#include "sound_effects.h"

#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace trazzo;

namespace {

const QStringList Good = {"000500Ann", "000300Bob", "000100Cy", "000900Dee", "000800Eve", "000700Fay"};
const QStringList GoodRows = {"500 Ann", "300 Bob", "100 Cy", "900 Dee", "800 Eve", "700 Fay"};

QByteArray fileOf(const QStringList &lines, const QString &header = "Trazzo スコアファイル 2002/05/12 14:03:27")
{
    return (QStringList{header} + lines).join("\r\n").toUtf8() + "\r\n";
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

// What stands at a path, as `ls -l` would say, with a file's second line.
QString describe(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return "none";
    if (!S_ISREG(st.st_mode))
        return S_ISLNK(st.st_mode) ? "link" : "other";
    return "file " + QString::fromUtf8(readPlayerFile(path, 999).bytes).split('\n').value(1).remove('\r');
}

} // namespace

class TestScoreFile : public QObject {
    Q_OBJECT
private slots:
    void reading_data();
    void reading();
    void whatStandsThere_data();
    void whatStandsThere();
    void copiesShareOneFile();
};

void TestScoreFile::reading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("damaged");
    QTest::newRow("whole") << fileOf(Good, "Trazzo ?\x7f") << GoodRows << false;
    QTest::newRow("one bad name") << fileOf(with(Good, 1, "000300B\x01ob")) << with(GoodRows, 1, "0 ") << true;
    QTest::newRow("bad bytes, below 0") << fileOf(with(Good, 2, "-00050Neg")).replace("Eve", "E\xff\xfe")
                                        << with(with(GoodRows, 2, "0 "), 4, "0 ") << true;
    QTest::newRow("Shift-JIS, blanks, halves")
        << fileOf(with(with(Good, 2, " 012.5 Cy"), 0, "0013.5Ann")).replace("Fay", "\x83\x5e\x83\x8d")
        << with(with(with(GoodRows, 5, "700 タロ"), 2, "12  Cy"), 0, "14 Ann") << false;
    QTest::newRow("short") << fileOf(Good.mid(0, 5)) << with(GoodRows, 5, "0 ") << false;
    QTest::newRow("not ours") << fileOf(Good, "my notes") << GoodRows << true;
}

void TestScoreFile::reading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    QCOMPARE(rowsOf(readScoreFile(bytes, false).table), expected);
    QTEST(readScoreFile(bytes, false).damaged, "damaged");
    // Cut off at the cap: the whole lines before the cut are kept, and the file is set aside.
    QCOMPARE(rowsOf(readScoreFile(bytes.chopped(4), true).table).mid(0, 4), expected.mid(0, 4));
    QVERIFY(readScoreFile(bytes, true).damaged);
}

void TestScoreFile::whatStandsThere_data()
{
    QTest::addColumn<QString>("place");
    QTest::addColumn<QStringList>("after"); // Trazzo.ini, Trazzo.ini.bad, the link's target
    QTest::newRow("link to a text file") << "notes" << QStringList{"file 000600Neo", "link", "file second line"};
    QTest::newRow("dangling link") << "dangling" << QStringList{"file 000600Neo", "link", "none"};
    QTest::newRow("link to a pipe") << "pipe" << QStringList{"file 000600Neo", "link", "other"};
    QTest::newRow("link to a score file") << "synced" << QStringList{"link", "none", "file 000600Neo"};
    QTest::newRow("a pipe itself") << "fifo" << QStringList{"file 000600Neo", "other", "none"};
    QTest::newRow("damaged file") << "damaged" << QStringList{"file 000600Neo", "file 000500Ann", "none"};
    QTest::newRow("a folder: not saved") << "folder" << QStringList{"other", "none", "none"};
    QTest::newRow("disk full: not saved") << "full" << QStringList{"file 000500Ann", "none", "none"};
}

void TestScoreFile::whatStandsThere()
{
    QFETCH(QString, place);
    QTemporaryDir d;
    const QString ini = d.path() + "/Trazzo.ini", target = d.path() + "/target";
    const QByteArray damaged = fileOf(Good).replace("Bob", "B\x02ob");
    if (place == "notes" || place == "synced")
        write(target, place == "notes" ? "my notes\nsecond line\n" : fileOf(Good));
    if (place == "pipe" || place == "fifo")
        ::mkfifo(QFile::encodeName(place == "pipe" ? target : ini).constData(), 0600);
    if (place == "full") // long names: the file is larger than the lock
        write(ini, fileOf(Good).replace("Dee", QByteArray(32, 'D')).replace("Eve", QByteArray(32, 'E')));
    if (place == "damaged" || place == "folder")
        place == "folder" ? void(QDir().mkpath(ini)) : write(ini, damaged);
    if (place == "notes" || place == "synced" || place == "pipe" || place == "dangling")
        QVERIFY(QFile::link(target, ini));
    ScoreTable table(ini);
    table.HightScore_Load();
    table.enter(0, {600, "Neo"});
    // A full disk, as far as writing goes: the lock file fits, the table does not.
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    const rlimit tiny{160, before.rlim_max};
    ::signal(SIGXFSZ, SIG_IGN);
    if (place == "full")
        ::setrlimit(RLIMIT_FSIZE, &tiny);
    const bool saved = table.HightScore_Save();
    ::setrlimit(RLIMIT_FSIZE, &before);
    QCOMPARE(saved, place != "folder" && place != "full");
    QCOMPARE(table.hasUnsaved(), !saved); // kept for the next try
    QTEST((QStringList{describe(ini), describe(ini + ".bad"), describe(target)}), "after");
    if (place == "damaged") // set aside byte for byte
        QCOMPARE(readPlayerFile(ini + ".bad", 999).bytes, damaged);
    QVERIFY(!readWaveFile(target)); // and a pipe in a wave file's place does not hold up start-up
}

void TestScoreFile::copiesShareOneFile()
{
    // The game itself, idle, and two more copies of its score keeping, all
    // started before anyone scores; one copy is killed right after its entry.
    QTemporaryDir d;
    const QString ini = d.path() + "/Trazzo/Windows/Trazzo.ini", leftover = ini + ".a1B2c3";
    QDir().mkpath(d.path() + "/Trazzo/Windows");
    write(leftover, "a save cut off");
    QProcess game, copies[2];
    qputenv("XDG_DATA_HOME", QFile::encodeName(d.path())); // the game's data folder
    game.start(TRAZZO_PROGRAM);
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(leftover), 10000); // it has read the file
    for (QProcess &p : copies) {
        p.start(SCORE_COPY, {ini});
        QVERIFY(p.waitForReadyRead(5000) && p.readLine() == "loaded\n");
    }
    for (const auto &[copy, entry] : {std::pair{0, "1 500 Ann\n"}, {1, "1 500 Bob\n"}, {1, "2 70 Cy\n"}}) {
        copies[copy].write(entry);
        QVERIFY(copies[copy].waitForReadyRead(5000) && copies[copy].readLine() == "saved\n");
    }
    copies[0].kill();
    copies[1].closeWriteChannel();
    QVERIFY(copies[1].waitForFinished(5000));
    write(leftover, ""); // gone again only if the game saves on SIGTERM
    game.terminate();
    QVERIFY(game.waitForFinished(5000) && game.exitStatus() == QProcess::NormalExit && !QFile::exists(leftover));
    QCOMPARE(rowsOf(readScoreFile(readPlayerFile(ini, 999).bytes, false).table),
             (QStringList{"500 Ann", "500 Bob", "0 ", "70 Cy", "0 ", "0 "}));
}

QTEST_GUILESS_MAIN(TestScoreFile)
#include "tst_score_file.moc"
