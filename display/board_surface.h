// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QWidget>

#include <string_view>

namespace trazzo {

// Picture1, the board: a retained 480 x 360 picture inside a 2-pixel sunken
// border. Everything is drawn into the picture and the widget only shows it,
// so a covered window comes back unchanged. Also holds the tile sheet
// (Picture2 of the old window, which was never seen).
class BoardSurface : public QWidget {
    Q_OBJECT
public:
    static constexpr int Border = 2;
    static constexpr int Width = 480;
    static constexpr int Height = 360;
    static constexpr int TileSize = 12;

    explicit BoardSurface(QWidget *parent = nullptr);

    // Later copies take their tiles from this sheet. A sheet smaller than
    // 96 x 24 is fine: whatever a copy reads from outside it is black.
    void setTileSheet(const QImage &sheet);
    const QImage &tileSheet() const { return m_sheet; }

    // The retained picture, 480 x 360, Format_RGB32.
    const QImage &image() const { return m_image; }

    // Plain copy of first-row tile k to cell (c, r).
    void Cell_Paint(int c, int r, int k);
    // The head facing d: its mask ORed onto the cell, then its picture ANDed.
    void Head_Paint(int c, int r, int d);
    // All 1200 cells from a board string, no head.
    void Board_Paint(std::string_view board);

signals:
    // Keys on the board as virtual key codes (see virtual_keys.h).
    void keyDown(int keyCode);
    void keyUp(int keyCode);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    enum class Combine { Copy, Or, And };
    void copyTile(int sx, int sy, int c, int r, Combine how);
    void updateCell(int c, int r);

    QImage m_sheet;
    QImage m_image;
};

} // namespace trazzo
