// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFont>
#include <QString>

namespace trazzo {

// The window's faces keep their Windows names; on Linux they are mapped to
// the Japanese faces of fonts-noto-cjk, so every text renders as Japanese.
inline const QString ProportionalGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString FixedGothic = QStringLiteral("ＭＳ ゴシック");

// Call once before any window is made.
void installFontSubstitutes();

// A face at the size its window was laid out for, made small enough that
// the face's tallest ink fits a box `boxHeight` pixels high. The windows
// were laid out for the Windows faces; the Japanese faces that stand in
// draw a little taller. A window chooses each of its faces once, and every
// label of a group shares it, so no line of a list differs from the next.
QFont fittedFont(const QString &face, qreal points, int boxHeight, bool bold = false);

// The status line: proportional gothic, 9.75 pt, in its 13-pixel line.
QFont statusFont();
// The counters: fixed gothic, 12 pt bold, in their 16-pixel boxes.
QFont counterFont();

} // namespace trazzo
