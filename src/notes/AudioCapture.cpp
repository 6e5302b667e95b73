#include "notes/AudioCapture.h"

#include <QFile>

AudioCapture::AudioCapture(QObject* parent)
    : QObject(parent)
{
}

AudioCapture::~AudioCapture()
{
    if (isCapturing())
        stop();
}

AudioCapture::Start AudioCapture::start(const QString& path, QString* error)
{
    if (isCapturing())
        return Start::recordFailed;
    if (!m_writer.open(path, error))
        return Start::createFailed;
    m_meter.reset();
    m_carry.clear();
    m_reported = false;
    m_failed = false;

    // A fresh input for every start: one that failed before (the sound
    // server was down) is never reused.
    if (MediaModule::Services* media = MediaModule::services()) {
        m_source = media->makeInput();
        // About 100 ms per read keeps the meter lively and the wake-ups few.
        m_device = m_source->start(AudioFileWriter::kSampleRate, AudioFileWriter::kSampleRate / 10 * 2);
    }
    if (!m_device || m_source->hasFailed()) {
        m_source.reset();
        m_device = nullptr;
        m_writer.finish();
        QFile::remove(path);
        return Start::recordFailed;
    }
    connect(m_device, &QIODevice::readyRead, this, &AudioCapture::readAvailable);
    m_source->onFailed = [this] { fail(QStringLiteral("The microphone stopped delivering sound.")); };
    return Start::started;
}

void AudioCapture::readAvailable()
{
    if (!m_device)
        return;
    QByteArray data = m_carry + m_device->readAll();
    m_carry.clear();
    if (data.size() % 2) {
        m_carry = data.right(1);
        data.chop(1);
    }
    if (data.isEmpty())
        return;
    const auto* samples = reinterpret_cast<const qint16*>(data.constData());
    const qsizetype count = data.size() / 2;
    m_meter.add(samples, count);
    if (!m_writer.write(samples, count)) {
        fail(QStringLiteral("The recording could not be written."));
        return;
    }
    if (!m_reported) {
        m_reported = true;
        Q_EMIT capturing();
    }
}

void AudioCapture::fail(const QString& error)
{
    if (m_failed)
        return;
    m_failed = true;
    // Reported from the event loop: the receiver may stop this capture.
    QMetaObject::invokeMethod(this, [this, error] { Q_EMIT failed(error); }, Qt::QueuedConnection);
}

double AudioCapture::stop()
{
    if (!m_source)
        return currentTime();
    // What the device still holds, unless the input already failed.
    if (m_source->isRunning() && !m_source->hasFailed())
        readAvailable();
    m_source->stop();
    m_source.reset();
    m_device = nullptr;
    const double seconds = currentTime();
    m_finishError.clear();
    if (!m_writer.finish(&m_finishError) && m_finishError.isEmpty())
        m_finishError = QStringLiteral("The recording could not be written.");
    m_meter.reset();
    return seconds;
}

double AudioCapture::currentTime() const
{
    return double(m_writer.samplesWritten()) / AudioFileWriter::kSampleRate;
}
