// The media module: capture straight from the sound server, playback and
// sounds through Qt Multimedia, behind the plain interfaces of
// core/MediaModule.h. Loaded by the program on first use; it
// shares no state with the program.
#include "PulseInput.h"
#include "core/MediaModule.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QPointer>
#include <QSoundEffect>

namespace {

class QtPlayer final : public MediaModule::Player {
public:
    QtPlayer()
        : m_player(new QMediaPlayer)
        , m_output(new QAudioOutput(m_player))
    {
        m_player->setAudioOutput(m_output);
        QObject::connect(m_player, &QMediaPlayer::mediaStatusChanged, m_player, [this](QMediaPlayer::MediaStatus s) {
            if (s == QMediaPlayer::EndOfMedia && onFinished)
                onFinished();
        });
        QObject::connect(m_player, &QMediaPlayer::errorOccurred, m_player,
                         [this](QMediaPlayer::Error, const QString& text) {
                             if (onError)
                                 onError(text);
                         });
    }
    ~QtPlayer() override
    {
        // Owners drop a player from the event loop, never from inside one
        // of its own signals (those are relayed through a queued call).
        m_player->disconnect();
        m_player->stop();
        delete m_player;
    }

    void play(const QUrl& source) override
    {
        m_player->setSource(source);
        m_player->play();
    }
    void stop() override { m_player->stop(); }
    qint64 position() const override { return m_player->position(); }
    qint64 duration() const override { return m_player->duration(); }

private:
    QMediaPlayer* m_player;
    QAudioOutput* m_output;
};

class QtEffect final : public MediaModule::Effect {
public:
    explicit QtEffect(const QUrl& source)
    {
        m_effect->setSource(source);
    }
    ~QtEffect() override { delete m_effect; }

    void play() override
    {
        if (m_effect->status() == QSoundEffect::Error)
            return;
        // Still loading the first time: it starts as soon as it is ready.
        m_effect->play();
    }

private:
    QSoundEffect* m_effect = new QSoundEffect;
};

class QtServices final : public MediaModule::Services {
public:
    std::unique_ptr<MediaModule::Input> makeInput() override { return std::make_unique<PulseInput>(); }
    std::unique_ptr<MediaModule::Player> makePlayer() override { return std::make_unique<QtPlayer>(); }
    std::unique_ptr<MediaModule::Effect> makeEffect(const QUrl& source) override
    {
        return std::make_unique<QtEffect>(source);
    }
    bool hasOutput() override { return !QMediaDevices::audioOutputs().isEmpty(); }
};

} // namespace

extern "C" Q_DECL_EXPORT MediaModule::Services* bw_media_services()
{
    static QtServices services;
    return &services;
}
