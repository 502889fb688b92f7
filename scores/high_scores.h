// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace trazzo {

struct ScoreEntry {
    std::int32_t Score = 0;
    QString Name;
    bool operator==(const ScoreEntry &) const = default;
};

// Slots 0-2: Refresh mode, ranks 1-3. Slots 3-5: Five mode, ranks 1-3.
using HighScores = std::array<ScoreEntry, 6>;

// Names longer than this many characters (as the player counts them, not
// UTF-16 units) are cut when an entry is made.
inline constexpr int MaxNameLength = 32;
// ... nor longer than this many bytes in UTF-8, however many accents its
// letters carry, so that six of them fit in what is read of a file.
inline constexpr int MaxNameBytes = 1024;
// Never more than this much of a score file is read.
inline constexpr qint64 MaxScoreFileBytes = 8 * 1024;
// How long a save waits for another copy's save to end.
inline constexpr int SaveLockWaitMs = 1000;

// The table, the file it lives in, and the entries this run added to it.
// Several copies of the game may share the file: every save re-reads it
// under a lock and adds this run's new entries to what it holds.
class ScoreTable {
public:
    ScoreTable() = default;
    explicit ScoreTable(const QString &scoreFilePath);

    trazzo::HighScores HighScores;

    // The file's path, for people to read.
    QString ScoreFilePath() const;
    // The file's path as the system has it.
    void setScoreFile(const QByteArray &nativePath);

    // Fills the table from the file; a missing file, or whatever part of
    // one cannot be read, gives empty entries (0, no name). Removes the
    // temporary files of saves that were cut off.
    void HightScore_Load();
    // Ranks a score of a game just over against the file as it is now and,
    // when it ranks, enters it with no name yet and saves at once, so that
    // it is on disk before the player is asked for a name. The slot it
    // took, or -1 when it does not rank.
    int rankAndEnter(std::int32_t gameMode, std::int32_t score);
    // Gives this run's newest entry its name; the next save writes it.
    void nameNewestEntry(const QString &name);
    // Writes the merged table and shows it: the file as it is now, with
    // this run's new entries ranked into it. On any failure the file on
    // disk is left as it was and the new entries wait for the next save.
    // Returns false when the new file is not safely on disk (a folder that
    // could not be synced after the rename included). A retry in the
    // background does not wait for another copy's save (0).
    bool HightScore_Save(int lockWaitMs = SaveLockWaitMs);
    // Whether entries of this run, or their names, are not on disk yet.
    bool hasUnsaved() const { return !m_unsaved.empty() || !m_renames.empty(); }

private:
    enum class Stored { Yes, NotDurable, No, Nothing };
    // The save; with `slot`, first ranks `score` under the lock and enters it.
    Stored store(std::int32_t gameMode, std::int32_t score, int *slot, int lockWaitMs);
    trazzo::HighScores mergedInto(trazzo::HighScores onDisk) const;

    struct Rename {
        std::int32_t mode;
        ScoreEntry entry; // as it is on disk
        QString name;
    };
    QByteArray m_file;
    std::vector<std::pair<std::int32_t, ScoreEntry>> m_unsaved; // game mode, entry
    std::vector<Rename> m_renames;                              // names given to entries on disk
    std::optional<std::pair<std::int32_t, ScoreEntry>> m_newest;
    bool m_newestOnDisk = false;
};

// The first slot of a mode's three, or -1 for no mode.
int firstSlotOf(std::int32_t gameMode);
// The slot a score would take in its mode, or -1 when it does not rank.
// An equal score does not pass an entry.
int rankSlot(const HighScores &table, std::int32_t gameMode, std::int32_t score);
// Puts the entry into `slot`, moving the lower ones of its mode down.
void insertEntry(HighScores &table, int slot, const ScoreEntry &entry);

// The parts of the file format, for the window and the tests.
QString scoreField(std::int32_t score); // last six of "000000" + score
// The numeric value of a field, the same in every locale; nothing when it
// is beyond what a score can be ("9e9").
std::optional<std::int32_t> scoreFieldValue(const QString &firstSix);

// What the bytes of a score file hold. Each line is read on its own
// (UTF-8, else Shift-JIS); a line that cannot be read costs its own entry.
struct ScoreFileContent {
    HighScores table;
    bool damaged = false; // something was not kept: set the file aside
    bool ours = false;    // it starts with our header
};
// `goesOn` says the file held more than the bytes given.
ScoreFileContent readScoreFile(QByteArray bytes, bool goesOn);
QByteArray formatScoreFile(const HighScores &table, const QString &savedAt);

// The per-user place of the score file: <data folder>/Trazzo/Windows/Trazzo.ini,
// or empty when there is no absolute folder to put it in.
QByteArray defaultScoreFile();

// A name as stored: control characters and line breaks become blanks, and
// it is cut to MaxNameLength characters, never inside one.
QString cleanName(const QString &name);
// The name's first MaxNameLength characters.
QString cutName(const QString &name);

} // namespace trazzo
