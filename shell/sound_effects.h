// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "effect_output.h"
#include "ports.h"
#include "wave_file.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace trazzo {

// The five effects, in the order start-up checks them.
inline const QStringList WaveFiles = {QStringLiteral("Get.wav"), QStringLiteral("Gold.wav"), QStringLiteral("High.wav"),
                                      QStringLiteral("Out.wav"), QStringLiteral("Over.wav")};

// Whether all five wave files are in the folder (which ends in '/').
bool allWaveFilesPresent(const QString &appFolder);

// Reads one wave file the way start-up does: a file that is not a regular
// one within the size cap, or not a wave we can play, gives nothing.
std::optional<WaveSound> readWaveFile(const QString &path);

// Makes the output the effects play through, or nothing. It runs off the
// game's thread, once, when sound is first wanted.
using OutputLoader = std::function<std::unique_ptr<EffectOutput>()>;

// Loads the sound module from the given file, by default the one beside the
// program.
std::unique_ptr<EffectOutput> loadEffectOutput(const QString &modulePath = {});

// The game's sound: plays an effect while the option is on, one at a time.
// The five files are read up front, so a play never waits for the disk, and
// a file that cannot be played is simply silent. The output is loaded in
// the background when the option is first switched on (prepare) or an
// effect is first wanted; an effect asked for meanwhile plays once it is
// there.
class SoundEffects : public Sound {
public:
    SoundEffects(
        const QString &appFolder, std::function<bool()> optionOn,
        OutputLoader loader = [] { return loadEffectOutput(); });
    ~SoundEffects() override;

    void prepare();
    void PlayEffect(std::string_view fileName) override;

private:
    std::function<bool()> m_optionOn;
    OutputLoader m_loader;
    std::map<QString, WaveSound> m_waves;
    std::map<QString, EffectSamples> m_effects;

    std::thread m_loading;
    std::mutex m_mutex; // guards the three below, shared with the loading
    std::unique_ptr<EffectOutput> m_output;
    bool m_loaded = false;
    const EffectSamples *m_waiting = nullptr;
};

} // namespace trazzo
