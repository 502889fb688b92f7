#include "fitting_label.h"

#include <QFontMetrics>
#include <QPainter>

namespace trazzo {

void FittingLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    // Measure with a full-width character and a descender added, so every
    // label of the same face and height gets the same size and baseline,
    // whatever its own text.
    const QString probe = QStringLiteral("国g") + text();
    QFont f = font();
    QRect ink = QFontMetrics(f).tightBoundingRect(probe);
    for (int px = QFontInfo(f).pixelSize() - 1; ink.height() > height() && px >= 8; --px) {
        f.setPixelSize(px);
        ink = QFontMetrics(f).tightBoundingRect(probe);
    }
    p.setFont(f);
    const int baseline = (height() - ink.height()) / 2 - ink.top();
    p.drawText(QPoint(0, baseline), text());
}

} // namespace trazzo
