#pragma once

#include "notes/VoiceNote.h"

#include <QAbstractListModel>
#include <QList>
#include <QUuid>

class RecorderModel;

// The recorder's notes as a list for a view: one row per note, newest
// first, following the recorder model. A recording added or a note deleted
// inserts or removes its one row; an edit changes only its row; the rows
// whose playback or transcription state changes are reported as changed.
class RecorderListModel : public QAbstractListModel {
    Q_OBJECT
public:
    // ProgressRole changes alone while a note plays: nothing but its
    // progress bar needs drawing again.
    enum Role { IdRole = Qt::UserRole + 1, TranscriptRole, DurationRole, ProgressRole };

    explicit RecorderListModel(RecorderModel* recorder, QObject* parent = nullptr);

    RecorderModel* recorder() const { return m_recorder; }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The note of a row (a default note outside the list).
    const VoiceNote& note(int row) const;
    // The row of a note, or -1.
    int rowOf(const QUuid& id) const;

private:
    void sync();
    void touch(const QUuid& id, const QList<int>& roles = {});

    RecorderModel* m_recorder;
    QList<VoiceNote> m_shown; // what the rows show now
    QUuid m_playing;
    QUuid m_transcribing;
};
