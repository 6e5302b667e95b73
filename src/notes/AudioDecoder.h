#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <vector>

// Reads any audio file libav understands and hands it on as 16-bit mono
// samples at a chosen rate (the recogniser wants 16 kHz).
namespace AudioDecoder {

// Called with each block of converted samples; returning false stops the
// decoding (cancelled).
using Sink = std::function<bool(const qint16* samples, qsizetype count)>;

enum class Outcome { finished, cancelled, failed };

struct Result {
    Outcome outcome = Outcome::failed;
    QString error; // failed: what went wrong
};

Result decode(const QString& path, int sampleRate, const Sink& sink);

// The whole file at once (tests, small files).
std::vector<qint16> decodeAll(const QString& path, int sampleRate, QString* error = nullptr);

} // namespace AudioDecoder
