// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Makes the game's five sound effects as 16-bit mono PCM wave files. Run it
// by hand after changing a sound and commit what it writes:
//
//   cmake --build build --target trazzo_make_sounds
//   build/tools/trazzo_make_sounds assets/sounds
//
// Each effect is a few notes or a sweep with a soft attack and release, so
// none of them clicks; all are scaled to the same peak.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int Rate = 22050;
constexpr double Pi = 3.14159265358979323846;

using Samples = std::vector<double>;

// A tone of `seconds` gliding from f0 to f1, with a few harmonics for a
// rounder sound and an exponential decay.
void tone(Samples &out, double start, double seconds, double f0, double f1, double decay,
          std::initializer_list<double> harmonics = {1.0, 0.3, 0.1})
{
    const auto first = static_cast<std::size_t>(start * Rate);
    const auto count = static_cast<std::size_t>(seconds * Rate);
    if (out.size() < first + count)
        out.resize(first + count, 0.0);
    double phase = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = double(i) / Rate;
        const double f = f0 + (f1 - f0) * (t / seconds);
        phase += 2 * Pi * f / Rate;
        double v = 0.0;
        int h = 1;
        for (double a : harmonics)
            v += a * std::sin(phase * h++);
        const double attack = std::min(1.0, t / 0.004);
        const double release = std::min(1.0, (seconds - t) / 0.02);
        out[first + i] += v * attack * release * std::exp(-decay * t);
    }
}

void noise(Samples &out, double start, double seconds, double level, double decay)
{
    std::mt19937 gen(99);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const auto first = static_cast<std::size_t>(start * Rate);
    const auto count = static_cast<std::size_t>(seconds * Rate);
    if (out.size() < first + count)
        out.resize(first + count, 0.0);
    double low = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = double(i) / Rate;
        low += 0.08 * (u(gen) - low); // a dull thump, not a hiss
        out[first + i] += level * low * std::exp(-decay * t) * std::min(1.0, (seconds - t) / 0.02);
    }
}

bool writeWave(const std::string &path, Samples s)
{
    double peak = 0.0;
    for (double v : s)
        peak = std::max(peak, std::abs(v));
    const double gain = peak > 0 ? 0.7 / peak : 0.0; // about -3 dBFS
    std::vector<std::int16_t> pcm(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        pcm[i] = static_cast<std::int16_t>(std::lround(std::clamp(s[i] * gain, -1.0, 1.0) * 32767));

    std::ofstream f(path, std::ios::binary);
    auto u32 = [&](std::uint32_t v) { f.put(char(v)).put(char(v >> 8)).put(char(v >> 16)).put(char(v >> 24)); };
    auto u16 = [&](std::uint16_t v) { f.put(char(v)).put(char(v >> 8)); };
    const auto bytes = static_cast<std::uint32_t>(pcm.size() * 2);
    f.write("RIFF", 4);
    u32(36 + bytes);
    f.write("WAVEfmt ", 8);
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(Rate);
    u32(Rate * 2);
    u16(2);
    u16(16);
    f.write("data", 4);
    u32(bytes);
    for (std::int16_t v : pcm)
        u16(static_cast<std::uint16_t>(v));
    if (!f) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("wrote %s (%.2f s)\n", path.c_str(), double(pcm.size()) / Rate);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::string dir = argc > 1 ? argv[1] : "assets/sounds";
    bool ok = true;

    Samples gold; // a coin: two bright bell notes
    tone(gold, 0.00, 0.12, 988, 988, 12, {1.0, 0.5, 0.25, 0.12});
    tone(gold, 0.08, 0.40, 1319, 1319, 7, {1.0, 0.5, 0.25, 0.12});
    ok = writeWave(dir + "/Gold.wav", gold) && ok;

    Samples get; // a quick rising blip
    tone(get, 0.00, 0.14, 620, 1480, 6, {1.0, 0.0, 0.25});
    ok = writeWave(dir + "/Get.wav", get) && ok;

    Samples out; // a falling thud
    tone(out, 0.00, 0.32, 320, 55, 7, {1.0, 0.4});
    noise(out, 0.00, 0.18, 1.5, 18);
    ok = writeWave(dir + "/Out.wav", out) && ok;

    Samples over; // a short sad phrase, down a minor third at a time
    tone(over, 0.00, 0.24, 392, 392, 3, {1.0, 0.0, 0.11, 0.0, 0.04});
    tone(over, 0.24, 0.24, 330, 330, 3, {1.0, 0.0, 0.11, 0.0, 0.04});
    tone(over, 0.48, 0.24, 311, 311, 3, {1.0, 0.0, 0.11, 0.0, 0.04});
    tone(over, 0.72, 0.60, 262, 247, 2.5, {1.0, 0.0, 0.11, 0.0, 0.04});
    ok = writeWave(dir + "/Over.wav", over) && ok;

    Samples high; // a cheerful fanfare: up the major chord, then hold
    const double notes[] = {523, 659, 784};
    for (int i = 0; i < 3; ++i)
        tone(high, 0.10 * i, 0.11, notes[i], notes[i], 4, {1.0, 0.45, 0.2});
    tone(high, 0.30, 0.50, 1047, 1047, 3, {1.0, 0.45, 0.2});
    tone(high, 0.30, 0.50, 784, 784, 3, {0.5, 0.2});
    ok = writeWave(dir + "/High.wav", high) && ok;

    return ok ? 0 : 1;
}
