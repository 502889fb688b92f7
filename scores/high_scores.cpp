#include "high_scores.h"

#include "texts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace trazzo {

QString scoreField(std::int32_t score) { return (QStringLiteral("000000") + QString::number(score)).right(6); }

std::int32_t scoreFieldValue(const QString &firstSix)
{
    // Blanks anywhere are skipped; the number ends at the first character
    // that cannot continue it.
    std::string number;
    enum class Part { Sign, Whole, Fraction, ExponentSign, Exponent } part = Part::Sign;
    for (QChar ch : firstSix) {
        if (ch == u' ' || ch == u'\t')
            continue;
        const char c = ch.toLatin1();
        const bool digit = c >= '0' && c <= '9';
        if (part == Part::Sign && (c == '+' || c == '-')) {
            number += c;
            part = Part::Whole;
        } else if (digit && part != Part::ExponentSign) {
            number += c;
            if (part == Part::Sign)
                part = Part::Whole;
        } else if (part == Part::ExponentSign && (digit || c == '+' || c == '-')) {
            number += c;
            part = Part::Exponent;
        } else if (c == '.' && (part == Part::Sign || part == Part::Whole)) {
            number += c;
            part = Part::Fraction;
        } else if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && (part == Part::Whole || part == Part::Fraction)) {
            number += 'e';
            part = Part::ExponentSign;
        } else {
            break;
        }
    }
    if (part == Part::ExponentSign)
        number.pop_back(); // "12e" reads as 12
    const double value = number.empty() ? 0.0 : std::strtod(number.c_str(), nullptr);
    // Rounds halves to the even neighbour (the default rounding mode). A
    // field too big for a score counts as unreadable.
    const double rounded = std::nearbyint(value);
    if (!std::isfinite(rounded) || rounded > std::numeric_limits<std::int32_t>::max() ||
        rounded < std::numeric_limits<std::int32_t>::min())
        return 0;
    return static_cast<std::int32_t>(rounded);
}

namespace {

bool looksLikeText(const QString &text)
{
    for (QChar ch : text)
        if (ch.unicode() < 0x20 && ch != u'\r' && ch != u'\n' && ch != u'\t')
            return false;
    return true;
}

QString decodeWith(QStringDecoder decoder, const QByteArray &bytes, bool *ok)
{
    if (!decoder.isValid()) {
        *ok = false;
        return {};
    }
    QString text = decoder.decode(bytes);
    *ok = !decoder.hasError();
    return text;
}

// The next free name beside the file for a copy set aside.
QString setAsideName(const QString &path)
{
    QString name = path + QStringLiteral(".bad");
    for (int n = 2; QFileInfo::exists(name) && n < 100; ++n)
        name = path + QStringLiteral(".bad.") + QString::number(n);
    return QFileInfo::exists(name) ? QString() : name;
}

} // namespace

QString decodeScoreFile(const QByteArray &bytes, bool *ok)
{
    // Written by us it is UTF-8; brought over from the Japanese Windows
    // program it is Shift-JIS, which is seldom also valid UTF-8.
    QString text = decodeWith(QStringDecoder(QStringDecoder::Utf8), bytes, ok);
    if (!*ok)
        text = decodeWith(QStringDecoder("Shift_JIS"), bytes, ok);
    if (*ok && !looksLikeText(text))
        *ok = false;
    return *ok ? text : QString();
}

HighScores parseScoreFile(const QString &text)
{
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = unified.split(QLatin1Char('\n'));
    HighScores table;
    // Line 1 is the header, whatever it says.
    for (std::size_t k = 0; k < table.size(); ++k) {
        const qsizetype i = static_cast<qsizetype>(k) + 1;
        if (i >= lines.size())
            break;
        table[k].Score = scoreFieldValue(lines[i].left(6));
        table[k].Name = lines[i].mid(6);
    }
    return table;
}

HighScores readScoreFile(QByteArray bytes, bool goesOn, bool *setAside)
{
    const bool whole = !goesOn && bytes.size() <= MaxScoreFileBytes;
    if (!whole) {
        // Keep whole lines only, so the cut does not split a character.
        bytes.truncate(MaxScoreFileBytes);
        bytes.truncate(bytes.lastIndexOf('\n') + 1);
    }
    bool ok = false;
    const QString text = decodeScoreFile(bytes, &ok);
    *setAside = !ok || !whole;
    return ok ? parseScoreFile(text) : HighScores{};
}

QByteArray formatScoreFile(const HighScores &table, const QString &savedAt)
{
    QString text = texts::ScoreFileHeader + savedAt + QStringLiteral("\r\n");
    for (const ScoreEntry &e : table)
        text += scoreField(e.Score) + e.Name + QStringLiteral("\r\n");
    return text.toUtf8();
}

QString defaultScoreFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Windows/Trazzo.ini");
}

QString cleanName(const QString &name)
{
    QString clean = name;
    for (QChar &ch : clean)
        if (ch.category() == QChar::Other_Control || ch == QChar::LineSeparator || ch == QChar::ParagraphSeparator)
            ch = QLatin1Char(' ');
    if (clean.size() > MaxNameLength) {
        qsizetype cut = MaxNameLength;
        if (clean.at(cut).isLowSurrogate())
            --cut; // never split a character in two
        clean.truncate(cut);
    }
    return clean;
}

void ScoreTable::HightScore_Load()
{
    HighScores = {};
    m_setAside = false;
    const QFileInfo info(m_path);
    if (!info.exists() || !info.isFile())
        return; // the first run, or a folder in the file's place: nothing to keep
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_setAside = true;
        return;
    }
    const QByteArray bytes = file.read(MaxScoreFileBytes + 1);
    HighScores = readScoreFile(bytes, !file.atEnd() || file.error() != QFileDevice::NoError, &m_setAside);
}

bool ScoreTable::HightScore_Save()
{
    const QFileInfo info(m_path);
    if (m_path.isEmpty() || !QDir().mkpath(info.absolutePath()))
        return false;
    if (m_setAside && info.exists()) {
        // Whatever load could not read stays on disk under another name.
        const QString aside = setAsideName(m_path);
        if (aside.isEmpty() || !QFile::rename(m_path, aside))
            return false;
    }
    m_setAside = false;

    const QByteArray data =
        formatScoreFile(HighScores, QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    // QSaveFile can commit an empty file when the disk fills up unless
    // every step is checked: a short write or a failed flush cancels it.
    if (out.write(data) != data.size() || !out.flush() || out.error() != QFileDevice::NoError) {
        out.cancelWriting();
        out.commit();
        return false;
    }
    return out.commit();
}

} // namespace trazzo
