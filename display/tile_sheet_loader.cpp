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

// Qt's BMP reader fills a cut-off file up with black and calls it a
// success; an uncompressed bitmap must hold all the rows its header promises.
bool bmpIsComplete(const QByteArray &header, qint64 fileSize)
{
    if (header.size() < 34)
        return false;
    const auto u32 = [&header](int at) { return qFromLittleEndian<quint32>(header.constData() + at); };
    const auto s32 = [&header](int at) { return qFromLittleEndian<qint32>(header.constData() + at); };
    const quint32 compression = u32(30);
    if (compression != 0 && compression != 3) // RLE sizes vary; the decoder checks those
        return true;
    const qint64 width = s32(18);
    const qint64 height = qAbs(qint64(s32(22)));
    const qint64 bits = qFromLittleEndian<quint16>(header.constData() + 28);
    const qint64 stride = (width * bits + 31) / 32 * 4;
    return fileSize >= qint64(u32(10)) + stride * height;
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
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return refuse(reason, texts::PictureUnreadable);
    if (size.width() > MaxTileSheetSide || size.height() > MaxTileSheetSide)
        return refuse(reason, texts::PictureTooLarge);

    if (format == "bmp" && !bmpIsComplete(head, bytes.size()))
        return refuse(reason, texts::PictureUnreadable);

    QImage image;
    if (!reader.read(&image) || image.isNull())
        return refuse(reason, texts::PictureUnreadable);
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace trazzo
