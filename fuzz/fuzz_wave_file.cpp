// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Feeds arbitrary bytes to the wave reader, as if a player had put them in
// place of one of the game's sound files.

#include "wave_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace trazzo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<WaveSound> sound = parseWave(bytes);
    if (!sound)
        return 0;
    // What is taken can be handed to the sound output as it stands: a known
    // layout, whole frames, and no more samples than the file holds.
    const int bytesPerSample = sound->sample == WaveSound::Sample::UInt8   ? 1
                               : sound->sample == WaveSound::Sample::Int16 ? 2
                                                                           : 4;
    const qsizetype frame = qsizetype(bytesPerSample) * sound->channels;
    if (sound->channels < 1 || sound->channels > 8 || sound->sampleRate < 1000 || sound->sampleRate > 384000 ||
        sound->pcm.isEmpty() || sound->pcm.size() % frame != 0 || sound->pcm.size() > bytes.size() ||
        !bytes.contains(sound->pcm)) {
        std::fprintf(stderr, "wave taken but not playable: %d channels, %d Hz, %lld bytes\n", sound->channels,
                     sound->sampleRate, static_cast<long long>(sound->pcm.size()));
        std::abort();
    }
    return 0;
}
