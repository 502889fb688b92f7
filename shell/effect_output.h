// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the sound module (libtrazzo-sound.so, beside the program) gives the
// game. The game loads it only when the player switches sound on, so a run
// with the option off never maps the sound server's client library and its
// codecs. Plain C++ only: the module shares no Qt types with the game.

#include <cstddef>

namespace trazzo {

// One effect's samples, as read from its wave file. The game keeps the bytes
// alive for as long as the output exists.
struct EffectSamples {
    enum class Sample { UInt8, Int16, Int32, Float };
    Sample sample = Sample::Int16;
    int channels = 0;
    int sampleRate = 0;
    const char *pcm = nullptr;
    std::size_t bytes = 0;
};

// Plays one effect at a time on the desktop's current output. Every call
// returns at once and may come from any thread: the work is done on a
// thread of the output's own, so a sound server that hangs, restarts or
// loses its device never holds up the caller.
class EffectOutput {
public:
    virtual ~EffectOutput() = default;
    // Starts the effect, cutting off the one playing.
    virtual void play(const EffectSamples &effect) = 0;
};

} // namespace trazzo

// The module's one entry point, found by name.
extern "C" {
using TrazzoMakeEffectOutput = trazzo::EffectOutput *(*)();
}
#define TRAZZO_MAKE_EFFECT_OUTPUT "trazzo_make_effect_output"
