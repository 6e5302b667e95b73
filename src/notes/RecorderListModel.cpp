#include "notes/RecorderListModel.h"

#include "notes/RecorderModel.h"

#include <QHash>

RecorderListModel::RecorderListModel(RecorderModel* recorder, QObject* parent)
    : QAbstractListModel(parent)
    , m_recorder(recorder)
    , m_shown(recorder->notes())
    , m_playing(recorder->playingID())
    , m_transcribing(recorder->transcribingID())
{
    connect(recorder, &RecorderModel::notesChanged, this, &RecorderListModel::sync);
    connect(recorder, &RecorderModel::playingIDChanged, this, [this] {
        touch(m_playing);
        m_playing = m_recorder->playingID();
        touch(m_playing);
    });
    connect(recorder, &RecorderModel::playProgressChanged, this, [this] { touch(m_playing, {ProgressRole}); });
    connect(recorder, &RecorderModel::transcribingIDChanged, this, [this] {
        touch(m_transcribing);
        m_transcribing = m_recorder->transcribingID();
        touch(m_transcribing);
    });
}

int RecorderListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

const VoiceNote& RecorderListModel::note(int row) const
{
    static const VoiceNote none;
    return row >= 0 && row < m_shown.size() ? m_shown.at(row) : none;
}

int RecorderListModel::rowOf(const QUuid& id) const
{
    if (id.isNull())
        return -1;
    for (int i = 0; i < m_shown.size(); ++i) {
        if (m_shown.at(i).id == id)
            return i;
    }
    return -1;
}

QVariant RecorderListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size())
        return {};
    const VoiceNote& n = m_shown.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return n.title;
    case IdRole:
        return n.id;
    case TranscriptRole:
        return n.transcript;
    case DurationRole:
        return n.duration;
    case ProgressRole:
        return n.id == m_playing ? m_recorder->playProgress() : 0.0;
    default:
        return {};
    }
}

Qt::ItemFlags RecorderListModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::NoItemFlags;
}

void RecorderListModel::touch(const QUuid& id, const QList<int>& roles)
{
    const int row = rowOf(id);
    if (row >= 0)
        Q_EMIT dataChanged(index(row), index(row), roles);
}

void RecorderListModel::sync()
{
    const QList<VoiceNote>& now = m_recorder->notes();
    const qsizetype before = m_shown.size();
    const qsizetype after = now.size();
    // Where the two lists first and last differ in their ids.
    qsizetype head = 0;
    while (head < before && head < after && m_shown.at(head).id == now.at(head).id)
        ++head;
    qsizetype tail = 0;
    while (tail < before - head && tail < after - head
           && m_shown.at(before - 1 - tail).id == now.at(after - 1 - tail).id)
        ++tail;
    const qsizetype removed = before - head - tail;
    const qsizetype inserted = after - head - tail;
    if (removed > 0 && inserted > 0) {
        // A reorder or a mixed change: rows cannot follow their notes.
        beginResetModel();
        m_shown = now;
        endResetModel();
        return;
    }
    if (removed > 0) {
        beginRemoveRows(QModelIndex(), int(head), int(head + removed - 1));
        m_shown.remove(head, removed);
        endRemoveRows();
    } else if (inserted > 0) {
        beginInsertRows(QModelIndex(), int(head), int(head + inserted - 1));
        for (qsizetype i = 0; i < inserted; ++i)
            m_shown.insert(head + i, now.at(head + i));
        endInsertRows();
    }
    // Same ids in the same order now: report the rows whose note changed.
    for (int i = 0; i < m_shown.size(); ++i) {
        if (!(m_shown.at(i) == now.at(i))) {
            m_shown[i] = now.at(i);
            Q_EMIT dataChanged(index(i), index(i));
        }
    }
}
