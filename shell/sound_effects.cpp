#include "sound_effects.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace trazzo {

bool allWaveFilesPresent(const QString &appFolder)
{
    bool all = true;
    for (const QString &name : WaveFiles)
        all = QFileInfo(appFolder + name).isFile() && all;
    return all;
}

namespace {

class QtEffect : public Effect {
public:
    explicit QtEffect(const QString &path) : m_effect(QMediaDevices::defaultAudioOutput())
    {
        // The desktop's chosen output, not just the first one Qt finds.
        m_effect.setSource(QUrl::fromLocalFile(path));
    }
    void play() override { m_effect.play(); }
    void stop() override { m_effect.stop(); }

private:
    QSoundEffect m_effect;
};

} // namespace

std::unique_ptr<Effect> makeQtEffect(const QString &path)
{
    return std::make_unique<QtEffect>(path);
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
