#pragma once

#include "core/MediaModule.h"

#include <QObject>
#include <QUrl>
#include <memory>

// The short chime at the end of a phase ("Glass", a WAV of our own in the
// resources). Made on first use (through the media module); without an audio output, or when the sound
// cannot be loaded, play() does nothing.
class FocusSound : public QObject {
    Q_OBJECT
public:
    static QUrl glassUrl() { return QUrl(QStringLiteral("qrc:/Glass.wav")); }

    explicit FocusSound(const QUrl& source = glassUrl(), QObject* parent = nullptr);
    void play();

private:
    QUrl m_source;
    std::unique_ptr<MediaModule::Effect> m_effect;
};
