// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tile_sheet_loader.h"

#include "player_file.h"
#include "texts.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

namespace trazzo {

namespace {

// Walks an RLE8 (compression 1) or RLE4 (compression 2) pixel stream and
// says whether it ends properly: with its end mark, or once every row the
// header promises is done. Qt's reader fills a cut-off stream up with black.
bool rleIsComplete(const QByteArray &file, qint64 start, qint64 rows, bool fourBits)
{
    const auto byte = [&file](qint64 at) { return quint8(file.at(at)); };
    qint64 row = 0;
    for (qint64 at = start; at + 1 < file.size();) {
        const int count = byte(at), code = byte(at + 1);
        at += 2;
        if (count > 0 || code > 2) { // a run, or `code` pixels stored as they are
            if (count == 0)
                at += ((fourBits ? (code + 1) / 2 : code) + 1) / 2 * 2;
            continue;
        }
        if (code == 1) // end of the picture
            return true;
        if (code == 2) { // a jump right and up
            if (at + 2 > file.size())
                return false;
            row += byte(at + 1);
            at += 2;
        } else {
            ++row;
        }
        if (row >= rows)
            return true;
    }
    return false;
}

// Qt's BMP reader fills a cut-off file up with black and calls it a
// success; a bitmap must hold all the rows its header promises. The fields
// stand where the header's own size says: the 12-byte OS/2 1.x header has
// 16-bit sizes and no compression; every longer one (OS/2 2.x up to 64
// bytes, Windows' 40, 52, 56, 108 and 124) starts with the 40-byte layout,
// a field past the end of a short one counting as 0.
bool bmpIsComplete(const QByteArray &file)
{
    constexpr qint64 FileHeader = 14;
    if (file.size() < FileHeader + 4)
        return false;
    const auto u16 = [&file](qint64 at) { return qFromLittleEndian<quint16>(file.constData() + at); };
    const auto u32 = [&file](qint64 at) { return qFromLittleEndian<quint32>(file.constData() + at); };
    const qint64 headerSize = u32(FileHeader);
    if ((headerSize != 12 && headerSize < 16) || headerSize > 124 || file.size() < FileHeader + headerSize)
        return false;
    const auto field = [&](qint64 at) { return at + 4 <= FileHeader + headerSize ? u32(at) : 0U; };
    qint64 width = 0, height = 0, bits = 0;
    quint32 compression = 0, colours = 0;
    if (headerSize == 12) {
        width = qint16(u16(18));
        height = qint16(u16(20));
        bits = u16(24);
    } else {
        width = qint32(u32(18));
        height = qint32(u32(22));
        bits = u16(28);
        compression = field(30);
        colours = field(46);
    }
    height = qAbs(height);

    // The pixels start after the header, the colour masks and the palette,
    // or further on where the file header points, as Qt reads them.
    qint64 pixels = FileHeader + headerSize;
    const bool masksInHeader = headerSize == 52 || headerSize == 56 || headerSize >= 108;
    if (compression == 3 && !masksInHeader)
        pixels += 12;
    if (bits == 1 || bits == 4 || bits == 8)
        pixels += qint64(colours ? colours : 1U << bits) * (headerSize == 12 ? 3 : 4);
    pixels = qMax(pixels, qint64(u32(10)));

    if (compression == 1 || compression == 2)
        return rleIsComplete(file, pixels, height, compression == 2);
    if (compression != 0 && compression != 3)
        return true; // nothing Qt reads
    const qint64 stride = (width * bits + 31) / 32 * 4;
    return file.size() >= pixels + stride * height;
}

std::optional<QImage> refuse(QString *reason, const QString &why)
{
    if (reason)
        *reason = why;
    return std::nullopt;
}

} // namespace

std::optional<QImage> loadTileSheet(const QString &path, QString *reason)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return refuse(reason, texts::PictureMissing);
    if (info.size() > MaxTileSheetFileBytes)
        return refuse(reason, texts::PictureTooLarge);

    // Opened without blocking and read only if it is still a regular file
    // and has not grown past the cap since it was measured.
    const PlayerFile file = readPlayerFile(path, MaxTileSheetFileBytes);
    if (file.kind == PlayerFile::Kind::Missing || file.kind == PlayerFile::Kind::NotRegular)
        return refuse(reason, texts::PictureMissing);
    if (file.kind == PlayerFile::Kind::Failed)
        return refuse(reason, texts::PictureUnreadable);
    if (file.goesOn)
        return refuse(reason, texts::PictureTooLarge);
    return loadTileSheet(file.bytes, reason);
}

std::optional<QImage> loadTileSheet(const QByteArray &bytes, QString *reason)
{
    if (bytes.size() > MaxTileSheetFileBytes)
        return refuse(reason, texts::PictureTooLarge);

    // Tell the format from the content, but only among the two we read;
    // no other decoder ever sees the file.
    const QByteArray head = bytes.left(54);
    QByteArray format;
    if (head.startsWith("BM"))
        format = "bmp";
    else if (head.startsWith("\x89PNG\r\n\x1a\n"))
        format = "png";
    else
        return refuse(reason, texts::PictureNotBmp);

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    reader.setAllocationLimit(8); // MB; a sheet needs a few KB
    // A top-down bitmap (top row stored first) comes with a negative height.
    const QSize size(reader.size().width(), qAbs(reader.size().height()));
    if (!size.isValid() || size.isEmpty())
        return refuse(reason, texts::PictureUnreadable);
    if (size.width() > MaxTileSheetSide || size.height() > MaxTileSheetSide)
        return refuse(reason, texts::PictureTooLarge);

    if (format == "bmp" && !bmpIsComplete(bytes))
        return refuse(reason, texts::PictureUnreadable);

    QImage image;
    if (!reader.read(&image) || image.isNull())
        return refuse(reason, texts::PictureUnreadable);
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace trazzo
