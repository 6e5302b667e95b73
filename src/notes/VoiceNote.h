#pragma once

#include <QDateTime>
#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <optional>

// One voice note: its audio file in the "Recordings" folder and what the
// user wrote about it. Kept, newest first, in "recordings.json".
struct VoiceNote {
    QUuid id;
    QString title;
    QString fileName;   // a name inside the "Recordings" folder, never a path
    QDateTime created;  // end of the recording
    double duration = 0; // seconds
    QString transcript;

    QJsonValue toJson() const;
    // Strict: all six keys are required, "fileName" must be a plain file name
    // and "duration" a finite, non-negative number.
    static std::optional<VoiceNote> fromJson(const QJsonValue& value);

    friend bool operator==(const VoiceNote&, const VoiceNote&) = default;
};
