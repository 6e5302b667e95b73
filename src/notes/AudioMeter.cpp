#include "notes/AudioMeter.h"

#include <algorithm>
#include <cmath>

double AudioMeter::dbfs(double rms)
{
    if (!(rms > 0))
        return kSilence;
    return std::max(kSilence, 20.0 * std::log10(rms / 32768.0));
}

float AudioMeter::level(double dbfs)
{
    if (std::isnan(dbfs))
        return 0.0f;
    return float(std::clamp((dbfs - kFloor) / -kFloor, 0.0, 1.0));
}

void AudioMeter::add(const qint16* samples, qsizetype count)
{
    if (count >= kWindow) {
        std::copy(samples + count - kWindow, samples + count, m_ring.begin());
        m_next = 0;
        m_filled = kWindow;
        return;
    }
    for (qsizetype i = 0; i < count; ++i) {
        m_ring[size_t(m_next)] = samples[i];
        m_next = (m_next + 1) % kWindow;
    }
    m_filled = std::min<qsizetype>(kWindow, m_filled + count);
}

void AudioMeter::reset()
{
    std::fill(m_ring.begin(), m_ring.end(), qint16(0));
    m_next = 0;
    m_filled = 0;
}

double AudioMeter::rms() const
{
    if (m_filled == 0)
        return 0;
    double sum = 0;
    // Until the ring is full its samples sit at the front.
    for (qsizetype i = 0; i < m_filled; ++i) {
        const double s = m_ring[size_t(i)];
        sum += s * s;
    }
    return std::sqrt(sum / double(m_filled));
}
