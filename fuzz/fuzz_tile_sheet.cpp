// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Feeds arbitrary bytes to the tile-sheet loader, as if the player had
// chosen a file holding them.

#include "tile_sheet_loader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace trazzo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QString reason;
    const std::optional<QImage> sheet = loadTileSheet(bytes, &reason);
    if (!sheet) {
        if (reason.isEmpty()) {
            std::fprintf(stderr, "tile sheet refused without a reason\n");
            std::abort();
        }
        return 0;
    }
    // What is taken is a real picture within the limits, ready to draw from.
    if (sheet->isNull() || sheet->width() > MaxTileSheetSide || sheet->height() > MaxTileSheetSide ||
        sheet->format() != QImage::Format_RGB32) {
        std::fprintf(stderr, "tile sheet taken but not usable: %dx%d format %d\n", sheet->width(), sheet->height(),
                     int(sheet->format()));
        std::abort();
    }
    return 0;
}
