// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "high_scores.h"

#include "game_state.h"
#include "player_file.h"
#include "texts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <pwd.h>
#include <string>
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

QByteArray localName(const QString &path) { return QFile::encodeName(path); }

// What stands at the file's place, and what a save may do with it.
struct OnDisk {
    enum class State { Missing, Table, Foreign, Unreadable };
    State state = State::Missing;
    ScoreFileContent content;
    QString target;     // the regular file a save replaces
    mode_t mode = 0644; // a fresh file is like any other of the player's
};

OnDisk lookAt(const QString &path)
{
    OnDisk disk;
    disk.target = path;
    struct stat link {};
    if (::lstat(localName(path).constData(), &link) != 0) {
        disk.state = errno == ENOENT ? OnDisk::State::Missing : OnDisk::State::Unreadable;
        return disk;
    }
    const bool isLink = S_ISLNK(link.st_mode);
    if (S_ISDIR(link.st_mode)) {
        disk.state = OnDisk::State::Unreadable; // nothing we may move out of the way
        return disk;
    }
    const PlayerFile file = readPlayerFile(path, MaxScoreFileBytes);
    if (file.kind == PlayerFile::Kind::Failed && !(isLink && file.error == ENOENT)) {
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
        const QString target = QFileInfo(path).canonicalFilePath();
        if (!disk.content.ours || target.isEmpty()) {
            disk.state = OnDisk::State::Foreign;
            disk.content = {};
            return disk;
        }
        disk.target = target;
    }
    struct stat st {};
    if (::stat(localName(disk.target).constData(), &st) == 0)
        disk.mode = st.st_mode & 07777;
    disk.state = OnDisk::State::Table;
    return disk;
}

// The next free name beside `path` for a file set aside.
QString setAsideName(const QString &path)
{
    QString name = path + QStringLiteral(".bad");
    struct stat st {};
    for (int n = 2; ::lstat(localName(name).constData(), &st) == 0 && n < 100; ++n)
        name = path + QStringLiteral(".bad.") + QString::number(n);
    return ::lstat(localName(name).constData(), &st) == 0 ? QString() : name;
}

// Our temporaries are "<file>.XXXXXX"; one still there while we hold the
// lock belongs to a save that was cut off.
void removeStaleTemporaries(const QString &path)
{
    const QFileInfo info(path);
    const QRegularExpression ours(QRegularExpression::escape(info.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6}"));
    const QDir dir = info.dir();
    for (const QString &name : dir.entryList({info.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden))
        if (ours.match(name).capturedLength() == name.size())
            QFile::remove(dir.filePath(name));
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
    const qsizetype slash = file.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : file.left(slash);
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // A file system that cannot sync a folder (EINVAL) keeps its entries its own way.
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return synced;
}

enum class Replaced { No, NotDurable, Durable };

// Writes `data` as a new file in `disk.target`'s place. The old content
// stays whole until the new one is on disk; what is set aside keeps its
// bytes under "<name>.bad".
Replaced replaceFile(const QString &path, const OnDisk &disk, const QByteArray &data)
{
    QByteArray temp = localName(disk.target) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return Replaced::No;
    const bool written = ::fchmod(fd, disk.mode) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written) {
        ::unlink(temp.constData());
        return Replaced::No;
    }
    // A foreign thing at the file's place (a link, a pipe, a device) is
    // moved aside, itself and not what it points to; a damaged file of ours
    // is kept as it was.
    const bool setAside =
        disk.state == OnDisk::State::Foreign || (disk.state == OnDisk::State::Table && disk.content.damaged);
    const QString old = disk.state == OnDisk::State::Foreign ? path : disk.target;
    QByteArray aside;
    if (setAside) {
        aside = localName(setAsideName(old));
        // A second name for the old entry; the rename below then only
        // takes the first one.
        if (aside.isEmpty() || ::linkat(AT_FDCWD, localName(old).constData(), AT_FDCWD, aside.constData(), 0) != 0) {
            ::unlink(temp.constData());
            return Replaced::No;
        }
    }
    if (::rename(temp.constData(), localName(disk.target).constData()) != 0) {
        ::unlink(temp.constData());
        if (setAside)
            ::unlink(aside.constData());
        return Replaced::No;
    }
    return syncFolderOf(localName(disk.target)) ? Replaced::Durable : Replaced::NotDurable;
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

QString defaultScoreFilePath()
{
    // Only absolute folders count; a relative XDG_DATA_HOME is ignored, as
    // the XDG rules say, and so is a HOME that is unset or relative.
    const auto absolute = [](const QByteArray &dir) {
        return dir.startsWith('/') ? QFile::decodeName(dir) : QString();
    };
    QString data = absolute(qgetenv("XDG_DATA_HOME"));
    if (data.isEmpty()) {
        QString home = absolute(qgetenv("HOME"));
        if (home.isEmpty())
            if (const passwd *pw = ::getpwuid(::getuid()))
                home = absolute(QByteArray(pw->pw_dir));
        if (home.isEmpty())
            return {};
        data = home + QStringLiteral("/.local/share");
    }
    return QDir::cleanPath(data + QStringLiteral("/Trazzo/Windows/Trazzo.ini"));
}

namespace {

// Where the text's first `count` characters end, counting what the player
// sees as one: a letter with its accents, an emoji of two UTF-16 units.
qsizetype endOfCharacters(const QString &text, int count)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (int n = 0; n < count; ++n) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0)
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

namespace {

// Other copies of the game hold it only for a save; one left by a copy
// that died is taken over after a while.
bool lock(QLockFile &lockFile)
{
    lockFile.setStaleLockTime(10'000);
    return lockFile.tryLock(5'000);
}

} // namespace

void ScoreTable::HightScore_Load()
{
    HighScores = {};
    m_unsaved.clear();
    if (m_path.isEmpty())
        return;
    QLockFile lockFile(m_path + QStringLiteral(".lock"));
    if (QFileInfo(m_path).dir().exists() && lock(lockFile))
        removeStaleTemporaries(m_path);
    const OnDisk disk = lookAt(m_path);
    if (disk.state == OnDisk::State::Table)
        HighScores = disk.content.table;
}

void ScoreTable::enter(int slot, const ScoreEntry &entry)
{
    insertEntry(HighScores, slot, entry);
    m_unsaved.emplace_back(slot < 3 ? RefreshMode : FiveMode, entry);
}

bool ScoreTable::HightScore_Save()
{
    if (m_path.isEmpty() || !QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return false;
    QLockFile lockFile(m_path + QStringLiteral(".lock"));
    if (!lock(lockFile))
        return false;
    removeStaleTemporaries(m_path);
    const OnDisk disk = lookAt(m_path);
    if (disk.state == OnDisk::State::Unreadable)
        return false;
    // With a table on disk, this run's new entries are ranked into it, so
    // whatever other copies saved meanwhile stays. Without one, the table
    // shown (which holds them already) is the best there is.
    trazzo::HighScores merged = HighScores;
    if (disk.state == OnDisk::State::Table) {
        merged = disk.content.table;
        for (const auto &[mode, entry] : m_unsaved)
            if (const int slot = rankSlot(merged, mode, entry.Score); slot >= 0)
                insertEntry(merged, slot, entry);
    }
    const QByteArray data =
        formatScoreFile(merged, QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
    const Replaced replaced = replaceFile(m_path, disk, data);
    if (replaced == Replaced::No)
        return false;
    // The new file is in place and is read back by the next save, so the
    // entries are not kept twice; but one a power cut may still take is not
    // reported as saved.
    HighScores = merged;
    m_unsaved.clear();
    return replaced == Replaced::Durable;
}

} // namespace trazzo
