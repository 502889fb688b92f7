// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "text_label.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

namespace trazzo {

QRect TextLabel::inkBox(const QFont &font) { return QFontMetrics(font).tightBoundingRect(QStringLiteral("国gÅ")); }

void TextLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setClipRect(rect());
    // A window locked by the high-score or About window keeps its texts
    // readable, as the old labels did.
    p.setPen(palette().color(QPalette::Active, QPalette::WindowText));
    p.setFont(font());
    if (!wordWrap()) {
        const QRect ink = inkBox(font());
        p.drawText(QPoint(0, (height() - ink.height()) / 2 - ink.top()), text());
        return;
    }
    const int em = QFontInfo(font()).pixelSize();
    QTextLayout layout(text(), font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine(), y += em + 1) {
        line.setLineWidth(width());
        line.setPosition(QPointF(0, y));
    }
    layout.endLayout();
    // Move the lines up so each one's ink sits in its em.
    const int inkTop = em * 7 / 8 - QFontMetrics(font()).ascent();
    layout.draw(&p, QPointF(0, inkTop));
}

} // namespace trazzo
