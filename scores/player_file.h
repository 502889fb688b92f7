// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

namespace trazzo {

// What reading one of the player's files gave.
struct PlayerFile {
    enum class Kind { Read, Missing, NotRegular, Failed };
    Kind kind = Kind::Missing;
    QByteArray bytes;    // at most the cap
    bool goesOn = false; // the file holds more than the cap
    int error = 0;       // errno of a failed open or read
};

// Reads a file the player may have replaced by anything: a pipe, a device,
// a link, a huge file. It is opened without blocking and read only when it
// is a regular file, and never beyond `cap` bytes.
PlayerFile readPlayerFile(const QByteArray &nativePath, qint64 cap);
PlayerFile readPlayerFile(const QString &path, qint64 cap);

} // namespace trazzo
