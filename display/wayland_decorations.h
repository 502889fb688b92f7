// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

namespace trazzo {

// Whether Qt 6.4 will try Wayland first: QT_QPA_PLATFORM names it first, or,
// that unset, a Wayland session shows (WAYLAND_DISPLAY, or XDG_SESSION_TYPE
// "wayland"). A -platform argument is not looked at.
bool startsOnWayland();

// Whether the Wayland compositor offers to draw the windows' title bars
// itself (the xdg-decoration protocol). False when it cannot be reached.
bool compositorDrawsTitleBars();

} // namespace trazzo
