#pragma once

#include <QLabel>

namespace trazzo {

// Label4. The line is only 13 pixels high, less than the line spacing of
// the Japanese faces, so a plain label would cut the text's foot off. This
// one shrinks the face just enough for the text to fit, and centres it.
class StatusLine : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace trazzo
