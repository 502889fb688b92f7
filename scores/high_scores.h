#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace trazzo {

struct ScoreEntry {
    std::int32_t Score = 0;
    QString Name;
    bool operator==(const ScoreEntry &) const = default;
};

// Slots 0-2: Refresh mode, ranks 1-3. Slots 3-5: Five mode, ranks 1-3.
using HighScores = std::array<ScoreEntry, 6>;

// Names longer than this are cut when an entry is made.
inline constexpr int MaxNameLength = 32;
// Never more than this much of a score file is read.
inline constexpr qint64 MaxScoreFileBytes = 8 * 1024;

// The table and the file it lives in.
class ScoreTable {
public:
    explicit ScoreTable(QString scoreFilePath = {}) : m_path(std::move(scoreFilePath)) {}

    trazzo::HighScores HighScores;

    const QString &ScoreFilePath() const { return m_path; }
    void setScoreFilePath(const QString &path) { m_path = path; }

    // Fills the table from the file; a missing file, or whatever part of
    // one cannot be read, gives empty entries (0, no name).
    void HightScore_Load();
    // Writes the table: a whole new file or, on any failure, the old one
    // untouched. A file that load could not take as a score file is set
    // aside first (Trazzo.ini.bad). Returns false when nothing was written.
    bool HightScore_Save();

    // Whether the last load found a file it could not take whole.
    bool setAsidePending() const { return m_setAside; }

private:
    QString m_path;
    bool m_setAside = false;
};

// The parts of the file format, for the window and the tests.
QString scoreField(std::int32_t score);                     // last six of "000000" + score
std::int32_t scoreFieldValue(const QString &firstSix);      // the numeric value of a field
QString decodeScoreFile(const QByteArray &bytes, bool *ok); // UTF-8, else Shift-JIS
HighScores parseScoreFile(const QString &text);
// What load makes of the bytes read from a score file: at most
// MaxScoreFileBytes of them are used, and `goesOn` says the file held more.
// `setAside` is set when the file could not be taken whole.
HighScores readScoreFile(QByteArray bytes, bool goesOn, bool *setAside);
QByteArray formatScoreFile(const HighScores &table, const QString &savedAt);

// The per-user place of the score file: <AppDataLocation>/Windows/Trazzo.ini.
QString defaultScoreFilePath();

// A name as stored: control characters and line breaks become blanks, and
// it is cut to MaxNameLength characters.
QString cleanName(const QString &name);

} // namespace trazzo
