// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound_effects.h"

#include "player_file.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFileInfo>
#include <QLibrary>

namespace trazzo {

bool allWaveFilesPresent(const QString &appFolder)
{
    bool all = true;
    for (const QString &name : WaveFiles)
        all = QFileInfo(appFolder + name).isFile() && all;
    return all;
}

std::optional<WaveSound> readWaveFile(const QString &path)
{
    // A pipe or a device in a wave file's place must not hold up start-up.
    const PlayerFile file = readPlayerFile(path, MaxWaveFileBytes);
    if (file.kind != PlayerFile::Kind::Read || file.goesOn)
        return std::nullopt;
    return parseWave(file.bytes);
}

std::unique_ptr<EffectOutput> loadEffectOutput(const QString &modulePath)
{
    const QString path =
        modulePath.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/trazzo-sound.so") : modulePath;
    // Only a regular file: a pipe in the module's place would keep the
    // loader waiting for a writer, holding a lock every thread of the game
    // needs (the save at the quit among them).
    if (!QFileInfo(path).isFile())
        return nullptr;
    // Never unloaded: its thread may outlive the output by a moment.
    QLibrary module(path);
    const auto make = reinterpret_cast<TrazzoMakeEffectOutput>(module.resolve(TRAZZO_MAKE_EFFECT_OUTPUT));
    return std::unique_ptr<EffectOutput>(make ? make() : nullptr);
}

SoundEffects::SoundEffects(const QString &appFolder, std::function<bool()> optionOn, OutputLoader loader)
    : m_optionOn(std::move(optionOn)), m_loader(std::move(loader))
{
    for (const QString &name : WaveFiles) {
        auto wave = readWaveFile(appFolder + name);
        if (!wave)
            continue;
        const WaveSound &kept = m_waves.emplace(name, std::move(*wave)).first->second;
        m_effects.emplace(name, EffectSamples{kept.sample, kept.channels, kept.sampleRate, kept.pcm.constData(),
                                              static_cast<std::size_t>(kept.pcm.size())});
    }
}

SoundEffects::~SoundEffects()
{
    if (m_loading.joinable())
        m_loading.join();
}

void SoundEffects::prepare()
{
    if (m_loading.joinable() || m_effects.empty() || !m_loader)
        return;
    // Mapping the module and the sound server's client library takes some
    // milliseconds; the game runs on meanwhile.
    m_loading = std::thread([this] {
        std::unique_ptr<EffectOutput> output = m_loader();
        std::lock_guard lock(m_mutex);
        m_output = std::move(output);
        m_loaded = true;
        if (m_output && m_waiting)
            m_output->play(*m_waiting);
        m_waiting = nullptr;
    });
}

void SoundEffects::PlayEffect(std::string_view fileName)
{
    if (!m_optionOn || !m_optionOn())
        return;
    const auto it = m_effects.find(QString::fromUtf8(fileName.data(), static_cast<qsizetype>(fileName.size())));
    if (it == m_effects.end())
        return;
    prepare();
    // One sound at a time: the output cuts the last one off. The call
    // only hands the effect over; it never waits for the sound server.
    std::lock_guard lock(m_mutex);
    if (m_output)
        m_output->play(it->second);
    else if (!m_loaded)
        m_waiting = &it->second;
}

} // namespace trazzo
