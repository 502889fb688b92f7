// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "wave_file.h"

#include <QtEndian>

#include <cstring>

namespace trazzo {

namespace {

constexpr std::uint16_t FormatPcm = 1;
constexpr std::uint16_t FormatFloat = 3;
constexpr std::uint16_t FormatExtensible = 0xFFFE;

std::uint16_t u16(const char *p) { return qFromLittleEndian<quint16>(p); }

std::uint32_t u32(const char *p) { return qFromLittleEndian<quint32>(p); }

struct Format {
    std::uint16_t tag = 0;
    int channels = 0;
    int sampleRate = 0;
    int blockAlign = 0;
    int bits = 0;
};

std::optional<Format> readFormat(const char *p, std::uint32_t size)
{
    if (size < 16)
        return std::nullopt;
    Format f;
    f.tag = u16(p);
    f.channels = static_cast<int>(u16(p + 2));
    f.sampleRate = static_cast<int>(std::min<std::uint32_t>(u32(p + 4), 0x7FFFFFFF));
    f.blockAlign = static_cast<int>(u16(p + 12));
    f.bits = static_cast<int>(u16(p + 14));
    if (f.tag == FormatExtensible) {
        // The real tag is the first two bytes of the sub-format GUID.
        if (size < 40)
            return std::nullopt;
        f.tag = u16(p + 24);
    }
    return f;
}

std::optional<WaveSound::Sample> sampleOf(const Format &f)
{
    if (f.tag == FormatPcm && f.bits == 8)
        return WaveSound::Sample::UInt8;
    if (f.tag == FormatPcm && f.bits == 16)
        return WaveSound::Sample::Int16;
    if (f.tag == FormatPcm && f.bits == 32)
        return WaveSound::Sample::Int32;
    if (f.tag == FormatFloat && f.bits == 32)
        return WaveSound::Sample::Float;
    return std::nullopt;
}

} // namespace

std::optional<WaveSound> parseWave(const QByteArray &file)
{
    const char *const data = file.constData();
    const qsizetype end = file.size();
    if (end < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return std::nullopt;

    // The RIFF size is not trusted: streamed files often leave it wrong.
    std::optional<Format> format;
    const char *samples = nullptr;
    qsizetype sampleBytes = 0;
    for (qsizetype at = 12; at + 8 <= end;) {
        const char *const id = data + at;
        const std::uint32_t size = u32(data + at + 4);
        const qsizetype body = at + 8;
        const qsizetype left = end - body;
        if (std::memcmp(id, "fmt ", 4) == 0) {
            if (size > left)
                return std::nullopt;
            format = readFormat(data + body, size);
        } else if (std::memcmp(id, "data", 4) == 0 && samples == nullptr) {
            samples = data + body;
            sampleBytes = std::min<qsizetype>(size, left);
        }
        if (size >= left)
            break;
        at = body + size + (size & 1); // chunks are padded to even lengths
    }
    if (!format || samples == nullptr)
        return std::nullopt;

    const auto sample = sampleOf(*format);
    if (!sample || format->channels < 1 || format->channels > 8 || format->sampleRate < 1000 ||
        format->sampleRate > 384000 || format->blockAlign != format->channels * format->bits / 8)
        return std::nullopt;

    const qsizetype frames = sampleBytes / format->blockAlign;
    if (frames == 0)
        return std::nullopt;
    WaveSound sound;
    sound.sample = *sample;
    sound.channels = format->channels;
    sound.sampleRate = format->sampleRate;
    sound.pcm = QByteArray(samples, frames * format->blockAlign);
    return sound;
}

} // namespace trazzo
