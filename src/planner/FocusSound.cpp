#include "planner/FocusSound.h"

FocusSound::FocusSound(const QUrl& source, QObject* parent)
    : QObject(parent)
    , m_source(source)
{
}

void FocusSound::play()
{
    MediaModule::Services* media = MediaModule::services();
    if (!media || !media->hasOutput())
        return;
    if (!m_effect)
        m_effect = media->makeEffect(m_source);
    m_effect->play();
}
