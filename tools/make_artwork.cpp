// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Draws the game's built-in pictures: the tile sheet, the panel sheet and
// the window icon. Run it by hand after changing the art and commit what it
// writes (the build does not run it):
//
//   cmake --build build --target trazzo_make_artwork
//   build/tools/trazzo_make_artwork assets
//
// Everything is drawn from fixed seeds and text-art sprites, so running it
// twice gives the same files.

#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

constexpr int Tile = 12;

QRgb rgb(int r, int g, int b) { return qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255)); }

void stone(QImage &sheet, int x0)
{
    // A block: mottled grey with a lighter top-left and a darker
    // bottom-right edge, so a wall reads as masonry.
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> noise(-14, 14);
    for (int y = 0; y < Tile; ++y)
        for (int x = 0; x < Tile; ++x) {
            int v = 102 + noise(gen);
            if (x == 0 || y == 0)
                v += 34;
            else if (x == Tile - 1 || y == Tile - 1)
                v -= 34;
            sheet.setPixel(x0 + x, y, rgb(v, v, v));
        }
}

void earth(QImage &sheet, int x0, int y0)
{
    std::mt19937 gen(11);
    std::uniform_int_distribution<int> noise(-18, 18);
    std::uniform_int_distribution<int> speck(0, 9);
    for (int y = 0; y < Tile; ++y)
        for (int x = 0; x < Tile; ++x) {
            int n = noise(gen);
            const int s = speck(gen);
            if (s == 0)
                n -= 22; // a few darker crumbs
            else if (s == 1)
                n += 22;
            sheet.setPixel(x0 + x, y0 + y, rgb(137 + n, 94 + n * 2 / 3, 21 + n / 3));
        }
}

// A chest lying on earth: body, lid line, lock and highlights.
void chest(QImage &sheet, int x0, QRgb body, QRgb light)
{
    earth(sheet, x0, 0);
    static const char *art[Tile] = {
        "............", "............", "..llllllll..", ".lbbbbbbbbl.", ".lbbbbbbbbb.", ".bbbbbbbbbb.",
        ".llllyyllll.", ".bbbbyybbbb.", ".lbbbbbbbbb.", ".bbbbbbbbbb.", ".kkkkkkkkkk.", "............",
    };
    for (int y = 0; y < Tile; ++y)
        for (int x = 0; x < Tile; ++x) {
            switch (art[y][x]) {
            case 'b': sheet.setPixel(x0 + x, y, body); break;
            case 'l': sheet.setPixel(x0 + x, y, light); break;
            case 'y': sheet.setPixel(x0 + x, y, qRgb(255, 215, 0)); break;
            case 'k': sheet.setPixel(x0 + x, y, qRgb(40, 26, 6)); break;
            default: break;
            }
        }
}

// A square panel: a one-pixel rim, inside a diagonal shade from white in
// the top-left to a pale tint in the bottom-right.
void panel(QImage &sheet, int x0, QColor rim, QColor pale)
{
    for (int y = 0; y < Tile; ++y)
        for (int x = 0; x < Tile; ++x) {
            if (x == 0 || y == 0 || x == Tile - 1 || y == Tile - 1) {
                sheet.setPixel(x0 + x, y, rim.rgb());
                continue;
            }
            const double t = (x + y - 2) / double(2 * (Tile - 3));
            auto mix = [t](int a, int b) { return int(a + (b - a) * t + 0.5); };
            sheet.setPixel(x0 + x, y, rgb(mix(255, pale.red()), mix(255, pale.green()), mix(255, pale.blue())));
        }
}

// The head, 12 x 12 on white. k black, g grey, l light grey, y yellow eye.
using Sprite = std::array<const char *, Tile>;

constexpr Sprite HeadLeft = {
    "............", "....kkkkk...", "..kkgllllkk.", ".kyklllllllk", ".klllllllglk", "kklllllggglk",
    ".kkllllggglk", "..kllllgggk.", ".kkkggggggk.", "k.k.kkkkkk..", "............", "............",
};

constexpr Sprite HeadUp = {
    "............", ".kk.kkkk.kk.", ".kgkggggkgk.", "..kggggggk..", ".kgggllgggk.", ".kggllllggk.",
    ".kggllllggk.", ".kgggllgggk.", "..kggggggk..", "..kggggggk..", "...kkkkkk...", "............",
};

constexpr Sprite HeadDown = {
    "............", "...kkkkkk...", "..kllllllk..", ".kllllllllk.", ".klykllkylk.", ".kllllllllk.",
    ".kgllkkllgk.", "..kgllllgk..", "..kggggggk..", ".kgkggggkgk.", ".kk.kkkk.kk.", "............",
};

QRgb spriteColour(char c)
{
    switch (c) {
    case 'k': return qRgb(0, 0, 0);
    case 'g': return qRgb(128, 128, 128);
    case 'l': return qRgb(192, 192, 192);
    case 'y': return qRgb(255, 255, 0);
    default: return qRgb(255, 255, 255);
    }
}

void head(QImage &sheet, int d, const Sprite &art, bool mirror)
{
    for (int y = 0; y < Tile; ++y) {
        if (std::strlen(art[y]) != Tile) {
            std::fprintf(stderr, "sprite %d row %d is not 12 wide\n", d, y);
            std::exit(1);
        }
        for (int x = 0; x < Tile; ++x) {
            const QRgb c = spriteColour(art[y][mirror ? Tile - 1 - x : x]);
            sheet.setPixel(Tile * d + x, Tile + y, c);
            // The mask is white exactly where the picture is not white.
            const bool shape = c != qRgb(255, 255, 255);
            sheet.setPixel(48 + Tile * d + x, Tile + y, shape ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    }
}

QImage tileSheet()
{
    QImage sheet(96, 24, QImage::Format_RGB888);
    sheet.fill(Qt::black);
    stone(sheet, 0);
    // tile 1, the hole, stays solid black
    earth(sheet, 24, 0);
    chest(sheet, 36, qRgb(0, 0, 128), qRgb(0, 0, 255));
    chest(sheet, 48, qRgb(103, 0, 0), qRgb(205, 78, 14));
    panel(sheet, 60, QColor(0, 0, 128), QColor(150, 190, 255));
    panel(sheet, 72, QColor(0, 128, 0), QColor(150, 235, 150));
    panel(sheet, 84, QColor(128, 0, 0), QColor(255, 160, 160));
    head(sheet, 0, HeadLeft, false);
    head(sheet, 1, HeadUp, false);
    head(sheet, 2, HeadLeft, true);
    head(sheet, 3, HeadDown, false);
    return sheet;
}

void captionPanel(QImage &sheet, int x0, int w, const char *word)
{
    const int h = 19;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            QRgb c = qRgb(191, 191, 191);
            if (y == 0 || x == 0)
                c = qRgb(127, 127, 127);
            else if (y == h - 1 || x == w - 1)
                c = qRgb(255, 255, 255);
            sheet.setPixel(x0 + x, y, c);
        }
    QPainter p(&sheet);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setBold(true);
    f.setStyleStrategy(QFont::NoAntialias);
    p.setFont(f);
    p.setPen(QColor(0, 0, 128));
    p.drawText(QRect(x0 + 5, 1, w - 6, h - 2), Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(word));
}

QImage panelSheet()
{
    QImage sheet(311, 34, QImage::Format_RGB888);
    sheet.fill(Qt::white);
    // Grey noise from 131 to 192, mean near the middle.
    std::mt19937 gen(3);
    std::uniform_int_distribution<int> grey(131, 192);
    for (int y = 0; y < 34; ++y)
        for (int x = 0; x < 32; ++x) {
            const int v = grey(gen);
            sheet.setPixel(x, y, qRgb(v, v, v));
        }
    captionPanel(sheet, 32, 87, "Point");
    captionPanel(sheet, 119, 114, "Score");
    captionPanel(sheet, 233, 78, "Turn");
    return sheet;
}

QImage icon()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    const QRgb yellow = qRgb(255, 230, 0);
    const QRgb outline = qRgb(64, 48, 0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const double d = std::abs(x - 15.5) + std::abs(y - 15.5);
            if (d <= 14.0)
                img.setPixel(x, y, yellow);
            else if (d <= 16.0)
                img.setPixel(x, y, outline);
        }
    // The bent bar: a line of holes turning a corner.
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const QPoint bar[] = {{6, 12}, {18, 12}, {18, 25}};
    p.drawPolyline(bar, 3);
    return img;
}

bool save(const QImage &img, const QString &path, const char *format)
{
    if (!img.save(path, format)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s (%dx%d)\n", qPrintable(path), img.width(), img.height());
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("assets"));
    bool ok = save(tileSheet(), out.filePath(QStringLiteral("tiles.bmp")), "BMP");
    ok = save(panelSheet(), out.filePath(QStringLiteral("panels.bmp")), "BMP") && ok;
    ok = save(icon(), out.filePath(QStringLiteral("icon.png")), "PNG") && ok;
    return ok ? 0 : 1;
}
