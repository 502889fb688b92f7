#pragma once

#include <QLabel>

namespace trazzo {

// A one-line label whose text always fits its height. The windows were laid
// out for the Windows faces; the Japanese faces that stand in for them draw
// a little taller, so a plain label of the same height would cut the foot
// of the text off. This one steps the face down just enough, and centres
// the text's ink in the box. Used by every window of the game.
class FittingLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace trazzo
