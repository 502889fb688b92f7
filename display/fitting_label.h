#pragma once

#include <QLabel>

namespace trazzo {

// A one-line label whose text always fits its height. The windows were laid
// out for the Windows faces; the Japanese faces that stand in for them draw
// a little taller, so a plain label of the same height would cut the foot
// of the text off. This one steps the face down just enough, and centres
// the text's ink in the box. With word wrap on, lines stand one em apart
// and wrap anywhere, as Japanese text does. Used by every window of the game.
class FittingLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // Also shrink a text too wide for the box, for captions that must show
    // whole. Off by default: lines of a list are cut at the edge instead,
    // so their columns stay in line.
    void setFitWidth(bool on) { m_fitWidth = on; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_fitWidth = false;
};

} // namespace trazzo
