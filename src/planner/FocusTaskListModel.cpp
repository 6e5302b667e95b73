#include "planner/FocusTaskListModel.h"

#include "planner/FocusModel.h"

#include <QMimeData>

FocusTaskListModel::FocusTaskListModel(FocusModel* focus, QObject* parent)
    : QAbstractListModel(parent)
    , m_focus(focus)
    , m_current(focus->currentTaskID())
{
    rebuild();
    connect(focus, &FocusModel::tasksChanged, this, &FocusTaskListModel::sync);
    connect(focus, &FocusModel::currentTaskChanged, this, [this] {
        const QUuid before = m_current;
        m_current = m_focus->currentTaskID();
        for (const QUuid& id : {before, m_current}) {
            const int r = rowOf(id);
            if (r >= 0)
                Q_EMIT dataChanged(index(r), index(r));
        }
    });
}

void FocusTaskListModel::setShowDone(bool show)
{
    if (m_showDone == show)
        return;
    m_showDone = show;
    beginResetModel();
    rebuild();
    endResetModel();
}

void FocusTaskListModel::rebuild()
{
    m_positions.clear();
    m_shown.clear();
    const QList<FocusTask>& tasks = m_focus->tasks();
    for (int i = 0; i < tasks.size(); ++i) {
        if (m_showDone || !tasks.at(i).done) {
            m_positions.append(i);
            m_shown.append(tasks.at(i));
        }
    }
}

void FocusTaskListModel::sync()
{
    const QList<FocusTask>& tasks = m_focus->tasks();
    // The same tasks in the same places: only their contents changed.
    bool same = true;
    int shownCount = 0;
    for (int i = 0; i < tasks.size() && same; ++i) {
        if (!m_showDone && tasks.at(i).done)
            continue;
        same = shownCount < m_positions.size() && m_positions.at(shownCount) == i
            && m_shown.at(shownCount).id == tasks.at(i).id;
        ++shownCount;
    }
    if (same && shownCount == m_positions.size()) {
        for (int r = 0; r < m_shown.size(); ++r) {
            const FocusTask& now = tasks.at(m_positions.at(r));
            if (!(m_shown.at(r) == now)) {
                m_shown[r] = now;
                Q_EMIT dataChanged(index(r), index(r));
            }
        }
        return;
    }
    beginResetModel();
    rebuild();
    endResetModel();
}

int FocusTaskListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

const FocusTask& FocusTaskListModel::task(int row) const
{
    static const FocusTask none;
    return row >= 0 && row < m_shown.size() ? m_shown.at(row) : none;
}

bool FocusTaskListModel::isCurrent(int row) const
{
    return !m_current.isNull() && task(row).id == m_current;
}

int FocusTaskListModel::rowOf(const QUuid& id) const
{
    if (id.isNull())
        return -1;
    for (int r = 0; r < m_shown.size(); ++r) {
        if (m_shown.at(r).id == id)
            return r;
    }
    return -1;
}

QVariant FocusTaskListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size())
        return {};
    const FocusTask& t = m_shown.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return t.title;
    case IdRole:
        return t.id;
    case DoneRole:
        return t.done;
    case PomodorosRole:
        return t.pomodoros;
    case CurrentRole:
        return isCurrent(index.row());
    default:
        return {};
    }
}

Qt::ItemFlags FocusTaskListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEditable;
}

QMimeData* FocusTaskListModel::mimeData(const QModelIndexList& indexes) const
{
    // The ids of the rows, one per line: a drop goes by the list's own
    // selection, the text only says what is being moved.
    QByteArray ids;
    for (const QModelIndex& i : indexes)
        ids += task(i.row()).id.toByteArray(QUuid::WithoutBraces) + '\n';
    auto* mime = new QMimeData;
    mime->setData(mimeType(), ids);
    return mime;
}
