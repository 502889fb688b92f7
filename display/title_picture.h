// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

namespace trazzo {

// The title screen's board: the game's name in blue panels on stone,
// "TRA" in rows 7-13 and "ZZO" in rows 16-22.
std::string titlePicture();

} // namespace trazzo
