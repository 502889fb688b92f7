// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>

namespace trazzo {

// A label that draws its text in the font it is given, never resized to
// its text. One line stands with the face's ink centred in the box, so
// labels of one face and height share one baseline; text wider than the
// box is cut off at its edge. With word wrap on, lines stand one em apart
// and wrap anywhere, as Japanese text does.
class TextLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // The ink of the tallest characters the windows show (a kanji, a
    // descender, an accented capital) relative to the baseline.
    static QRect inkBox(const QFont &font);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace trazzo
