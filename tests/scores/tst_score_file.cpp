// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The score file: what a damaged file keeps, what may stand in its place,
// and copies of the game sharing it, killed or told to quit.

#include "game_state.h"
#include "player_file.h"
#include "score_rows.h"
#include "sound_effects.h"

#include <QtTest>

#include <atomic>
#include <clocale>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <linux/capability.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

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

// What stands in a folder, as `ls -l` would say: each name with "link",
// "other" or a file's second line, and a file's rights unless rw-r--r--.
QStringList describe(const QString &dir)
{
    QStringList seen;
    for (const QString &name :
         QDir(dir).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        struct stat st {};
        ::lstat(QFile::encodeName(dir + '/' + name).constData(), &st);
        QFile f(dir + '/' + name);
        const bool file = S_ISREG(st.st_mode) && f.open(QIODevice::ReadOnly);
        const QString mode = (st.st_mode & 0777) == 0644 ? "" : QString(" %1").arg(st.st_mode & 0777, 0, 8);
        if (!name.endsWith(".lock"))
            seen << name + ' ' +
                        (file                  ? QString(f.readAll()).split('\n').value(1).remove('\r') + mode
                         : S_ISLNK(st.st_mode) ? "link"
                                               : "other");
    }
    seen.sort();
    return seen;
}

// A file made `minutes` ago.
void writeOld(const QString &path, const QByteArray &bytes, int minutes)
{
    write(path, bytes);
    const timespec when[2] = {{::time(nullptr) - 60 * minutes, 0}, {::time(nullptr) - 60 * minutes, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), when, 0);
}

// Root reads any file and links to it: without these capabilities it is
// refused like anyone.
void readAnything(bool on)
{
    __user_cap_header_struct head{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct caps[2]{};
    ::syscall(SYS_capget, &head, caps);
    for (unsigned cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
        caps[0].effective = on ? caps[0].effective | 1u << cap : caps[0].effective & ~(1u << cap);
    ::syscall(SYS_capset, &head, caps);
}

} // namespace

class TestScoreFile : public QObject {
    Q_OBJECT
private slots:
    void scoreFields_data();
    void scoreFields();
    void reading_data();
    void reading();
    void whatStandsThere_data();
    void whatStandsThere();
    void copiesShareOneFile();
    void placeOfTheFile();
    void savesWithNoDescriptorsLeft();
    void mountedInItsPlace();
    void waitsForAnotherCopysSave_data();
    void waitsForAnotherCopysSave();
    void saveOutlastsAPowerCut();
};

void TestScoreFile::scoreFields_data()
{
    // A number is read as far as it goes: sign, digits, point, exponent
    // (E or D); blanks anywhere are skipped; halves go to the even neighbour;
    // a comma is no decimal mark. A value no score can have is nothing (the
    // file is damaged there).
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("score");
    for (const auto &[field, score] : {std::pair<const char *, QVariant>{"001234", 1234},
                                       {" 1 2 3", 123},
                                       {"12ab34", 12},
                                       {"-00050", -50},
                                       {"+00007", 7},
                                       {"0012.6", 13},
                                       {"0012.5", 12},
                                       {"0013.5", 14},
                                       {" 1 2.7", 13},
                                       {"0.4999", 0},
                                       {"1.5e2x", 150},
                                       {"1.5e+2", 150},
                                       {"1D+2Ab", 100},
                                       {"12d1xy", 120},
                                       {"25E-1x", 2},
                                       {"12e---", 12},
                                       {".5e1xx", 5},
                                       {"2.1e9x", 2100000000},
                                       {"0012,6", 12},
                                       {"--5", 0},
                                       {"abc", 0},
                                       {"", 0},
                                       {"3e9999", QVariant()},
                                       {"9e9xyz", QVariant()},
                                       {"-3e10", QVariant()},
                                       {"1.2.3", 1},
                                       {"7e+", 7},
                                       {"5e-9xy", 0},
                                       {"e5----", 0}})
        QTest::newRow(field) << QString(field) << score;
}

void TestScoreFile::scoreFields()
{
    QFETCH(QString, field);
    QFETCH(QVariant, score);
    const QByteArray was = ::setlocale(LC_ALL, nullptr);
    const auto restore = qScopeGuard([&was] { ::setlocale(LC_ALL, was.constData()); });
    // A comma is the decimal mark in German; tools/install-deps.sh test makes the locale.
    for (const char *locale : {"C.UTF-8", "de_DE.UTF-8"}) {
        QVERIFY2(::setlocale(LC_ALL, locale), locale);
        const std::optional<std::int32_t> value = scoreFieldValue(field);
        QCOMPARE(value ? QVariant(*value) : QVariant(), score);
        const ScoreFileContent read = readScoreFile(fileOf(with(Good, 3, field.leftJustified(6) + "Dee")), false);
        const bool kept = value && *value >= 0; // a score below 0 is damage too
        QCOMPARE(read.damaged, !kept);
        QCOMPARE(rowsOf(read.table)[3], kept ? QString::number(*value) + " Dee" : "0 ");
    }
}

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
    // Lines ended by CR alone (an old Mac editor) read as one header line:
    // the entries in it are not lost to the next save, the file is set aside.
    QTest::newRow("CR line ends") << fileOf(Good).replace("\r\n", "\r") << QStringList(6, "0 ") << true;
    // A character cut off at a line's end is damage, in either encoding.
    QTest::newRow("cut character") << fileOf(Good).replace("Eve", "Eve\xe3") << with(GoodRows, 4, "0 ") << true;
    QTest::newRow("cut emoji") << fileOf(Good).replace("Bob", "Bob\xf0\x9f\x98") << with(GoodRows, 1, "0 ") << true;
    QTest::newRow("cut Shift-JIS") << fileOf(Good).replace("Fay", "\x83\x5e\x83") << with(GoodRows, 5, "0 ") << true;
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
    QTest::addColumn<QStringList>("after"); // the folder's content after 600 Neo ranked first in Refresh mode
    const QString neo = "Trazzo.ini 000600Neo", ann = "Trazzo.ini 000500Ann", old = "Trazzo.ini.bad 000500Ann";
    const QString keep = "Trazzo.ini.bad.42 set aside before", mine = "Trazzo.ini.a1B2c3 my own";
    const QString notes = "my own notes, longer than a score file's first line";
    QTest::newRow("link to a text file") << "notes" << QStringList{"target second line", neo, "Trazzo.ini.bad link"};
    QTest::newRow("dangling link") << "dangling" << QStringList{neo, "Trazzo.ini.bad link"};
    QTest::newRow("link in a loop") << "loop" << QStringList{neo, "Trazzo.ini.bad link", "loop link"};
    QTest::newRow("link to itself") << "itself" << QStringList{neo, "Trazzo.ini.bad link"};
    QTest::newRow("link to a pipe") << "pipe" << QStringList{"target other", neo, "Trazzo.ini.bad link"};
    QTest::newRow("link to a score file") << "synced" << QStringList{"target 000600Neo", "Trazzo.ini link"};
    QTest::newRow("a pipe itself") << "fifo" << QStringList{neo, "Trazzo.ini.bad other"};
    QTest::newRow("a folder") << "folder" << QStringList{neo, "Trazzo.ini.bad other"};
    QTest::newRow("damaged file") << "damaged" << QStringList{neo, old, keep, mine};
    QTest::newRow("another user's damaged file") << "damaged, not ours" << QStringList{neo, old};
    QTest::newRow("own rights") << "private" << QStringList{neo + " 600"};
    QTest::newRow("folder not there yet") << "new" << QStringList{neo};
    QTest::newRow("just the cap") << "8192" << QStringList{neo};
    QTest::newRow("a byte over the cap") << "8193" << QStringList{neo, old};
    QTest::newRow("set aside twice") << "twice" << QStringList{neo, old, "Trazzo.ini.bad.2 000500Ann", keep, mine};
    QTest::newRow("set aside a hundred times") << "hundred" << QStringList{neo, "Trazzo.ini.bad.100 000500Ann"};
    // Only a temporary of ours, left by a save cut off, goes.
    QTest::newRow("the player's files beside it") << "beside"
                                                  << QStringList{neo,
                                                                 mine,
                                                                 "Trazzo.ini.BACKUP my own",
                                                                 "Trazzo.ini.old123 my own",
                                                                 ".Trazzo.ini.trazzo-save-n0T3s1 " + notes,
                                                                 ".Trazzo.ini.trazzo-save-s4v1ng 000500Ann",
                                                                 ".Trazzo.ini.trazzo-save-0therU 000500Ann",
                                                                 ".Trazzo.ini.trazzo-save-l1nked 000500Ann",
                                                                 "kept 000500Ann"};
    // The lock: whatever stands there, saving goes on.
    QTest::newRow("pipe as the lock") << "fifo lock" << QStringList{neo};
    QTest::newRow("link to a pipe as the lock") << "link lock" << QStringList{neo, "target other"};
    QTest::newRow("folder as the lock") << "folder lock" << QStringList{neo};
    QTest::newRow("another user's lock") << "user lock" << QStringList{neo};
    QTest::newRow("another user's private lock") << "private lock" << QStringList{neo};
    QTest::newRow("another user's copy saving: not saved") << "held user lock" << QStringList{ann};
    QTest::newRow("disk full: not saved") << "full" << QStringList{ann};
    QTest::newRow("damaged, disk full: not saved") << "damaged full" << QStringList{ann};
    QTest::newRow("unreadable: not saved") << "unreadable" << QStringList{ann};
    QTest::newRow("the file linked to locked: not saved")
        << "synced locked" << QStringList{"target 000500Ann", "Trazzo.ini link"};
    QTest::newRow("locked: not saved") << "locked"
                                       << QStringList{ann, mine, keep, ".Trazzo.ini.trazzo-save-0ldCut 000500Ann"};
    QTest::newRow("read-only folder: not saved") << "read-only" << QStringList{ann};
    QTest::newRow("read-only file: not saved") << "read-only file" << QStringList{ann + " 444"};
}

void TestScoreFile::whatStandsThere()
{
    QFETCH(QString, place);
    if (::geteuid() != 0 &&
        (place.contains("user") || place.contains("not ours") || place == "private lock" || place == "beside"))
        QSKIP("making another user's file takes root");
    QTemporaryDir d;
    const QString dir = d.path() + (place == "new" ? "/Trazzo/Windows" : ""), ini = dir + "/Trazzo.ini",
                  target = d.path() + "/target";
    const QByteArray ours = place.endsWith("full") || place == "locked" // long names: larger than the lock
                                ? fileOf(Good).replace("Dee", QByteArray(32, 'D')).replace("Eve", QByteArray(32, 'E'))
                                : fileOf(Good);
    const QByteArray damaged = QByteArray(ours).replace("Bob", "B\x02ob");
    if (place == "notes" || place.startsWith("synced"))
        write(target, place == "notes" ? "my notes\nsecond line\n" : ours);
    if (place == "pipe" || place == "fifo" || place == "fifo lock" || place == "link lock")
        ::mkfifo(QFile::encodeName(place == "fifo"        ? ini
                                   : place == "fifo lock" ? ini + ".lock"
                                                          : target)
                     .constData(),
                 0600);
    if (place.endsWith("full") || place.endsWith("lock") || place == "private" || place == "unreadable" ||
        place == "locked" || place.startsWith("read-only") || place == "beside")
        write(ini, ours), ::chmod(QFile::encodeName(ini).constData(), place == "private" ? 0600 : 0644);
    if (place.toInt()) // the header fills the file up to its size
        write(ini, fileOf(Good, "Trazzo " + QString(place.toInt() - fileOf(Good, "Trazzo ").size(), 'x')));
    if (place.startsWith("damaged") || place == "twice" || place == "hundred")
        write(ini, damaged);
    if (place == "folder" || place == "folder lock")
        QVERIFY(QDir().mkpath(place == "folder" ? ini : ini + ".lock"));
    if (place == "notes" || place.startsWith("synced") || place == "pipe" || place == "dangling" ||
        place == "link lock")
        QVERIFY(QFile::link(target, place == "link lock" ? ini + ".lock" : ini));
    if (place == "loop" || place == "itself")
        QVERIFY(QFile::link(place == "loop" ? dir + "/loop" : ini, ini) &&
                (place == "itself" || QFile::link(ini, dir + "/loop")));
    if (place.endsWith("user lock") || place == "private lock") { // left by a copy another user ran
        write(ini + ".lock", "12345\ntrazzo\nother-host\n");
        ::chown(QFile::encodeName(ini + ".lock").constData(), 65534, 65534);
        ::chmod(QFile::encodeName(ini + ".lock").constData(), place.endsWith("user lock") ? 0644 : 0600);
    }
    if (place == "damaged" || place == "locked" || place == "twice" || place == "beside") // the player's own
        write(ini + ".bad.42", "\nset aside before"), write(ini + ".a1B2c3", "\nmy own");
    if (place == "twice")
        write(ini + ".bad", damaged);
    for (int n = 1; place == "hundred" && n < 100; ++n)
        write(ini + (n == 1 ? ".bad" : ".bad." + QString::number(n)), damaged);
    if (place == "beside" || place == "locked") // only the copy holding the lock may remove it
        writeOld(dir + "/.Trazzo.ini.trazzo-save-0ldCut", ours, 60);
    if (place == "beside") {
        for (const char *name : {".BACKUP", ".old123"})
            write(ini + name, "\nmy own");
        QFile::remove(ini + ".bad.42");
        // Our kind of name, not our bytes; a save being written now; a save
        // cut off an hour ago; one of another user's; one the player linked
        // to keep it.
        writeOld(dir + "/.Trazzo.ini.trazzo-save-n0T3s1", "\nmy own notes, longer than a score file's first line", 60);
        writeOld(dir + "/.Trazzo.ini.trazzo-save-s4v1ng", ours, 0);
        writeOld(dir + "/.Trazzo.ini.trazzo-save-0therU", ours, 60);
        QCOMPARE(::chown(QFile::encodeName(dir + "/.Trazzo.ini.trazzo-save-0therU").constData(), 65534, 65534), 0);
        writeOld(dir + "/.Trazzo.ini.trazzo-save-l1nked", ours, 60);
        QCOMPARE(::link(QFile::encodeName(dir + "/.Trazzo.ini.trazzo-save-l1nked").constData(),
                        QFile::encodeName(dir + "/kept").constData()),
                 0);
    }
    QLockFile other((place == "synced locked" ? target : ini) + ".lock"); // another copy of the game, saving
    QVERIFY(!place.endsWith("locked") || other.tryLock());
    const int otherUsers =
        place == "held user lock" ? ::open(QFile::encodeName(ini + ".lock").constData(), O_RDONLY) : -1;
    QVERIFY(place != "held user lock" || ::flock(otherUsers, LOCK_EX) == 0);
    const auto letGo = qScopeGuard([otherUsers] { otherUsers < 0 || ::close(otherUsers); });
    if (place == "damaged, not ours") // the kernel then refuses a second name for it
        QCOMPARE(::chown(QFile::encodeName(ini).constData(), 65534, 65534), 0);
    if (place == "unreadable" || place.startsWith("read-only") || place.endsWith("user lock") ||
        place.endsWith("not ours") || place == "private lock")
        ::chmod(QFile::encodeName(place == "read-only" ? dir : ini).constData(), place == "read-only"        ? 0555
                                                                                 : place == "read-only file" ? 0444
                                                                                 : place == "unreadable"     ? 0
                                                                                                             : 0644),
            readAnything(false);
    // A full disk, as far as writing goes: the lock file fits, the table does not.
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    const rlimit tiny{160, before.rlim_max};
    ::signal(SIGXFSZ, SIG_IGN);
    if (place.endsWith("full"))
        ::setrlimit(RLIMIT_FSIZE, &tiny);
    QElapsedTimer took;
    took.start();
    ScoreTable table(ini);
    table.HightScore_Load();
    QCOMPARE(table.rankAndEnter(RefreshMode, 600), 0);
    table.nameNewestEntry("Neo");
    const bool saved = table.HightScore_Save();
    // Nothing holds up a start or a save for long: at most a second's wait
    // for a copy that is saving, each time.
    QVERIFY2(took.elapsed() < 4000, qPrintable(QString::number(took.elapsed())));
    ::setrlimit(RLIMIT_FSIZE, &before);
    readAnything(true);
    if (place == "unreadable" || place == "read-only")
        ::chmod(QFile::encodeName(place == "read-only" ? dir : ini).constData(), place == "read-only" ? 0755 : 0644);
    for (int n = 1; place == "hundred" && n < 100; ++n)
        QVERIFY(QFile::remove(ini + (n == 1 ? ".bad" : ".bad." + QString::number(n))));
    QCOMPARE(saved, !QByteArray(QTest::currentDataTag()).endsWith("not saved"));
    QCOMPARE(table.hasUnsaved(), !saved); // kept for the next try
    QCOMPARE(rowsOf(table.HighScores).first(), "600 Neo");
    QFETCH(QStringList, after);
    after.sort();
    QCOMPARE(describe(QFileInfo(ini).path()), after);
    QFile aside(ini + ".bad");
    QVERIFY(place != "damaged" || (aside.open(QIODevice::ReadOnly) && aside.readAll() == damaged)); // byte for byte
    QVERIFY(!readWaveFile(target)); // and a pipe in a wave file's place does not hold up start-up
}

void TestScoreFile::copiesShareOneFile()
{
    // The game itself, idle, and two more copies of its score keeping, all
    // started before anyone scores; one copy is killed right after its entry.
    QTemporaryDir d;
    const QString ini = d.path() + "/Trazzo/Windows/Trazzo.ini",
                  leftover = d.path() + "/Trazzo/Windows/.Trazzo.ini.trazzo-save-a1B2c3";
    QDir().mkpath(d.path() + "/Trazzo/Windows");
    writeOld(leftover, fileOf(Good), 10); // a save cut off
    QProcess game, copies[2];
    qputenv("XDG_DATA_HOME", QFile::encodeName(d.path())); // the game's data folder
    game.start(TRAZZO_PROGRAM);
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(leftover), 60000); // it has read the file
    for (QProcess &p : copies) {
        p.start(SCORE_COPY, {ini});
        QVERIFY(p.waitForReadyRead(60000) && p.readLine() == "loaded\n");
    }
    for (const auto &[copy, entry] : {std::pair{0, "1 500 Ann\n"}, {1, "1 500 Bob\n"}, {1, "2 70 Cy\n"}}) {
        copies[copy].write(entry);
        QVERIFY(copies[copy].waitForReadyRead(60000) && copies[copy].readLine() == "saved\n");
    }
    copies[0].kill();
    copies[1].closeWriteChannel();
    QVERIFY(copies[1].waitForFinished(60000));
    writeOld(leftover, fileOf(Good), 10); // gone again only if the game saves on SIGTERM
    game.terminate();
    QVERIFY(game.waitForFinished(60000) && game.exitStatus() == QProcess::NormalExit && !QFile::exists(leftover));
    QFile file(ini);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QProcess bare; // and with no display to open its window on, the game says so
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY"), env.remove("WAYLAND_DISPLAY"), env.insert("QT_QPA_PLATFORM", "xcb");
    bare.setProcessEnvironment(env);
    bare.start(TRAZZO_PROGRAM);
    QVERIFY(bare.waitForFinished(60000) && bare.exitCode() == 1 &&
            bare.readAllStandardError().startsWith("trazzo: no display"));
    QCOMPARE(file.readAll().split('\n').mid(1),
             QByteArrayList({"000500Ann\r", "000500Bob\r", "000000\r", "000070Cy\r", "000000\r", "000000\r", ""}));
}

void TestScoreFile::placeOfTheFile()
{
    qputenv("HOME", "/home/ann");
    qputenv("XDG_DATA_HOME", "data"); // not absolute: not taken
    QCOMPARE(defaultScoreFile(), "/home/ann/.local/share/Trazzo/Windows/Trazzo.ini");
    qputenv("XDG_DATA_HOME", "/home/ann/data/../shared"); // the system knows where ".." leads after a link
    QCOMPARE(defaultScoreFile(), "/home/ann/data/../shared/Trazzo/Windows/Trazzo.ini");
    qputenv("XDG_DATA_HOME", "data");
    qunsetenv("HOME"); // then the account's home folder
    QCOMPARE(defaultScoreFile(),
             QByteArray(::getpwuid(::getuid())->pw_dir) + "/.local/share/Trazzo/Windows/Trazzo.ini");
    QVERIFY(!ScoreTable().HightScore_Save()); // no place, no save
    // A folder whose name is not UTF-8 is that folder, byte for byte.
    QTemporaryDir d;
    const QByteArray latin1 = QFile::encodeName(d.path()) + "/donn\xe9es";
    qputenv("XDG_DATA_HOME", latin1 + "//./");
    QCOMPARE(defaultScoreFile(), latin1 + "/Trazzo/Windows/Trazzo.ini");
    ScoreTable table;
    table.setScoreFile(defaultScoreFile());
    QCOMPARE(table.rankAndEnter(FiveMode, 70), 3);
    const PlayerFile saved = readPlayerFile(latin1 + "/Trazzo/Windows/Trazzo.ini", 999);
    QVERIFY(saved.bytes.endsWith("\r\n000000\r\n000000\r\n000000\r\n000070\r\n000000\r\n000000\r\n"));
    qunsetenv("XDG_DATA_HOME");
    for (const char *name : {"/Trazzo/Windows/Trazzo.ini", "/Trazzo/Windows/Trazzo.ini.lock"})
        QCOMPARE(::unlink(latin1 + name), 0);
    for (const char *name : {"/Trazzo/Windows", "/Trazzo", ""})
        QCOMPARE(::rmdir(latin1 + name), 0);
}

void TestScoreFile::savesWithNoDescriptorsLeft()
{
    // The process has used up its descriptors (a leak, a desktop that
    // hands out too many): the entry is saved all the same.
    QTemporaryDir d;
    ScoreTable table(d.filePath("Trazzo.ini"));
    table.HightScore_Load();
    rlimit before{};
    ::getrlimit(RLIMIT_NOFILE, &before);
    std::vector<int> taken;
    for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0 && taken.size() < 100000;)
        taken.push_back(fd);
    const rlimit none{rlim_t(taken.back() + 1), before.rlim_max};
    ::setrlimit(RLIMIT_NOFILE, &none);
    QCOMPARE(::open("/dev/null", O_RDONLY), -1);
    const int slot = table.rankAndEnter(RefreshMode, 80);
    table.nameNewestEntry("Fd");
    const bool saved = table.HightScore_Save();
    ::setrlimit(RLIMIT_NOFILE, &before);
    for (int fd : taken)
        ::close(fd);
    QCOMPARE(slot, 0);
    QVERIFY(saved);
    QCOMPARE(readPlayerFile(d.filePath("Trazzo.ini"), 999).bytes.split('\n').value(1), "000080Fd\r");
}

void TestScoreFile::mountedInItsPlace()
{
    // A sandbox shares one score file by mounting it over the file's place.
    // It cannot be renamed over, so it is written where it stands.
    QTemporaryDir d;
    const QString shared = d.filePath("shared.ini"), ini = d.filePath("Trazzo.ini");
    write(shared, fileOf(Good));
    write(ini, "");
    const QString separate = ::geteuid() == 0 ? "-m" : "-Urm";
    if (QProcess::execute("unshare", {separate, "true"}) != 0)
        QSKIP("no mount namespace can be made here (a build chroot, say)");
    QProcess copy;
    copy.start("unshare", {separate, "sh", "-c", "mount --bind \"$1\" \"$2\" && exec \"$3\" \"$2\"", "sh", shared, ini,
                           SCORE_COPY});
    QVERIFY2(copy.waitForReadyRead(30000) && copy.readLine() == "loaded\n", copy.readAllStandardError().constData());
    copy.write("1 600 Neo\n");
    QVERIFY(copy.waitForReadyRead(30000) && copy.readLine() == "saved\n");
    copy.closeWriteChannel();
    QVERIFY(copy.waitForFinished(30000) && copy.exitCode() == 0);
    QCOMPARE(readPlayerFile(shared, 999).bytes.split('\n').mid(1, 4),
             QByteArrayList({"000600Neo\r", "000500Ann\r", "000300Bob\r", "000900Dee\r"}));
    QCOMPARE(describe(d.path()), QStringList({"Trazzo.ini ", "shared.ini 000600Neo"}));
}

void TestScoreFile::waitsForAnotherCopysSave_data()
{
    QTest::addColumn<bool>("replaced");
    QTest::newRow("lock let go") << false;
    // An older copy removes its lock file when done; the lock on the file
    // no longer there keeps nobody out, and the one now there is held.
    QTest::newRow("lock file replaced, the new one held") << true;
}

void TestScoreFile::waitsForAnotherCopysSave()
{
    QFETCH(bool, replaced);
    QTemporaryDir d;
    const QByteArray lock = QFile::encodeName(d.filePath("Trazzo.ini.lock"));
    const int held = ::open(lock.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    QVERIFY(held >= 0 && ::flock(held, LOCK_EX) == 0);
    std::atomic<bool> saved{false};
    std::thread other([&] {
        // Once the save has the lock file open and waits, the other copy
        // ends its save.
        const auto opened = [&] {
            int n = 0;
            for (int fd = 0; fd < 1024; ++fd) {
                char target[4096];
                const ssize_t got = ::readlink(("/proc/self/fd/" + QByteArray::number(fd)).constData(), target, 4096);
                n += got > 0 && QByteArray(target, got) == lock;
            }
            return n >= 2;
        };
        QDeadlineTimer deadline(10000);
        while (!opened() && !deadline.hasExpired())
            std::this_thread::yield();
        int next = -1;
        if (replaced) {
            next = ::open((lock + ".new").constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
            ::flock(next, LOCK_EX);
            ::rename((lock + ".new").constData(), lock.constData());
        }
        ::close(held);
        while (replaced && !saved)
            std::this_thread::yield();
        ::close(next);
    });
    ScoreTable table(d.filePath("Trazzo.ini"));
    const int slot = table.rankAndEnter(RefreshMode, 600);
    saved = true;
    other.join();
    QCOMPARE(slot, 0);
    QCOMPARE(table.hasUnsaved(), replaced); // saved once the lock was let go, not while it is held
}

void TestScoreFile::saveOutlastsAPowerCut()
{
    // What the kernel is asked, as strace sees it: after each rename that
    // puts the new file in place, the folder holding it is synced before
    // the save is reported.
    QTemporaryDir d;
    const QString ini = d.path() + "/Trazzo.ini", log = d.path() + "/calls";
    QProcess copy;
    // LeakSanitizer cannot run under a tracer; the sanitised build's copy
    // leaves leak checks to the other tests.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
    copy.setProcessEnvironment(env);
    copy.start("strace",
               {"-f", "-qq", "-o", log, "-e", "trace=openat,rename,renameat,renameat2,fsync,write", SCORE_COPY, ini});
    QVERIFY2(copy.waitForStarted(5000), "strace is in tools/install-deps.sh test");
    copy.write("1 500 Ann\n");
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += copy.readAll()).contains("saved"), 10000);
    copy.closeWriteChannel();
    QVERIFY(copy.waitForFinished(10000) && copy.exitCode() == 0);
    QFile calls(log);
    QVERIFY(calls.open(QIODevice::ReadOnly));
    // The calls that matter, a word each: R the new file renamed into place,
    // O<n> the folder opened as descriptor n, F<n> n synced, S a save reported.
    const QRegularExpression call("(rename.*\"" + QRegularExpression::escape(ini) +
                                  "\"\\)\\s+= 0)|openat\\(AT_FDCWD, \"" + QRegularExpression::escape(d.path()) +
                                  "/?\", O_RDONLY\\|[^)]*O_DIRECTORY[^)]*\\)\\s+= (\\d+)|fsync\\((\\d+)\\)\\s+= "
                                  "0|write\\(1, \"(?:saved|failed)");
    QString words;
    for (const QRegularExpressionMatch &m : call.globalMatch(QString::fromUtf8(calls.readAll())))
        words += m.hasCaptured(1)   ? "R "
                 : m.hasCaptured(2) ? "O" + m.captured(2) + ' '
                 : m.hasCaptured(3) ? "F" + m.captured(3) + ' '
                                    : "S ";
    // Three saves: the entry's as it ranks, its name's, and the one at the
    // end; after each rename the folder is synced before a save is reported.
    QCOMPARE(words.count('R'), 3);
    QVERIFY2(!words.contains(QRegularExpression("R (?![^RS]*O(\\d+) [^RS]*F\\1 )")), qPrintable(words));
}

QTEST_GUILESS_MAIN(TestScoreFile)
#include "tst_score_file.moc"
