#pragma once

#include "core/MediaModule.h"

#include <QIODevice>
#include <QMutex>
#include <atomic>
#include <memory>
#include <thread>

struct pa_simple;

// Capture straight from the sound server: every start opens a connection
// of its own, so a start while the server was down never leaves capture
// broken once it is back (Qt Multimedia keeps one connection per process
// and never makes it again). A reader thread fills a buffer that the
// program reads from the event loop.
class PulseInput final : public MediaModule::Input {
public:
    PulseInput();
    ~PulseInput() override;

    QIODevice* start(int sampleRate, int bufferBytes) override;
    bool hasFailed() const override { return !m_stream || m_failed; }
    bool isRunning() const override { return m_stream && !m_failed && !m_stop; }
    void stop() override;

private:
    class Device;
    void readLoop(int chunkBytes);

    pa_simple* m_stream = nullptr;
    std::unique_ptr<Device> m_device;
    std::thread m_reader;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_failed{false};
};
