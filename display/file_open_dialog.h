// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace trazzo {

// The filter handed to the open dialog: name and pattern of each choice,
// every part followed by a NUL, the list ending in a second NUL.
QString pictureFilter();

// That filter as Qt's name filters, one per choice.
QStringList nameFiltersOf(const QString &filter);

// Asks for an existing file, with the first choice of `filter`
// preselected. Returns its full path, or an empty text when the player
// cancels.
QString FileOpen_Dialog(QWidget *owner, const QString &filter);

} // namespace trazzo
