#include "planner/FocusSound.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>

FocusSound::FocusSound(const QUrl& source, QObject* parent)
    : QObject(parent)
    , m_source(source)
{
}

void FocusSound::play()
{
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    if (!m_effect) {
        m_effect = new QSoundEffect(this);
        m_effect->setSource(m_source);
    }
    if (m_effect->status() == QSoundEffect::Error)
        return;
    // Still loading the first time: it starts as soon as it is ready.
    m_effect->play();
}
