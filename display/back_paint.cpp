// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "back_paint.h"

#include <QPainter>

namespace trazzo {

void Back_Paint(QImage &target, const QImage &panelSheet)
{
    constexpr int W = BackSurface::Width;
    constexpr int T = 408; // top of the status line

    QPainter p(&target);
    p.setCompositionMode(QPainter::CompositionMode_Source);

    // Texture strips round the board; what reaches past the edges is clipped.
    for (int i = 0; i <= 15; ++i) {
        p.drawImage(QPoint(32 * i, 0), panelSheet, QRect(0, 0, 32, 34));
        p.drawImage(QPoint(0, 32 * i), panelSheet, QRect(0, 0, 32, 32));
        p.drawImage(QPoint(32 * i, 390), panelSheet, QRect(0, 0, 32, 32));
        p.drawImage(QPoint(470, 32 * i), panelSheet, QRect(0, 0, 32, 32));
    }

    // The sunken frame: grey top and left, white bottom and right.
    p.setPen(QColor(128, 128, 128));
    p.drawLine(0, 0, W, 0);
    p.drawLine(0, 0, 0, T - 2);
    p.setPen(QColor(255, 255, 255));
    p.drawLine(W - 1, 0, W - 1, T - 2);
    p.drawLine(0, T - 2, W, T - 2);

    // The status band, filled so the status text reads on a calm ground.
    p.fillRect(QRect(QPoint(0, T - 1), QPoint(W, T + 13)), QColor(192, 192, 192));

    // Caption panels behind the three counters.
    p.drawImage(QPoint(8, 8), panelSheet, QRect(32, 0, 87, 19));
    p.drawImage(QPoint(102, 8), panelSheet, QRect(119, 0, 114, 19));
    p.drawImage(QPoint(223, 8), panelSheet, QRect(233, 0, 78, 19));
}

BackSurface::BackSurface(QWidget *parent) : QWidget(parent), m_image(Width, Height, QImage::Format_RGB32)
{
    m_image.fill(QColor(192, 192, 192));
    setFixedSize(Width, Height);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BackSurface::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QPoint(0, 0), m_image);
}

} // namespace trazzo
