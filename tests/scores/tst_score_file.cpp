// The score file: its format, what survives a round trip, bad files, and
// saves that must never lose the old scores.

#include "high_scores.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace trazzo;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

HighScores sample()
{
    HighScores t;
    t[0] = {850, QStringLiteral("Taro")};
    t[1] = {0, QString()};
    t[2] = {12, QStringLiteral("  Ken")};
    t[3] = {1234567, QStringLiteral("007 agent")};
    t[4] = {99, QStringLiteral("花子")};
    t[5] = {5, QStringLiteral("x")};
    return t;
}

} // namespace

Q_DECLARE_METATYPE(trazzo::HighScores)

class TestScoreFile : public QObject {
    Q_OBJECT
private slots:
    void init();

    void fieldHasSixDigits_data();
    void fieldHasSixDigits();
    void fieldReadsLikeANumber_data();
    void fieldReadsLikeANumber();
    void savedFileHasTheFormat();
    void roundTripKeepsNamesAsTyped();
    void readsWhatOthersWrote_data();
    void readsWhatOthersWrote();
    void badFilesGiveDefaults_data();
    void badFilesGiveDefaults();
    void unreadableFileIsSetAsideBeforeTheSave();
    void saveCreatesTheFolder();
    void saveIntoAFolderItCannotWriteKeepsTheOldFile();
    void folderInPlaceOfTheFileIsLeftAlone();
    void writeCutShortKeepsTheOldFile();
    void fullDiskKeepsTheOldFile();
    void namesAreCleanedForTheFile_data();
    void namesAreCleanedForTheFile();
    void defaultPathFollowsXdgDataHome();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path() const { return m_dir->filePath(QStringLiteral("Windows/Trazzo.ini")); }
};

void TestScoreFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("Windows")));
}

void TestScoreFile::fieldHasSixDigits_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<QString>("field");
    QTest::newRow("zero") << 0 << "000000";
    QTest::newRow("850") << 850 << "000850";
    QTest::newRow("six digits") << 999999 << "999999";
    QTest::newRow("a million and more keeps the last six") << 1234567 << "234567";
}

void TestScoreFile::fieldHasSixDigits()
{
    QFETCH(int, score);
    QFETCH(QString, field);
    QCOMPARE(scoreField(score), field);
}

void TestScoreFile::fieldReadsLikeANumber_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("value");
    QTest::newRow("digits") << "001234" << 1234;
    QTest::newRow("blanks are skipped") << " 1 2 3" << 123;
    QTest::newRow("stops at a letter") << "12ab34" << 12;
    QTest::newRow("no number") << "Taro  " << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("half rounds to even, down") << "0002.5" << 2;
    QTest::newRow("half rounds to even, up") << "0003.5" << 4;
    QTest::newRow("fraction") << "12.7xx" << 13;
    QTest::newRow("sign") << "-00050" << -50;
    QTest::newRow("exponent") << "12e3  " << 12000;
    QTest::newRow("lone exponent mark") << "12e   " << 12;
    QTest::newRow("too big for a score") << "9e9999" << 0;
}

void TestScoreFile::fieldReadsLikeANumber()
{
    QFETCH(QString, field);
    QFETCH(int, value);
    QCOMPARE(scoreFieldValue(field), value);
}

void TestScoreFile::savedFileHasTheFormat()
{
    ScoreTable t(path());
    t.HighScores = sample();
    QVERIFY(t.HightScore_Save());
    const QByteArray bytes = readAll(path());
    const QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.size(), 8); // seven lines, each ended
    QVERIFY(lines.last().isEmpty());
    for (int i = 0; i < 7; ++i)
        QVERIFY(lines[i].endsWith('\r'));
    const QString header = QString::fromUtf8(lines[0].chopped(1));
    QVERIFY(QRegularExpression(QStringLiteral("^Trazzo スコアファイル \\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                .match(header)
                .hasMatch());
    QCOMPARE(lines[1], QByteArray("000850Taro\r"));
    QCOMPARE(lines[2], QByteArray("000000\r"));
    QCOMPARE(lines[5], QByteArray("000099") + QStringLiteral("花子").toUtf8() + '\r');
}

void TestScoreFile::roundTripKeepsNamesAsTyped()
{
    ScoreTable out(path());
    out.HighScores = sample();
    QVERIFY(out.HightScore_Save());
    ScoreTable in(path());
    in.HightScore_Load();
    HighScores expected = sample();
    expected[3].Score = 234567;
    QCOMPARE(in.HighScores, expected);
    QVERIFY(!in.setAsidePending());
}

void TestScoreFile::readsWhatOthersWrote_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("score0");
    QTest::addColumn<QString>("name0");
    QTest::addColumn<QString>("name3");
    const QString hanako = QStringLiteral("花子");
    QStringEncoder sjis("Shift_JIS");
    QVERIFY(sjis.isValid());
    const QByteArray header = sjis.encode(QStringLiteral("Trazzo スコアファイル 2002/05/12 14:03:27"));
    QByteArray old = header + "\r\n000850" + QByteArray(sjis.encode(QStringLiteral("太郎"))) +
                     "\r\n000300Ken\r\n000100\r\n000777" + QByteArray(sjis.encode(hanako)) + "\r\n000000\r\n000000\r\n";
    QTest::newRow("Shift-JIS from the old program") << old << 850 << QStringLiteral("太郎") << hanako;
    QTest::newRow("LF only") << QByteArray("h\n000042Ann\n0\n0\n000001Bob\n") << 42 << "Ann"
                             << "Bob";
    QTest::newRow("UTF-8 with a BOM") << QByteArray("\xEF\xBB\xBFh\r\n000042Ann\r\n\r\n\r\n000001Bob\r\n") << 42
                                      << "Ann"
                                      << "Bob";
    QTest::newRow("the header may say anything")
        << QByteArray("000999not a score\r\n000042Ann\r\n\r\n\r\n000001Bob") << 42 << "Ann"
        << "Bob";
}

void TestScoreFile::readsWhatOthersWrote()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, score0);
    QFETCH(QString, name0);
    QFETCH(QString, name3);
    QVERIFY(writeAll(path(), bytes));
    ScoreTable t(path());
    t.HightScore_Load();
    QCOMPARE(t.HighScores[0].Score, score0);
    QCOMPARE(t.HighScores[0].Name, name0);
    QCOMPARE(t.HighScores[3].Name, name3);
    QVERIFY(!t.setAsidePending());
}

void TestScoreFile::badFilesGiveDefaults_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("score0");
    QTest::addColumn<bool>("setAside");
    QTest::newRow("empty file") << QByteArray() << 0 << false;
    QTest::newRow("only the header") << QByteArray("Trazzo\r\n") << 0 << false;
    QTest::newRow("fewer than seven lines") << QByteArray("h\r\n000042Ann\r\n") << 42 << false;
    QTest::newRow("letters in the score") << QByteArray("h\r\nabcdefAnn\r\n") << 0 << false;
    QTest::newRow("binary") << QByteArray("\x00\x01\x02\xff\xfe\x00\x10", 7) << 0 << true;
    QTest::newRow("neither UTF-8 nor Shift-JIS") << QByteArray("h\r\n000042\xff\xff\xff\r\n") << 0 << true;
    QTest::newRow("one endless line") << QByteArray(3 * 1024 * 1024, 'x') << 0 << true;
    QByteArray huge = "h\r\n000042Ann\r\n";
    huge += QByteArray(5 * 1024 * 1024, '\n');
    QTest::newRow("huge file, good start") << huge << 42 << true;
}

void TestScoreFile::badFilesGiveDefaults()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, score0);
    QFETCH(bool, setAside);
    QVERIFY(writeAll(path(), bytes));
    ScoreTable t(path());
    t.HighScores[5] = {1, QStringLiteral("stale")};
    t.HightScore_Load();
    QCOMPARE(t.HighScores[0].Score, score0);
    QCOMPARE(t.HighScores[5], ScoreEntry{});
    QCOMPARE(t.setAsidePending(), setAside);
}

void TestScoreFile::unreadableFileIsSetAsideBeforeTheSave()
{
    const QByteArray junk("\x00\x01 not a score file \xff", 22);
    QVERIFY(writeAll(path(), junk));
    QVERIFY(writeAll(path() + ".bad", "an earlier one"));
    ScoreTable t(path());
    t.HightScore_Load();
    t.HighScores[0] = {10, QStringLiteral("Ann")};
    QVERIFY(t.HightScore_Save());
    QCOMPARE(readAll(path() + ".bad"), QByteArray("an earlier one"));
    QCOMPARE(readAll(path() + ".bad.2"), junk);
    QVERIFY(readAll(path()).contains("000010Ann"));
    // Only once: the next save just replaces our own file.
    QVERIFY(t.HightScore_Save());
    QVERIFY(!QFile::exists(path() + ".bad.3"));
}

void TestScoreFile::saveCreatesTheFolder()
{
    QVERIFY(QDir(m_dir->filePath("Windows")).removeRecursively());
    ScoreTable t(path());
    t.HighScores = sample();
    QVERIFY(t.HightScore_Save());
    QVERIFY(readAll(path()).contains("000850Taro"));
}

void TestScoreFile::saveIntoAFolderItCannotWriteKeepsTheOldFile()
{
    ScoreTable t(path());
    t.HighScores = sample();
    QVERIFY(t.HightScore_Save());
    const QByteArray before = readAll(path());
    const QString folder = m_dir->filePath("Windows");
    t.HighScores[0] = {1, QStringLiteral("new")};

    // Permissions do not bind root, so as root the save runs in a child
    // that has become an ordinary user owning the folder.
    const bool asRoot = geteuid() == 0;
    const uid_t nobody = 65534;
    if (asRoot) {
        QVERIFY(::chown(qPrintable(m_dir->path()), nobody, nobody) == 0);
        QVERIFY(::chown(qPrintable(folder), nobody, nobody) == 0);
        QVERIFY(::chown(qPrintable(path()), nobody, nobody) == 0);
    }
    const pid_t child = asRoot ? fork() : 0;
    if (child == 0) {
        if (asRoot && (setgid(nobody) != 0 || setuid(nobody) != 0))
            _exit(3);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        const bool saved = t.HightScore_Save();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (asRoot)
            _exit(saved ? 1 : 0);
        QVERIFY(!saved);
    } else {
        int status = -1;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }
    QCOMPARE(readAll(path()), before);
}

void TestScoreFile::writeCutShortKeepsTheOldFile()
{
    // A full disk, played by a file-size limit in a child process: the
    // write stops part way, and the save must say so and keep the old file.
    ScoreTable t(path());
    t.HighScores = sample();
    QVERIFY(t.HightScore_Save());
    const QByteArray before = readAll(path());
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        for (ScoreEntry &e : t.HighScores)
            e.Name = QString(30, QLatin1Char('n'));
        _exit(t.HightScore_Save() ? 1 : 0);
    }
    int status = -1;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(readAll(path()), before);
    // No half-written temporary file is left beside it.
    QCOMPARE(QDir(m_dir->filePath("Windows")).entryList(QDir::Files), QStringList{"Trazzo.ini"});
}

void TestScoreFile::fullDiskKeepsTheOldFile()
{
    // A real full disk: a tiny tmpfs over the score folder, in a mount
    // namespace of a child's own so nothing outlives the test.
    ScoreTable t(path());
    t.HighScores = sample();
    const QString folder = m_dir->filePath("Windows");
    enum : int { Kept = 0, Skip = 77 };
    const pid_t child = fork();
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", qPrintable(folder), "tmpfs", 0, "size=16k") != 0)
            _exit(Skip);
        if (!t.HightScore_Save())
            _exit(10);
        const QByteArray before = readAll(path());
        // Fill what is left, then try to save a changed table.
        QFile filler(folder + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly))
            _exit(11);
        const QByteArray block(1024, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
        t.HighScores[0] = {424242, QStringLiteral("new")};
        if (t.HightScore_Save())
            _exit(12); // claimed a save that cannot have happened
        if (readAll(path()) != before)
            _exit(13);
        QStringList left = QDir(folder).entryList(QDir::Files);
        left.sort();
        if (left != QStringList{"Trazzo.ini", "filler"})
            _exit(14); // a temporary file left behind
        _exit(Kept);
    }
    int status = -1;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    if (WEXITSTATUS(status) == Skip)
        QSKIP("cannot mount a small tmpfs here (needs CAP_SYS_ADMIN); the file-size limit test stands in");
    QCOMPARE(WEXITSTATUS(status), int(Kept));
}

void TestScoreFile::folderInPlaceOfTheFileIsLeftAlone()
{
    QVERIFY(QDir().mkpath(path()));
    ScoreTable t(path());
    t.HightScore_Load();
    QCOMPARE(t.HighScores, HighScores{});
    QVERIFY(!t.HightScore_Save());
    QVERIFY(QFileInfo(path()).isDir());
}

void TestScoreFile::namesAreCleanedForTheFile_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("plain") << "Taro"
                           << "Taro";
    QTest::newRow("leading blanks and digits stay") << "  42 Ken"
                                                    << "  42 Ken";
    QTest::newRow("line breaks") << "a\r\nb"
                                 << "a  b";
    QTest::newRow("tab and NUL") << QString("a\tb") + QChar(0) << "a b ";
    QTest::newRow("unicode line separator") << QString("a") + QChar(0x2028) + "b"
                                            << "a b";
    QTest::newRow("cut to the maximum") << QString(40, 'n') << QString(MaxNameLength, 'n');
    QString emoji = QString(MaxNameLength - 1, 'e') + QString::fromUtf8("😀");
    QTest::newRow("never half a character") << emoji << QString(MaxNameLength - 1, 'e');
}

void TestScoreFile::namesAreCleanedForTheFile()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(cleanName(typed), stored);
}

void TestScoreFile::defaultPathFollowsXdgDataHome()
{
    qputenv("XDG_DATA_HOME", m_dir->path().toUtf8());
    QCoreApplication::setApplicationName(QStringLiteral("Trazzo"));
    QCOMPARE(defaultScoreFilePath(), m_dir->path() + QStringLiteral("/Trazzo/Windows/Trazzo.ini"));
}

QTEST_GUILESS_MAIN(TestScoreFile)
#include "tst_score_file.moc"
