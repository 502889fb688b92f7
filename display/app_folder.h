// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

namespace trazzo {

// A folder path ending in exactly one separator, so a file name can be
// appended: "/usr/lib/trazzo" gives "/usr/lib/trazzo/", "/" stays "/".
QString withTrailingSeparator(const QString &folder);

// The folder of the running executable, ending in a separator. Through a
// symlink this is the folder of the real file, where its data lies.
QString programFolder();

} // namespace trazzo
