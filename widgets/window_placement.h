// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace trazzo {

// Where a window of `size` opens: centred in `available`, but never with
// its top-left corner above or left of it, so the title bar stays on screen
// even when the window is larger than the screen.
QPoint centredTopLeft(const QSize &size, const QRect &available);

// Moves `window` to that place on its screen's available area: the screen
// of the window that owns it (ownBy), else the primary one.
void centreOnScreen(QWidget *window);

// Shrinks `window` to fit the available area of `framed`'s screen (with no
// `framed`, centreOnScreen's), leaving room for a frame like `framed`'s (a
// window the window manager has framed already) and a tenth of the area
// free, and centres it there. A window that fits keeps its size.
void fitOnScreen(QWidget *window, const QWidget *framed);

// Makes `window` owned by `owner` (transient for it): the window manager
// keeps it above the owner. Only dialog-type windows (Qt::Dialog) carry the
// owner to the X server. Minimised, it comes straight back: some window
// managers hide the owner along with it.
void ownBy(QWidget *window, QWidget *owner);

} // namespace trazzo
