#pragma once

#include <QtGlobal>
#include <vector>

// The input level of the recorder's meter, computed from the captured
// samples: the RMS of the last 50 ms in decibels relative to full scale,
// shown as (dBFS + 55) / 55 clamped to 0...1.
class AudioMeter {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kWindow = kSampleRate / 20; // 50 ms
    // The floor of the meter and the value of digital silence.
    static constexpr double kFloor = -55.0;
    static constexpr double kSilence = -160.0;

    // dBFS of a root-mean-square value of 16-bit samples (full scale 32768).
    static double dbfs(double rms);
    // (dB + 55) / 55 clamped to 0...1; not-a-number reads 0.
    static float level(double dbfs);

    // Keeps the newest kWindow samples.
    void add(const qint16* samples, qsizetype count);
    void reset();
    // RMS over the samples held (fewer than kWindow at the start).
    double rms() const;
    double averagePower() const { return dbfs(rms()); }

private:
    std::vector<qint16> m_ring = std::vector<qint16>(kWindow, 0);
    qsizetype m_next = 0;
    qsizetype m_filled = 0;
};
