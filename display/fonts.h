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

// The status line: proportional gothic, 9.75 pt.
QFont statusFont();
// The counters: fixed gothic, 12 pt bold.
QFont counterFont();

} // namespace trazzo
