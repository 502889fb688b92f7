// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Enlarges the 32 x 32 icon by a whole factor, each pixel becoming a block,
// so the pixel art stays crisp at the desktop's larger icon sizes.
//
//   trazzo_scale_icon <in.png> <out.png> <factor>

#include <QImage>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <in.png> <out.png> <factor>\n", argv[0]);
        return 2;
    }
    const int factor = std::atoi(argv[3]);
    const QImage icon = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32);
    if (icon.isNull() || factor < 1 || factor > 16) {
        std::fprintf(stderr, "%s: cannot read %s or bad factor %s\n", argv[0], argv[1], argv[3]);
        return 1;
    }
    QImage big(icon.width() * factor, icon.height() * factor, QImage::Format_ARGB32);
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            big.setPixel(x, y, icon.pixel(x / factor, y / factor));
    return big.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
