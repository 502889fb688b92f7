// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "board_surface.h"

#include "board.h"
#include "virtual_keys.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace trazzo {

BoardSurface::BoardSurface(QWidget *parent) : QWidget(parent), m_image(Width, Height, QImage::Format_RGB32)
{
    m_image.fill(Qt::black);
    setFixedSize(Width + 2 * Border, Height + 2 * Border);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardSurface::setTileSheet(const QImage &sheet) { m_sheet = sheet.convertToFormat(QImage::Format_RGB32); }

void BoardSurface::copyTile(int sx, int sy, int c, int r, Combine how)
{
    if (c < 0 || c >= BoardCols || r < 0 || r >= BoardRows)
        return;
    // The part of the tile that lies on the sheet; the rest reads as black.
    const int x0 = std::clamp(-sx, 0, TileSize), x1 = std::clamp(m_sheet.width() - sx, x0, TileSize);
    const QRgb black = qRgb(0, 0, 0);
    const qsizetype dstStride = m_image.bytesPerLine() / 4;
    const qsizetype srcStride = m_sheet.bytesPerLine() / 4;
    const int sheetHeight = m_sheet.height();
    const QRgb *sheet = reinterpret_cast<const QRgb *>(m_sheet.constBits());
    QRgb *dst = reinterpret_cast<QRgb *>(m_image.bits()) + r * TileSize * dstStride + c * TileSize;
    for (int y = 0; y < TileSize; ++y, dst += dstStride) {
        const int row = sy + y;
        if (row < 0 || row >= sheetHeight || x0 == x1) { // nothing of the sheet: all black
            if (how != Combine::Or)
                std::fill(dst, dst + TileSize, black);
            continue;
        }
        const QRgb *line = sheet + row * srcStride; // read at sx + x, for x0 <= x < x1
        switch (how) {
        case Combine::Copy:
            if (x0 == 0 && x1 == TileSize) { // the usual case, kept apart so it compiles to a plain copy
                std::copy_n(line + sx, TileSize, dst);
                break;
            }
            std::fill(dst, dst + x0, black);
            for (int x = x0; x < x1; ++x)
                dst[x] = line[sx + x];
            std::fill(dst + x1, dst + TileSize, black);
            break;
        case Combine::Or:
            for (int x = x0; x < x1; ++x)
                dst[x] |= line[sx + x];
            break;
        case Combine::And:
            std::fill(dst, dst + x0, black);
            for (int x = x0; x < x1; ++x)
                dst[x] &= line[sx + x];
            std::fill(dst + x1, dst + TileSize, black);
            break;
        }
    }
}

void BoardSurface::updateCell(int c, int r)
{
    // The change shows at the next repaint; presenting forces it at once.
    update(Border + c * TileSize, Border + r * TileSize, TileSize, TileSize);
}

void BoardSurface::Cell_Paint(int c, int r, int k)
{
    copyTile(TileSize * k, 0, c, r, Combine::Copy);
    updateCell(c, r);
}

void BoardSurface::Head_Paint(int c, int r, int d)
{
    copyTile(48 + TileSize * d, TileSize, c, r, Combine::Or);
    copyTile(TileSize * d, TileSize, c, r, Combine::And);
    updateCell(c, r);
}

void BoardSurface::Board_Paint(std::string_view board)
{
    std::size_t p = 0;
    for (int r = 0; r < BoardRows; ++r)
        for (int c = 0; c < BoardCols; ++c, ++p)
            if (p < board.size())
                copyTile(TileSize * codeValue(board[p]), 0, c, r, Combine::Copy);
    // One region for the whole picture: 1200 cell rectangles merged one by
    // one would cost more than the copies themselves.
    update(Border, Border, Width, Height);
}

void BoardSurface::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // A sunken edge two pixels deep, lit from the top left. Filled
    // rectangles, not lines, so the edge stays whole at any screen scale.
    const int w = width(), h = height();
    p.fillRect(0, 0, w - 1, 1, QColor(128, 128, 128));
    p.fillRect(0, 0, 1, h - 1, QColor(128, 128, 128));
    p.fillRect(1, 1, w - 3, 1, QColor(64, 64, 64));
    p.fillRect(1, 1, 1, h - 3, QColor(64, 64, 64));
    p.fillRect(0, h - 1, w, 1, Qt::white);
    p.fillRect(w - 1, 0, 1, h, Qt::white);
    p.fillRect(1, h - 2, w - 2, 1, QColor(192, 192, 192));
    p.fillRect(w - 2, 1, 1, h - 2, QColor(192, 192, 192));
    // No smoothing: on a high-DPI screen every tile pixel becomes a block.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QPoint(Border, Border), m_image);
}

void BoardSurface::keyPressEvent(QKeyEvent *event)
{
    const int code = virtualKeyOf(event->key());
    if (code == 0 || event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Held keys repeat their key-down, as the game expects.
    emit keyDown(code);
}

void BoardSurface::keyReleaseEvent(QKeyEvent *event)
{
    // Qt also sends a release for every repeat; only the real one counts.
    if (event->isAutoRepeat())
        return;
    const int code = virtualKeyOf(event->key());
    if (code == 0) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    emit keyUp(code);
}

} // namespace trazzo
