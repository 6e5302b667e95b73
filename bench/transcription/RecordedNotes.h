#pragma once

#include "notes/SpeechLibrary.h"
#include "notes/Transcriber.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

class PrivatePulse;

// Word lists and the distance between them, for word error rates.
QStringList words(const QString& text);
int distance(const QStringList& a, const QStringList& b);
// The recogniser on a whole audio file in one pass: its best figure.
QString wholeFile(const SpeechLibrary::Api& lib, const QString& audio);

// Spoken sentences (espeak-ng, at natural rates) played into the private
// sound server's microphone and recorded by the recorder itself, then
// transcribed as a note is; beside each, the recogniser on the original
// 16 kHz WAV decoded whole, and the recorded note decoded whole. With
// BW_BENCH_KEEP set to a folder, the recordings are kept there and used
// again by the next run. Returns non-zero when nothing could be measured.
int recordedNotes(QTextStream& out, const SpeechLibrary::Api& lib, const Transcriber::Recogniser& recogniser,
                  PrivatePulse& pulse);
