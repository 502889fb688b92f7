#include "board_surface.h"

#include "board.h"
#include "virtual_keys.h"

#include <QKeyEvent>
#include <QPainter>

namespace trazzo {

BoardSurface::BoardSurface(QWidget *parent)
    : QWidget(parent), m_image(Width, Height, QImage::Format_RGB32)
{
    m_image.fill(Qt::black);
    setFixedSize(Width + 2 * Border, Height + 2 * Border);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardSurface::setTileSheet(const QImage &sheet)
{
    m_sheet = sheet.convertToFormat(QImage::Format_RGB32);
}

void BoardSurface::copyTile(int sx, int sy, int c, int r, Combine how)
{
    if (c < 0 || c >= BoardCols || r < 0 || r >= BoardRows)
        return;
    const QRgb black = qRgb(0, 0, 0);
    for (int y = 0; y < TileSize; ++y) {
        auto *dst = reinterpret_cast<QRgb *>(m_image.scanLine(r * TileSize + y)) + c * TileSize;
        const int row = sy + y;
        const bool rowInside = row >= 0 && row < m_sheet.height();
        const auto *src = rowInside ? reinterpret_cast<const QRgb *>(m_sheet.constScanLine(row)) : nullptr;
        for (int x = 0; x < TileSize; ++x) {
            const int col = sx + x;
            const QRgb s = (rowInside && col >= 0 && col < m_sheet.width()) ? src[col] : black;
            switch (how) {
            case Combine::Copy: dst[x] = s; break;
            case Combine::Or: dst[x] |= s; break;
            case Combine::And: dst[x] &= s; break;
            }
        }
    }
    // The change shows at the next repaint; presenting forces it at once.
    update(Border + c * TileSize, Border + r * TileSize, TileSize, TileSize);
}

void BoardSurface::Cell_Paint(int c, int r, int k)
{
    copyTile(TileSize * k, 0, c, r, Combine::Copy);
}

void BoardSurface::Head_Paint(int c, int r, int d)
{
    copyTile(48 + TileSize * d, TileSize, c, r, Combine::Or);
    copyTile(TileSize * d, TileSize, c, r, Combine::And);
}

void BoardSurface::Board_Paint(std::string_view board)
{
    std::size_t p = 0;
    for (int r = 0; r < BoardRows; ++r)
        for (int c = 0; c < BoardCols; ++c, ++p)
            if (p < board.size())
                Cell_Paint(c, r, codeValue(board[p]));
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
