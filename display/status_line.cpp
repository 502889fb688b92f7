#include "status_line.h"

#include <QFontMetrics>
#include <QPainter>

namespace trazzo {

void StatusLine::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    // The Japanese faces draw a little larger than the ones the line was
    // laid out for; step the size down until the text's ink fits.
    QFont f = font();
    QRect ink = QFontMetrics(f).tightBoundingRect(text());
    for (int px = QFontInfo(f).pixelSize() - 1; ink.height() > height() && px >= 8; --px) {
        f.setPixelSize(px);
        ink = QFontMetrics(f).tightBoundingRect(text());
    }
    p.setFont(f);
    // Centre the ink in the line.
    const int baseline = (height() - ink.height()) / 2 - ink.top();
    p.drawText(QPoint(0, baseline), text());
}

} // namespace trazzo
