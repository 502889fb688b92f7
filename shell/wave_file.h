// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "effect_output.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace trazzo {

// The samples of a RIFF wave file, as the sound output takes them.
struct WaveSound {
    using Sample = EffectSamples::Sample;
    Sample sample = Sample::Int16;
    int channels = 0;
    int sampleRate = 0;
    QByteArray pcm; // whole frames only
};

// Larger files are not sound effects; they are refused unread.
inline constexpr qint64 MaxWaveFileBytes = 16 * 1024 * 1024;

// Reads plain PCM (8, 16 or 32 bits) and 32-bit float waves, also in the
// extensible header. Anything else, or a file without a usable format and
// data chunk, gives nothing. A data chunk cut short keeps the frames that
// are there, as other players do.
std::optional<WaveSound> parseWave(const QByteArray &file);

} // namespace trazzo
