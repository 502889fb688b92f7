// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QString>

#include <optional>

namespace trazzo {

// Reads a picture the player chose as the tile sheet. The file is not
// trusted: only BMP and PNG are read, and anything far larger than a tile
// sheet is refused before it is decoded. On failure returns nothing and
// says why in `reason` (for the player).
std::optional<QImage> loadTileSheet(const QString &path, QString *reason = nullptr);
// The same checks on the bytes of a file already read.
std::optional<QImage> loadTileSheet(const QByteArray &bytes, QString *reason = nullptr);

// Limits of what is taken as a tile sheet.
inline constexpr qint64 MaxTileSheetFileBytes = 4 * 1024 * 1024;
inline constexpr int MaxTileSheetSide = 1024;

} // namespace trazzo
