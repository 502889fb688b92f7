#include "fitting_label.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

namespace trazzo {

namespace {

// Lays the text out in lines `lineHeight` apart within `width`; returns
// the height it takes.
int layoutLines(QTextLayout &layout, int width, int lineHeight)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += lineHeight;
    }
    layout.endLayout();
    return y;
}

} // namespace

void FittingLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // A window locked by the high-score or About window keeps its texts
    // readable, as the old labels did.
    p.setPen(palette().color(QPalette::Active, QPalette::WindowText));
    QFont f = font();
    if (wordWrap()) {
        // Lines one em apart, as the old faces had them; shrink until all
        // lines fit the box.
        for (int px = QFontInfo(f).pixelSize();; --px) {
            f.setPixelSize(px);
            QTextLayout layout(text(), f);
            if (layoutLines(layout, width(), px + 1) <= height() || px <= 8) {
                const QFontMetrics fm(f);
                // Move the lines up so each one's ink sits in its em.
                const int inkTop = px * 7 / 8 - fm.ascent();
                layout.draw(&p, QPointF(0, inkTop));
                return;
            }
        }
    }
    // Measure with a full-width character and a descender added, so every
    // label of the same face and height gets the same size and baseline,
    // whatever its own text.
    const QString probe = QStringLiteral("国g") + text();
    QRect ink = QFontMetrics(f).tightBoundingRect(probe);
    auto tooBig = [&] {
        return ink.height() > height() || (m_fitWidth && QFontMetrics(f).horizontalAdvance(text()) > width());
    };
    for (int px = QFontInfo(f).pixelSize() - 1; tooBig() && px >= 8; --px) {
        f.setPixelSize(px);
        ink = QFontMetrics(f).tightBoundingRect(probe);
    }
    p.setFont(f);
    const int baseline = (height() - ink.height()) / 2 - ink.top();
    p.drawText(QPoint(0, baseline), text());
}

} // namespace trazzo
