// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound_effects.h"

#include "player_file.h"
#include "wave_file.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QFileInfo>
#include <QMediaDevices>

namespace trazzo {

bool allWaveFilesPresent(const QString &appFolder)
{
    bool all = true;
    for (const QString &name : WaveFiles)
        all = QFileInfo(appFolder + name).isFile() && all;
    return all;
}

namespace {

QAudioFormat audioFormatOf(const WaveSound &sound)
{
    QAudioFormat format;
    format.setChannelCount(sound.channels);
    format.setSampleRate(sound.sampleRate);
    switch (sound.sample) {
    case WaveSound::Sample::UInt8: format.setSampleFormat(QAudioFormat::UInt8); break;
    case WaveSound::Sample::Int16: format.setSampleFormat(QAudioFormat::Int16); break;
    case WaveSound::Sample::Int32: format.setSampleFormat(QAudioFormat::Int32); break;
    case WaveSound::Sample::Float: format.setSampleFormat(QAudioFormat::Float); break;
    }
    return format;
}

// The samples are read into memory once and played through an audio sink of
// our own. Qt's QSoundEffect is not used: in Qt 6.4 its shared loader thread
// can miss the request to stop, and the next effect destroyed waits for it
// for ever (seen as a hang at exit, about one run in sixty).
class QtEffect : public Effect {
public:
    explicit QtEffect(WaveSound &&sound) : m_format(audioFormatOf(sound)), m_samples(std::move(sound.pcm))
    {
        m_buffer.setBuffer(&m_samples);
        m_buffer.open(QIODevice::ReadOnly);
    }
    void play() override
    {
        // Made at the first play, so start-up opens no audio stream; the
        // desktop's chosen output, not just the first one Qt finds.
        if (!m_sink)
            m_sink = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), m_format);
        m_sink->stop();
        m_buffer.seek(0);
        m_sink->start(&m_buffer);
    }
    void stop() override
    {
        if (m_sink)
            m_sink->stop();
    }

private:
    QAudioFormat m_format;
    QByteArray m_samples;
    QBuffer m_buffer;
    std::unique_ptr<QAudioSink> m_sink;
};

} // namespace

std::unique_ptr<Effect> makeQtEffect(const QString &path)
{
    // A pipe or a device in a wave file's place must not hold up start-up.
    const PlayerFile file = readPlayerFile(path, MaxWaveFileBytes);
    if (file.kind != PlayerFile::Kind::Read || file.goesOn)
        return nullptr;
    auto sound = parseWave(file.bytes);
    if (!sound)
        return nullptr;
    return std::make_unique<QtEffect>(std::move(*sound));
}

SoundEffects::SoundEffects(const QString &appFolder, std::function<bool()> optionOn, const EffectFactory &factory)
    : m_optionOn(std::move(optionOn))
{
    for (const QString &name : WaveFiles)
        if (auto effect = factory(appFolder + name))
            m_effects.emplace(name, std::move(effect));
}

SoundEffects::~SoundEffects() = default;

void SoundEffects::PlayEffect(std::string_view fileName)
{
    if (!m_optionOn || !m_optionOn())
        return;
    const auto it = m_effects.find(QString::fromUtf8(fileName.data(), static_cast<qsizetype>(fileName.size())));
    if (it == m_effects.end())
        return;
    // One sound at a time: a new one cuts the last one off. Never ask an
    // effect whether it still plays: without a sound server it always says so.
    if (m_playing)
        m_playing->stop();
    m_playing = it->second.get();
    m_playing->play();
}

} // namespace trazzo
