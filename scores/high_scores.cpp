// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "high_scores.h"

#include "game_state.h"
#include "player_file.h"
#include "texts.h"

#include <QDateTime>
#include <QFile>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QThread>
#include <QStringDecoder>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <dirent.h>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <pwd.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trazzo {

QString scoreField(std::int32_t score) { return (QStringLiteral("000000") + QString::number(score)).right(6); }

std::optional<std::int32_t> scoreFieldValue(const QString &firstSix)
{
    // Read by hand rather than by the C library, whose reading follows the
    // system's locale: "0012.6" must not be 13 on one desk and 12 on another.
    // Blanks anywhere are skipped; the number ends at the first character
    // that cannot continue it. The value is digits x 10^scale, exactly.
    bool negative = false, exponentNegative = false;
    std::int64_t digits = 0;
    int fractionDigits = 0, exponent = 0;
    enum class Part { Sign, Whole, Fraction, ExponentSign, Exponent } part = Part::Sign;
    for (QChar ch : firstSix) {
        const char16_t c = ch.unicode();
        if (c == u' ' || c == u'\t')
            continue;
        const bool digit = c >= u'0' && c <= u'9';
        if (part == Part::Sign && (c == u'+' || c == u'-')) {
            negative = c == u'-';
            part = Part::Whole;
        } else if (digit && (part == Part::Sign || part == Part::Whole || part == Part::Fraction)) {
            digits = digits * 10 + (c - u'0'); // six characters at most: no overflow
            fractionDigits += part == Part::Fraction;
            if (part == Part::Sign)
                part = Part::Whole;
        } else if (c == u'.' && (part == Part::Sign || part == Part::Whole)) {
            part = Part::Fraction;
        } else if ((c == u'e' || c == u'E' || c == u'd' || c == u'D') &&
                   (part == Part::Whole || part == Part::Fraction)) {
            part = Part::ExponentSign; // "12e" reads as 12
        } else if (part == Part::ExponentSign && (c == u'+' || c == u'-')) {
            exponentNegative = c == u'-';
            part = Part::Exponent;
        } else if (digit && (part == Part::ExponentSign || part == Part::Exponent)) {
            exponent = exponent * 10 + (c - u'0');
            part = Part::Exponent;
        } else {
            break;
        }
    }
    if (digits == 0)
        return 0;
    const int scale = (exponentNegative ? -exponent : exponent) - fractionDigits;
    const auto power = [](int n) {
        std::int64_t p = 1;
        while (n-- > 0)
            p *= 10;
        return p;
    };
    std::int64_t value = 0;
    if (scale > 9) {
        return std::nullopt; // at least 10^10: no score is that big
    } else if (scale >= 0) {
        value = digits * power(scale);
    } else if (scale >= -6) {
        // Rounded to the nearest whole number, halves to the even one.
        const std::int64_t unit = power(-scale), rest = digits % unit;
        value = digits / unit;
        if (2 * rest > unit || (2 * rest == unit && value % 2 != 0))
            ++value;
    } // else below 0.1: rounds to 0
    value = negative ? -value : value;
    if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

namespace {

// A line's text, or nothing when its bytes are neither UTF-8 nor Shift-JIS
// (the Japanese Windows program's files) or hold a control character.
std::optional<QString> decodeLine(const QByteArray &bytes)
{
    for (const char *encoding : {"UTF-8", "Shift_JIS"}) {
        // Stateless: a character cut off at the end of the line is an
        // error, not something kept for a next call that never comes.
        QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
        if (!decoder.isValid())
            continue;
        const QString text = decoder.decode(bytes);
        if (decoder.hasError())
            continue;
        // A name we stored never holds what cleanName blanks out.
        for (QChar ch : text)
            if (ch.category() == QChar::Other_Control || ch == QChar::LineSeparator || ch == QChar::ParagraphSeparator)
                return std::nullopt;
        return text;
    }
    return std::nullopt;
}

// Paths stay in the bytes the system gave us: a folder whose name is not
// valid UTF-8 must not turn into another folder on the way.
QByteArray folderOf(const QByteArray &file)
{
    const qsizetype slash = file.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : file.left(slash);
}

QByteArray baseOf(const QByteArray &file) { return file.mid(file.lastIndexOf('/') + 1); }

// Our own temporaries: a hidden name no player would choose.
QByteArray temporaryPrefix(const QByteArray &file) { return "." + baseOf(file) + ".trazzo-save-"; }

// What stands at the file's place, and what a save may do with it.
struct OnDisk {
    enum class State { Missing, Table, Foreign, Unreadable };
    State state = State::Missing;
    ScoreFileContent content;
    QByteArray target;     // the regular file a save replaces
    mode_t mode = 0644;    // a fresh file is like any other of the player's
    bool readOnly = false; // the player took the right to write away
};

OnDisk lookAt(const QByteArray &path)
{
    OnDisk disk;
    disk.target = path;
    struct stat link {};
    if (::lstat(path.constData(), &link) != 0) {
        disk.state = errno == ENOENT ? OnDisk::State::Missing : OnDisk::State::Unreadable;
        return disk;
    }
    const bool isLink = S_ISLNK(link.st_mode);
    if (S_ISDIR(link.st_mode)) {
        disk.state = OnDisk::State::Foreign; // moved aside whole
        return disk;
    }
    const PlayerFile file = readPlayerFile(path, MaxScoreFileBytes);
    // A link that goes round in a loop leads nowhere, as a dangling one.
    if (file.kind == PlayerFile::Kind::Failed && !(isLink && file.error == ELOOP)) {
        // A file there that cannot be read now (rights, too many open files,
        // an I/O error) may be readable later: it is kept as it is.
        disk.state = OnDisk::State::Unreadable;
        return disk;
    }
    if (file.kind != PlayerFile::Kind::Read) {
        disk.state = OnDisk::State::Foreign; // a pipe, a device, a dangling link
        return disk;
    }
    disk.content = readScoreFile(file.bytes, file.goesOn);
    if (isLink) {
        // A link is followed only to one of our own files (a synced folder,
        // say), never to some other file of the player's.
        char *real = ::realpath(path.constData(), nullptr);
        const QByteArray target = real ? QByteArray(real) : QByteArray();
        ::free(real);
        if (!disk.content.ours || target.isEmpty()) {
            disk.state = OnDisk::State::Foreign;
            disk.content = {};
            return disk;
        }
        disk.target = target;
    }
    struct stat st {};
    if (::stat(disk.target.constData(), &st) == 0) {
        disk.mode = st.st_mode & 07777;
        disk.readOnly = (st.st_mode & S_IWUSR) == 0;
    }
    disk.state = OnDisk::State::Table;
    return disk;
}

// The next free name beside `path` for a thing set aside.
QByteArray setAsideName(const QByteArray &path)
{
    QByteArray name = path + ".bad";
    struct stat st {};
    for (int n = 2; ::lstat(name.constData(), &st) == 0; ++n)
        name = path + ".bad." + QByteArray::number(n);
    return name;
}

// A temporary of ours is removed only while we hold the lock, and only
// when all we know of it says it is one: our name, our user, a single
// link, the size and start of a score file, and old enough that no save
// still writing it could be running.
void removeStaleTemporaries(const QByteArray &file)
{
    DIR *dir = ::opendir(folderOf(file).constData());
    if (!dir)
        return;
    const QByteArray prefix = temporaryPrefix(file), header = texts::ScoreFileHeader.toUtf8();
    const auto isOurTemporary = [&](const char *name) {
        const QByteArray n(name);
        if (!n.startsWith(prefix) || n.size() != prefix.size() + 6)
            return false;
        for (char c : n.mid(prefix.size()))
            if (!std::isalnum(static_cast<unsigned char>(c)))
                return false;
        struct stat st {};
        if (::fstatat(::dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid() || st.st_nlink != 1 || st.st_size > MaxScoreFileBytes ||
            st.st_mtime > ::time(nullptr) - 60)
            return false;
        const int fd = ::openat(::dirfd(dir), name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            return false;
        QByteArray start(header.size(), '\0');
        const bool ours =
            ::read(fd, start.data(), static_cast<size_t>(start.size())) == start.size() && start == header;
        ::close(fd);
        return ours;
    };
    while (const dirent *entry = ::readdir(dir))
        if (isOurTemporary(entry->d_name))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    ::closedir(dir);
}

bool writeAll(int fd, const QByteArray &data)
{
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, static_cast<size_t>(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// A rename is only an entry in the folder; until the folder is on disk too,
// a power cut can bring the old file back.
bool syncFolderOf(const QByteArray &file)
{
    const int fd = ::open(folderOf(file).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // A file system that cannot sync a folder (EINVAL) keeps its entries its own way.
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return synced;
}

enum class Replaced { No, NotDurable, Durable };

// A score file mounted over its place (a sandbox's shared file) cannot be
// renamed over; our own table there is written in place instead.
Replaced rewriteInPlace(const QByteArray &target, const QByteArray &data)
{
    const int fd = ::open(target.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return Replaced::No;
    struct stat st {};
    const bool written = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && writeAll(fd, data) &&
                         ::ftruncate(fd, data.size()) == 0 && ::fsync(fd) == 0;
    return ::close(fd) == 0 && written ? Replaced::Durable : Replaced::No;
}

// Writes `data` as a new file in `disk.target`'s place. The old content
// stays whole until the new one is on disk; what is set aside keeps its
// bytes under "<name>.bad".
Replaced replaceFile(const QByteArray &path, const OnDisk &disk, const QByteArray &data)
{
    QByteArray temp = folderOf(disk.target) + '/' + temporaryPrefix(disk.target) + "XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return Replaced::No;
    const bool written = ::fchmod(fd, disk.mode) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written) {
        ::unlink(temp.constData());
        return Replaced::No;
    }
    // A foreign thing at the file's place (a link, a pipe, a device, a
    // folder) is moved aside, itself and not what it points to; a damaged
    // file of ours is kept as it was.
    const bool setAside =
        disk.state == OnDisk::State::Foreign || (disk.state == OnDisk::State::Table && disk.content.damaged);
    const QByteArray old = disk.state == OnDisk::State::Foreign ? path : disk.target;
    const QByteArray aside = setAside ? setAsideName(old) : QByteArray();
    // A second name for the old entry, so the rename below only takes the
    // first one. A folder cannot have one, nor can another user's file
    // (the kernel's protected hard links): those are moved aside first.
    bool moved = false;
    if (setAside && ::linkat(AT_FDCWD, old.constData(), AT_FDCWD, aside.constData(), 0) != 0) {
        if (::renameat2(AT_FDCWD, old.constData(), AT_FDCWD, aside.constData(), RENAME_NOREPLACE) != 0) {
            ::unlink(temp.constData());
            return Replaced::No;
        }
        moved = true;
    }
    if (::rename(temp.constData(), disk.target.constData()) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        if (moved)
            ::rename(aside.constData(), old.constData());
        else if (setAside)
            ::unlink(aside.constData());
        if ((error == EBUSY || error == EXDEV) && disk.state == OnDisk::State::Table && !disk.content.damaged)
            return rewriteInPlace(disk.target, data);
        return Replaced::No;
    }
    return syncFolderOf(disk.target) ? Replaced::Durable : Replaced::NotDurable;
}

// The lock that lets one copy of the game at a time change the file. It
// is a lock of the kernel's, let go when its holder ends however it ends,
// so nothing is ever stale. It is taken on "<file>.lock" when that is a
// plain file we can open; whatever else a player leaves there (a pipe, a
// folder, another user's file) is not opened, and the folder is locked
// instead.
class ScoreLock {
public:
    enum class Result { Held, Busy, Unavailable };
    ScoreLock() = default;
    ScoreLock(const ScoreLock &) = delete;
    ScoreLock &operator=(const ScoreLock &) = delete;
    ~ScoreLock() { release(); }

    Result take(const QByteArray &file, int waitMs)
    {
        QElapsedTimer waited;
        waited.start();
        const QByteArray lockPath = file + ".lock";
        for (;;) {
            bool onFolder = false;
            m_fd = openLockFile(lockPath);
            if (m_fd < 0) {
                m_fd = ::open(folderOf(file).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                onFolder = true;
            }
            if (m_fd < 0)
                return Result::Unavailable;
            int error = 0;
            while ((error = ::flock(m_fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno) == EWOULDBLOCK || error == EINTR) {
                if (waited.elapsed() >= waitMs) {
                    release();
                    return Result::Busy;
                }
                QThread::msleep(10);
            }
            if (error != 0) {
                // This file system has no such locks (a folder on NFS, say).
                release();
                return Result::Unavailable;
            }
            // An old copy of the game removes the lock file when it is done;
            // a lock on a file no longer there keeps nobody out.
            struct stat held {
            }, now{};
            if (onFolder || (::fstat(m_fd, &held) == 0 && ::lstat(lockPath.constData(), &now) == 0 &&
                             held.st_dev == now.st_dev && held.st_ino == now.st_ino))
                return Result::Held;
            release();
        }
    }

private:
    static int openLockFile(const QByteArray &lockPath)
    {
        struct stat st {};
        if (::lstat(lockPath.constData(), &st) == 0 && !S_ISREG(st.st_mode))
            return -1;
        const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
        int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | flags, 0644);
        if (fd < 0 && errno == EACCES) // another user's, readable: it can still be locked
            fd = ::open(lockPath.constData(), O_RDONLY | flags);
        if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    void release()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    int m_fd = -1;
};

// Descriptors kept in reserve, so that a save still works in a process
// that has run out of them: the scores matter more than what took them.
class SpareDescriptors {
public:
    static SpareDescriptors &get()
    {
        static SpareDescriptors spares;
        return spares;
    }
    void release()
    {
        for (int &fd : m_fds)
            if (fd >= 0)
                ::close(std::exchange(fd, -1));
    }
    void refill()
    {
        for (int &fd : m_fds)
            if (fd < 0)
                fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    }

private:
    SpareDescriptors() { refill(); }
    std::array<int, 4> m_fds{-1, -1, -1, -1};
};

// The file whose lock a save takes. Copies that reach one score file by a
// link and by its own name must share a lock: the one beside the file.
QByteArray lockedAs(const QByteArray &file)
{
    struct stat st {};
    if (::lstat(file.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return file;
    const OnDisk disk = lookAt(file);
    return disk.state == OnDisk::State::Table ? disk.target : file;
}

// Makes the folder and those above it, as `mkdir -p` does.
bool makeFolders(const QByteArray &folder)
{
    struct stat st {};
    if (::stat(folder.constData(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const QByteArray parent = folderOf(folder);
    if (parent != folder && !makeFolders(parent))
        return false;
    return ::mkdir(folder.constData(), 0755) == 0 || errno == EEXIST;
}

} // namespace

int firstSlotOf(std::int32_t gameMode)
{
    if (gameMode == RefreshMode)
        return 0;
    if (gameMode == FiveMode)
        return 3;
    return -1;
}

int rankSlot(const HighScores &table, std::int32_t gameMode, std::int32_t score)
{
    const int b = firstSlotOf(gameMode);
    if (b < 0)
        return -1;
    for (int slot = b; slot < b + 3; ++slot)
        if (table[static_cast<std::size_t>(slot)].Score < score)
            return slot;
    return -1;
}

void insertEntry(HighScores &table, int slot, const ScoreEntry &entry)
{
    const int last = slot < 3 ? 2 : 5;
    for (int s = last; s > slot; --s)
        table[static_cast<std::size_t>(s)] = table[static_cast<std::size_t>(s - 1)];
    table[static_cast<std::size_t>(slot)] = entry;
}

ScoreFileContent readScoreFile(QByteArray bytes, bool goesOn)
{
    ScoreFileContent content;
    if (goesOn) {
        // Keep whole lines only, so the cut does not split a character.
        bytes.truncate(bytes.lastIndexOf('\n') + 1);
        content.damaged = true;
    }
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        // A carriage return left inside a line means line ends we do not
        // split at (CR alone): the entries are in there, unread.
        if (line.contains('\r'))
            content.damaged = true;
    }
    content.ours = bytes.startsWith("Trazzo");
    // Something else in our file's place is kept, set aside.
    content.damaged = content.damaged || (!content.ours && !bytes.isEmpty());
    // Line 1 is the header, whatever it says.
    for (std::size_t k = 0; k < content.table.size(); ++k) {
        const qsizetype i = static_cast<qsizetype>(k) + 1;
        if (i >= lines.size())
            break;
        const std::optional<QString> line = decodeLine(lines[i]);
        // The field is six characters as the file has them: a character
        // beyond the Basic Multilingual Plane is not cut in two.
        qsizetype cut = 0;
        for (int n = 0; line && n < 6 && cut < line->size(); ++n)
            cut +=
                line->at(cut).isHighSurrogate() && cut + 1 < line->size() && line->at(cut + 1).isLowSurrogate() ? 2 : 1;
        const std::optional<std::int32_t> score = line ? scoreFieldValue(line->left(cut)) : std::nullopt;
        if (!score || *score < 0) {
            content.damaged = true; // this entry only; the others are kept
            continue;
        }
        content.table[k] = {*score, line->mid(cut)};
    }
    for (qsizetype i = 7; i < lines.size(); ++i)
        if (!lines[i].isEmpty())
            content.damaged = true;
    return content;
}

QByteArray formatScoreFile(const HighScores &table, const QString &savedAt)
{
    QString text = texts::ScoreFileHeader + savedAt + QStringLiteral("\r\n");
    for (const ScoreEntry &e : table)
        text += scoreField(std::max(e.Score, 0)) + e.Name + QStringLiteral("\r\n");
    return text.toUtf8();
}

QByteArray defaultScoreFile()
{
    // Only absolute folders count; a relative XDG_DATA_HOME is ignored, as
    // the XDG rules say, and so is a HOME that is unset or relative.
    const auto absolute = [](const QByteArray &dir) { return dir.startsWith('/') ? dir : QByteArray(); };
    QByteArray data = absolute(qgetenv("XDG_DATA_HOME"));
    if (data.isEmpty()) {
        QByteArray home = absolute(qgetenv("HOME"));
        if (home.isEmpty())
            if (const passwd *pw = ::getpwuid(::getuid()))
                home = absolute(QByteArray(pw->pw_dir));
        if (home.isEmpty())
            return {};
        data = home + "/.local/share";
    }
    // Tidied by hand, byte by byte: "a//b/./c" is "/a/b/c". A ".." is left
    // to the system: after a link it does not lead where the text says.
    QByteArrayList parts;
    for (const QByteArray &part : (data + "/Trazzo/Windows/Trazzo.ini").split('/'))
        if (!part.isEmpty() && part != ".")
            parts << part;
    return '/' + parts.join('/');
}

namespace {

// Where the text's first `count` characters end, counting what the player
// sees as one: a letter with its accents, an emoji of two UTF-16 units.
qsizetype endOfCharacters(const QString &text, int count)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0, bytes = 0;
    for (int n = 0; n < count; ++n) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0)
            break;
        // A letter may carry any number of accents; six names of at most
        // this size keep the file within what is read back.
        bytes += QStringView(text).mid(end, next - end).toUtf8().size();
        if (bytes > MaxNameBytes)
            break;
        end = next;
    }
    return end;
}

} // namespace

QString cutName(const QString &name) { return name.left(endOfCharacters(name, MaxNameLength)); }

QString cleanName(const QString &name)
{
    QString clean = name;
    for (QChar &ch : clean)
        if (ch.category() == QChar::Other_Control || ch == QChar::LineSeparator || ch == QChar::ParagraphSeparator)
            ch = QLatin1Char(' ');
    return cutName(clean);
}

ScoreTable::ScoreTable(const QString &scoreFilePath) : m_file(QFile::encodeName(scoreFilePath))
{
    SpareDescriptors::get();
}

QString ScoreTable::ScoreFilePath() const { return QFile::decodeName(m_file); }

void ScoreTable::setScoreFile(const QByteArray &nativePath)
{
    SpareDescriptors::get();
    m_file = nativePath;
}

void ScoreTable::HightScore_Load()
{
    HighScores = {};
    m_unsaved.clear();
    m_renames.clear();
    m_newest.reset();
    if (m_file.isEmpty())
        return;
    struct stat st {};
    // Nobody waits for another copy here: its leftovers go at the next save.
    ScoreLock lock;
    if (::stat(folderOf(m_file).constData(), &st) == 0 && lock.take(lockedAs(m_file), 0) == ScoreLock::Result::Held)
        removeStaleTemporaries(m_file);
    const OnDisk disk = lookAt(m_file);
    if (disk.state == OnDisk::State::Table)
        HighScores = disk.content.table;
}

namespace {

// Our entry among equal ones (another copy's player who also gave no name
// yet, say): an equal score stays below those already there, so it is the
// lowest of them.
ScoreEntry *lowestEqual(HighScores &table, std::int32_t gameMode, const ScoreEntry &entry)
{
    const int b = firstSlotOf(gameMode);
    for (int slot = b + 2; slot >= b; --slot)
        if (table[static_cast<std::size_t>(slot)] == entry)
            return &table[static_cast<std::size_t>(slot)];
    return nullptr;
}

} // namespace

trazzo::HighScores ScoreTable::mergedInto(trazzo::HighScores merged) const
{
    for (const Rename &r : m_renames)
        if (ScoreEntry *ours = lowestEqual(merged, r.mode, r.entry))
            ours->Name = r.name;
    for (const auto &[mode, entry] : m_unsaved)
        if (const int slot = rankSlot(merged, mode, entry.Score); slot >= 0)
            insertEntry(merged, slot, entry);
    return merged;
}

ScoreTable::Stored ScoreTable::store(std::int32_t gameMode, std::int32_t score, int *slot, int lockWaitMs)
{
    SpareDescriptors &spares = SpareDescriptors::get();
    spares.release();
    const auto refill = qScopeGuard([&spares] { spares.refill(); });
    // With no file to look at, the table in memory is all there is.
    const bool folder = !m_file.isEmpty() && makeFolders(folderOf(m_file));
    // Another copy holds the lock only for its own save. Where the file
    // system has no locks at all, the save goes on without: the rename
    // still keeps the file whole.
    ScoreLock lock;
    const ScoreLock::Result locked = folder ? lock.take(lockedAs(m_file), lockWaitMs) : ScoreLock::Result::Unavailable;
    const OnDisk disk = m_file.isEmpty() ? OnDisk{} : lookAt(m_file);
    if (locked == ScoreLock::Result::Held)
        removeStaleTemporaries(disk.target); // where a save writes them: beside the file a link leads to
    // With a table on disk, this run's new entries are ranked into it, so
    // whatever other copies saved meanwhile stays. Without one, the table
    // shown (which holds them already) is the best there is.
    const trazzo::HighScores merged = disk.state == OnDisk::State::Table ? mergedInto(disk.content.table) : HighScores;
    HighScores = merged;
    if (slot) {
        *slot = rankSlot(HighScores, gameMode, score);
        if (*slot < 0)
            return Stored::Nothing;
        const ScoreEntry entry{score, QString()};
        insertEntry(HighScores, *slot, entry);
        m_unsaved.emplace_back(gameMode, entry);
        m_newest = {gameMode, entry};
        m_newestOnDisk = false;
    }
    if (!folder || locked == ScoreLock::Result::Busy || disk.state == OnDisk::State::Unreadable || disk.readOnly)
        return Stored::No;
    const QByteArray data =
        formatScoreFile(HighScores, QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
    const Replaced replaced = replaceFile(m_file, disk, data);
    if (replaced == Replaced::No)
        return Stored::No;
    // The new file is in place and is read back by the next save, so the
    // entries are not kept twice; but one a power cut may still take is not
    // reported as saved.
    m_unsaved.clear();
    m_renames.clear();
    m_newestOnDisk = true;
    return replaced == Replaced::Durable ? Stored::Yes : Stored::NotDurable;
}

int ScoreTable::rankAndEnter(std::int32_t gameMode, std::int32_t score)
{
    int slot = -1;
    if (firstSlotOf(gameMode) >= 0)
        store(gameMode, score, &slot, SaveLockWaitMs);
    return slot;
}

void ScoreTable::nameNewestEntry(const QString &name)
{
    if (!m_newest)
        return;
    auto &[mode, entry] = *m_newest;
    if (ScoreEntry *shown = lowestEqual(HighScores, mode, entry))
        shown->Name = name;
    if (m_newestOnDisk) {
        m_renames.push_back({mode, entry, name});
    } else {
        for (auto it = m_unsaved.rbegin(); it != m_unsaved.rend(); ++it)
            if (it->first == mode && it->second == entry) {
                it->second.Name = name;
                break;
            }
    }
    entry.Name = name;
}

bool ScoreTable::HightScore_Save(int lockWaitMs) { return store(NoGame, 0, nullptr, lockWaitMs) == Stored::Yes; }

} // namespace trazzo
