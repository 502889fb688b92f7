// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Draws the tile sheet's layout for the README: the built-in sheet eight
// times as large, each tile framed and named, with its place in pixels.
//
//   QT_QPA_PLATFORM=offscreen trazzo_draw_sheet_layout <tiles.bmp> <out.png>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <array>
#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <tiles.bmp> <out.png>\n", argv[0]);
        return 2;
    }
    const QImage sheet = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    if (sheet.isNull())
        return 1;
    constexpr int Zoom = 8, Tile = 12, Cell = Tile * Zoom, Label = 52, Margin = 8;
    const std::array<const char *, 16> names{"0 wall",         "1 hole",       "2 ground",      "3 blue chest",
                                             "4 orange chest", "5 blue panel", "6 green panel", "7 red panel",
                                             "head left",      "head up",      "head right",    "head down",
                                             "mask left",      "mask up",      "mask right",    "mask down"};

    QImage out(2 * Margin + 8 * Cell, 2 * Margin + 2 * (Cell + Label), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    p.setFont(font);
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 8; ++col) {
            const QRect cell(Margin + col * Cell, Margin + row * (Cell + Label), Cell, Cell);
            p.drawImage(cell, sheet.copy(col * Tile, row * Tile, Tile, Tile)); // no smoothing: blocks
            p.setPen(QPen(Qt::red, 1));
            p.drawRect(cell.adjusted(0, 0, -1, -1));
            p.setPen(Qt::black);
            const QRect text(cell.left(), cell.bottom() + 4, Cell, Label - 8);
            p.drawText(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                       QStringLiteral("%1\nx %2, y %3")
                           .arg(QLatin1String(names[std::size_t(row * 8 + col)]))
                           .arg(col * Tile)
                           .arg(row * Tile));
        }
    }
    p.end();
    return out.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
