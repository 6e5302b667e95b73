#pragma once

#include "planner/FocusTask.h"

#include <QAbstractListModel>
#include <QList>
#include <QUuid>

class FocusModel;

// The focus tool's to-do list as rows for a view: the tasks of the model in
// list order, the done ones left out while completed tasks are hidden (the
// rows then remember where they stand in the full list, so moves still go by
// full positions). An edit changes only its row; adding, removing, moving
// and showing or hiding the completed tasks rebuild the rows.
class FocusTaskListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { IdRole = Qt::UserRole + 1, DoneRole, PomodorosRole, CurrentRole };
    static QString mimeType() { return QStringLiteral("application/x-brindleworks-focus-rows"); }

    explicit FocusTaskListModel(FocusModel* focus, QObject* parent = nullptr);

    FocusModel* focus() const { return m_focus; }
    bool showDone() const { return m_showDone; }
    void setShowDone(bool show);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override { return {mimeType()}; }
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

    // The task of a shown row (a default task outside the list).
    const FocusTask& task(int row) const;
    bool isCurrent(int row) const;
    int rowOf(const QUuid& id) const;
    // Full-list positions of the shown rows, in order.
    const QList<int>& shownPositions() const { return m_positions; }

private:
    void sync();
    void rebuild();

    FocusModel* m_focus;
    bool m_showDone = true;
    QList<int> m_positions;
    QList<FocusTask> m_shown;
    QUuid m_current;
};
