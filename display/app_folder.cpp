// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app_folder.h"

#include <QCoreApplication>

namespace trazzo {

QString withTrailingSeparator(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString programFolder() { return withTrailingSeparator(QCoreApplication::applicationDirPath()); }

} // namespace trazzo
