#include "PulseInput.h"

#include <QMetaObject>
#include <pulse/error.h>
#include <pulse/simple.h>

// What the reader thread captured, read by the program from its event loop.
class PulseInput::Device final : public QIODevice {
public:
    Device() { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }

    void append(const char* data, qsizetype size)
    {
        {
            QMutexLocker lock(&m_lock);
            m_data.append(data, size);
        }
        QMetaObject::invokeMethod(this, [this] { Q_EMIT readyRead(); }, Qt::QueuedConnection);
    }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override
    {
        QMutexLocker lock(&m_lock);
        return m_data.size() + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        QMutexLocker lock(&m_lock);
        const qint64 n = std::min<qint64>(maxSize, m_data.size());
        std::memcpy(data, m_data.constData(), size_t(n));
        m_data.remove(0, n);
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    mutable QMutex m_lock;
    QByteArray m_data;
};

PulseInput::PulseInput() = default;

PulseInput::~PulseInput()
{
    stop();
}

QIODevice* PulseInput::start(int sampleRate, int bufferBytes)
{
    stop();
    const pa_sample_spec format{PA_SAMPLE_S16LE, uint32_t(sampleRate), 1};
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(-1);
    attr.prebuf = uint32_t(-1);
    attr.minreq = uint32_t(-1);
    attr.fragsize = uint32_t(bufferBytes);
    int error = 0;
    m_stream = pa_simple_new(nullptr, "Brindleworks", PA_STREAM_RECORD, nullptr, "Voice note", &format, nullptr, &attr,
                             &error);
    if (!m_stream)
        return nullptr;
    m_stop = false;
    m_failed = false;
    m_device = std::make_unique<Device>();
    m_reader = std::thread([this, bufferBytes] { readLoop(qMax(2, bufferBytes / 2 * 2)); });
    return m_device.get();
}

void PulseInput::readLoop(int chunkBytes)
{
    QByteArray chunk(chunkBytes, Qt::Uninitialized);
    while (!m_stop) {
        int error = 0;
        if (pa_simple_read(m_stream, chunk.data(), size_t(chunk.size()), &error) < 0) {
            m_failed = true;
            // Told from the event loop, and only while this capture runs.
            QMetaObject::invokeMethod(
                m_device.get(),
                [this] {
                    if (onFailed && !m_stop)
                        onFailed();
                },
                Qt::QueuedConnection);
            return;
        }
        if (!m_stop)
            m_device->append(chunk.constData(), chunk.size());
    }
}

void PulseInput::stop()
{
    if (!m_stream)
        return;
    // The reader returns within one fragment.
    m_stop = true;
    if (m_reader.joinable())
        m_reader.join();
    pa_simple_free(m_stream);
    m_stream = nullptr;
    m_device.reset();
}
