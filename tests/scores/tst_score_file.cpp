// The score file: its lines, what a damaged file keeps, what may stand in
// its place, and copies of the game sharing it, killed or told to quit.

#include "high_scores.h"
#include "player_file.h"
#include "sound_effects.h"

#include <QtTest>

#include <sys/stat.h>

using namespace trazzo;

namespace {

const QStringList Good = {"000500Ann", "000300Bob", "000100Cy", "000900Dee", "000800Eve", "000700Fay"};
const QStringList GoodRead = {"500 Ann", "300 Bob", "100 Cy", "900 Dee", "800 Eve", "700 Fay"};

QByteArray fileOf(const QStringList &lines, const QString &header = "Trazzo スコアファイル 2002/05/12 14:03:27")
{
    return (QStringList{header} + lines).join("\r\n").toUtf8() + "\r\n";
}

QStringList entries(const HighScores &table)
{
    QStringList out;
    for (const ScoreEntry &e : table)
        out << QString::number(e.Score) + ' ' + e.Name;
    return out;
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

// What stands at a path, as `ls -l` would tell it, with a file's 2nd line.
QString describe(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return "none";
    if (S_ISLNK(st.st_mode) || S_ISFIFO(st.st_mode))
        return S_ISLNK(st.st_mode) ? "link" : "fifo";
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return "file " + QString::fromUtf8(f.readAll()).split('\n').value(1).remove('\r');
}

QStringList leftovers(const QString &dir) { return QDir(dir).entryList({"Trazzo.ini.??????"}, QDir::Files); }

} // namespace

class TestScoreFile : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
    void reading_data();
    void reading();
    void whatStandsThere_data();
    void whatStandsThere();
    void copiesShareOneFile();
    void terminatedGameSaves();
    void playerFiles_data();
    void playerFiles();
    void placeOfTheFile_data();
    void placeOfTheFile();
};

void TestScoreFile::lines_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("back");
    QTest::newRow("850 Taro") << 850 << "Taro" << "000850Taro" << "850 Taro";
    QTest::newRow("nothing") << 0 << "" << "000000" << "0 ";
    QTest::newRow("a million keeps six digits") << 1234567 << "Big" << "234567Big" << "234567 Big";
    QTest::newRow("blanks lead the name") << 0 << "  Ken" << "000000  Ken" << "0   Ken";
    QTest::newRow("digits lead the name") << 5 << "12Go" << "00000512Go" << "5 12Go";
    QTest::newRow("a negative score is written as 0") << -50 << "Neg" << "000000Neg" << "0 Neg";
}

void TestScoreFile::lines()
{
    QFETCH(int, score);
    QFETCH(QString, name);
    QFETCH(QString, line);
    QFETCH(QString, back);
    HighScores table;
    table[4] = {score, name};
    const QByteArray bytes = formatScoreFile(table, "2002/05/12 14:03:27");
    QCOMPARE(QString::fromUtf8(bytes).split("\r\n"),
             (QStringList{"Trazzo スコアファイル 2002/05/12 14:03:27", "000000", "000000", "000000", "000000", line,
                          "000000", ""}));
    const ScoreFileContent read = readScoreFile(bytes, false);
    QCOMPARE(entries(read.table)[4], back);
    QVERIFY(!read.damaged);
}

void TestScoreFile::reading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("damaged");
    const auto with = [](QStringList l, int k, const QString &s) { return l.replace(k, s), l; };
    QTest::newRow("whole") << fileOf(Good) << false << GoodRead << false;
    QTest::newRow("header ignored") << fileOf(Good, "Trazzo ?\x7f") << false << GoodRead << false;
    QTest::newRow("one name with a control character")
        << fileOf(with(Good, 1, "000300B\x01ob")) << false << with(GoodRead, 1, "0 ") << true;
    QByteArray badByte = fileOf(Good);
    badByte.replace("Eve", "E\xff\xfe");
    QTest::newRow("one name with bad bytes") << badByte << false << with(GoodRead, 4, "0 ") << true;
    QTest::newRow("a negative score") << fileOf(with(Good, 2, "-00050Neg")) << false << with(GoodRead, 2, "0 ") << true;
    QByteArray sjis = fileOf(Good);
    sjis.replace("Fay", "\x83\x5e\x83\x8d\x83\x45");
    QTest::newRow("Shift-JIS name") << sjis << false << with(GoodRead, 5, "700 タロウ") << false;
    QTest::newRow("fraction halves to even") << fileOf(with(Good, 0, "0012.5Amy")) << false << with(GoodRead, 0, "12 Amy")
                                             << false;
    QTest::newRow("short file") << fileOf(Good.mid(0, 2)) << false << GoodRead.mid(0, 2) + QStringList(4, "0 ") << false;
    QTest::newRow("cut off") << fileOf(Good).chopped(4) << true << with(GoodRead, 5, "0 ") << true;
    QTest::newRow("not ours") << fileOf(Good, "my notes") << false << GoodRead << true;
    QTest::newRow("more lines") << fileOf(Good + QStringList{"000001Sam"}) << false << GoodRead << true;
}

void TestScoreFile::reading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, goesOn);
    QFETCH(QStringList, expected);
    QFETCH(bool, damaged);
    const ScoreFileContent read = readScoreFile(bytes, goesOn);
    QCOMPARE(entries(read.table), expected);
    QCOMPARE(read.damaged, damaged);
}

void TestScoreFile::whatStandsThere_data()
{
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QString>("aside");
    QTest::addColumn<QString>("target");
    QTest::newRow("nothing") << "none" << "file 000600Neo" << "none" << "none";
    QTest::newRow("link to a text file") << "notes" << "file 000600Neo" << "link" << "file second line";
    QTest::newRow("dangling link") << "dangling" << "file 000600Neo" << "link" << "none";
    QTest::newRow("link to a pipe") << "pipe" << "file 000600Neo" << "link" << "fifo";
    QTest::newRow("link to a score file") << "synced" << "link" << "none" << "file 000600Neo";
    QTest::newRow("a pipe itself") << "fifo" << "file 000600Neo" << "fifo" << "none";
    QTest::newRow("damaged file") << "damaged" << "file 000600Neo" << "file 000500Ann" << "none";
}

void TestScoreFile::whatStandsThere()
{
    QFETCH(QString, place);
    QTemporaryDir d;
    const QString dir = d.path() + "/Windows", ini = dir + "/Trazzo.ini", target = d.path() + "/target";
    QDir().mkpath(dir);
    write(ini + ".x1Y2z3", "left by a save that was cut off");
    if (place == "notes")
        write(target, "my notes\nsecond line\n");
    if (place == "synced")
        write(target, fileOf(Good));
    if (place == "pipe")
        ::mkfifo(QFile::encodeName(target).constData(), 0600);
    if (place == "fifo")
        ::mkfifo(QFile::encodeName(ini).constData(), 0600);
    if (place == "damaged")
        write(ini, fileOf(Good).replace("Bob", "B\x02ob"));
    if (place != "none" && place != "fifo" && place != "damaged")
        QVERIFY(QFile::link(target, ini));

    ScoreTable table(ini);
    table.HightScore_Load();
    table.enter(0, {600, "Neo"});
    QVERIFY(table.HightScore_Save());
    QTEST(describe(ini), "ini");
    QTEST(describe(ini + ".bad"), "aside");
    QTEST(describe(target), "target");
    QCOMPARE(leftovers(dir), QStringList());
    if (place == "damaged") // set aside byte for byte
        QCOMPARE(readPlayerFile(dir + "/Trazzo.ini.bad", 9999).bytes, fileOf(Good).replace("Bob", "B\x02ob"));
}

void TestScoreFile::copiesShareOneFile()
{
    QTemporaryDir d;
    const QString ini = d.path() + "/Trazzo.ini";
    QProcess copies[3];
    for (QProcess &p : copies) {
        p.start(SCORE_COPY, {ini});
        QVERIFY(p.waitForReadyRead(5000) && p.readLine() == "loaded\n");
    }
    // Ann and Bob score the same in two copies; the third copy only looks.
    for (const auto &[copy, entry] : {std::pair{0, "1 500 Ann\n"}, {1, "1 500 Bob\n"}, {1, "2 70 Cy\n"}}) {
        copies[copy].write(entry);
        QVERIFY(copies[copy].waitForReadyRead(5000) && copies[copy].readLine() == "saved\n");
    }
    copies[0].kill(); // SIGKILL right after the entry
    for (QProcess &p : copies) {
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(5000));
    }
    QCOMPARE(entries(readScoreFile(readPlayerFile(ini, 9999).bytes, false).table),
             (QStringList{"500 Ann", "500 Bob", "0 ", "70 Cy", "0 ", "0 "}));
}

void TestScoreFile::terminatedGameSaves()
{
    QTemporaryDir d;
    const QString dir = d.path() + "/Trazzo/Windows", ini = dir + "/Trazzo.ini";
    QDir().mkpath(dir);
    write(ini, fileOf(Good, "Trazzo old"));
    write(ini + ".a1B2c3", "");
    QProcess game;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", d.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    game.setProcessEnvironment(env);
    game.start(TRAZZO_PROGRAM);
    // Start-up is over once the cut-off save's leftover is gone.
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(ini + ".a1B2c3"), 10000);
    game.terminate();
    QVERIFY(game.waitForFinished(5000));
    QCOMPARE(game.exitStatus(), QProcess::NormalExit);
    const QByteArray saved = readPlayerFile(ini, 9999).bytes;
    QVERIFY(saved.startsWith("Trazzo スコアファイル 20"));
    QCOMPARE(entries(readScoreFile(saved, false).table), GoodRead);
}

void TestScoreFile::playerFiles_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("goesOn");
    QTest::newRow("pipe") << "pipe" << int(PlayerFile::Kind::NotRegular) << false;
    QTest::newRow("folder") << "folder" << int(PlayerFile::Kind::NotRegular) << false;
    QTest::newRow("missing") << "missing" << int(PlayerFile::Kind::Missing) << false;
    QTest::newRow("at the cap") << "4" << int(PlayerFile::Kind::Read) << false;
    QTest::newRow("over the cap") << "5" << int(PlayerFile::Kind::Read) << true;
}

void TestScoreFile::playerFiles()
{
    QFETCH(QString, what);
    QTemporaryDir d;
    const QString path = d.path() + "/Gold.wav";
    if (what == "pipe")
        ::mkfifo(QFile::encodeName(path).constData(), 0600);
    if (what == "folder")
        QDir().mkpath(path);
    if (what.toInt() > 0)
        write(path, QByteArray(what.toInt(), 'w'));
    const PlayerFile file = readPlayerFile(path, 4);
    QTEST(int(file.kind), "kind");
    QTEST(file.goesOn, "goesOn");
    QCOMPARE(file.bytes.size(), file.kind == PlayerFile::Kind::Read ? 4 : 0);
    QVERIFY(!makeQtEffect(path)); // and a wave file in its place does not hang start-up
}

void TestScoreFile::placeOfTheFile_data()
{
    QTest::addColumn<QByteArray>("dataHome");
    QTest::addColumn<QString>("path");
    QTest::newRow("data folder") << QByteArray("/x/data") << "/x/data/Trazzo/Windows/Trazzo.ini";
    QTest::newRow("relative one ignored") << QByteArray("x/data") << "/home/u/.local/share/Trazzo/Windows/Trazzo.ini";
}

void TestScoreFile::placeOfTheFile()
{
    QFETCH(QByteArray, dataHome);
    qputenv("XDG_DATA_HOME", dataHome);
    qputenv("HOME", "/home/u");
    QTEST(defaultScoreFilePath(), "path");
}

QTEST_GUILESS_MAIN(TestScoreFile)
#include "tst_score_file.moc"
