// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ports.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

namespace trazzo {

// The five effects, in the order start-up checks them.
inline const QStringList WaveFiles = {QStringLiteral("Get.wav"), QStringLiteral("Gold.wav"), QStringLiteral("High.wav"),
                                      QStringLiteral("Out.wav"), QStringLiteral("Over.wav")};

// Whether all five wave files are in the folder (which ends in '/').
bool allWaveFilesPresent(const QString &appFolder);

// One loaded sound. play() returns at once.
class Effect {
public:
    virtual ~Effect() = default;
    virtual void play() = 0;
    virtual void stop() = 0;
};

// Makes the effect for a file, or nothing for a file that cannot be played;
// the default one reads the wave into memory and plays it with Qt Multimedia.
using EffectFactory = std::function<std::unique_ptr<Effect>(const QString &path)>;
std::unique_ptr<Effect> makeQtEffect(const QString &path);

// The game's sound: plays an effect while the option is on, one at a time.
// The five files are loaded up front, so a play never waits for the disk,
// and a file that cannot be played is simply silent.
class SoundEffects : public Sound {
public:
    SoundEffects(const QString &appFolder, std::function<bool()> optionOn, const EffectFactory &factory = makeQtEffect);
    ~SoundEffects() override;

    void PlayEffect(std::string_view fileName) override;

private:
    std::function<bool()> m_optionOn;
    std::map<QString, std::unique_ptr<Effect>> m_effects;
    Effect *m_playing = nullptr;
};

} // namespace trazzo
