// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "high_scores.h"

#include <QStringList>

// A table as the player reads it: "score name" per slot.
inline QStringList rowsOf(const trazzo::HighScores &table)
{
    QStringList rows;
    for (const trazzo::ScoreEntry &e : table)
        rows << QString::number(e.Score) + ' ' + e.Name;
    return rows;
}

inline QStringList with(QStringList rows, int k, const QString &row) { return rows.replace(k, row), rows; }
