// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace trazzo {

// The game's key rules speak in Windows virtual key codes; these are the
// ones Qt's keys map to. Keys without a code give 0, which no rule uses.
int virtualKeyOf(int qtKey);

} // namespace trazzo
