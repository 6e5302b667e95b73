#pragma once

// Shared set-up of the recorder tests: notes with real audio files in the
// data folder, and a model whose dialogs are answered by the test.

#include "TestEnvironment.h"
#include "core/Store.h"
#include "notes/AudioFileWriter.h"
#include "notes/RecorderModel.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTimeZone>
#include <cmath>
#include <cstring>
#include <vector>

namespace RecorderFixtures {

inline void clearAll()
{
    QDir(TestEnvironment::dataFolder() + QStringLiteral("/Recordings")).removeRecursively();
    TestEnvironment::clearDataFolder();
}

// An .m4a of `seconds` of a quiet tone in the Recordings folder.
inline bool writeAudio(const QString& fileName, double seconds = 0.5)
{
    AudioFileWriter w;
    if (!w.open(RecorderModel::folder() + QLatin1Char('/') + fileName))
        return false;
    std::vector<qint16> s(size_t(seconds * 44100));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = qint16(3000 * std::sin(2 * M_PI * 440 * double(i) / 44100));
    return w.write(s.data(), qsizetype(s.size())) && w.finish();
}

// The recogniser's own test recording ("go forward ten meters", 16 kHz raw)
// as the recorder would have saved it: 44.1 kHz AAC in `target`.
inline bool writeSpeech(const QString& target)
{
    QFile f(QStringLiteral("/usr/share/pocketsphinx/test/data/goforward.raw"));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray raw = f.readAll();
    std::vector<qint16> in(size_t(raw.size() / 2));
    std::memcpy(in.data(), raw.constData(), in.size() * 2);
    // Linear interpolation to 44.1 kHz is plenty for the recogniser.
    std::vector<qint16> out(in.size() * 44100 / 16000);
    for (size_t i = 0; i < out.size(); ++i) {
        const double x = double(i) * 16000.0 / 44100.0;
        const size_t k = std::min(size_t(x), in.size() - 2);
        const double t = x - double(k);
        out[i] = qint16(std::lround(in[k] * (1 - t) + in[k + 1] * t));
    }
    AudioFileWriter w;
    return w.open(target) && w.write(out.data(), qsizetype(out.size())) && w.finish();
}

inline VoiceNote makeNote(const QString& title, const QString& fileName, const QString& transcript = QString(),
                          double duration = 0.5)
{
    VoiceNote n;
    n.id = QUuid::createUuid();
    n.title = title;
    n.fileName = fileName;
    n.created = QDateTime(QDate(2026, 3, 14), QTime(9, 5), Qt::UTC);
    n.duration = duration;
    n.transcript = transcript;
    return n;
}

inline bool saveNotes(const QList<VoiceNote>& notes)
{
    return Store::save(Json::fromList(notes), RecorderModel::fileName());
}

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The alerts a model asked, and the answer each one gets.
struct Alerts {
    struct Asked {
        QString title;
        QString text;
        AlertStyle style;
        QStringList buttons;
    };
    QList<Asked> asked;
    int answer = alertFirstButton;

    void attach(RecorderModel& m)
    {
        m.platform().alert = [this](const QString& t, const QString& x, AlertStyle s, const QStringList& b) {
            asked.append({t, x, s, b});
            return answer;
        };
    }
};

} // namespace RecorderFixtures
