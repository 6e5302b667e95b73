#pragma once

#include "planner/FocusTask.h"

#include <QUuid>
#include <QWidget>

class FocusModel;
class QLabel;
class QToolButton;
class SpellLineEdit;

// One row of the to-do list: done button, editable title (struck through
// when done), up to eight dots for the focus sessions credited, the target
// button that makes the task current, and the trash button.
class FocusTaskRow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxDots = 8;

    FocusTaskRow(FocusModel* model, const FocusTask& task, bool current, QWidget* parent = nullptr);

    QUuid id() const { return m_id; }
    // Shows the task as it is now; the title field keeps what is typed in it
    // when it already reads the same.
    void refresh(const FocusTask& task, bool current);

    QToolButton* doneButton() const { return m_done; }
    SpellLineEdit* titleField() const { return m_title; }
    QLabel* dots() const { return m_dots; }
    QToolButton* targetButton() const { return m_target; }
    QToolButton* trashButton() const { return m_trash; }

    // n copies of "●" for n credited sessions, at most eight; nothing below 1.
    static QString dotsText(qint64 pomodoros);

Q_SIGNALS:
    void deleteRequested(const QUuid& id, const QString& title);
    // The row was pressed outside its title field and buttons, and dragged.
    void dragStarted();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    FocusModel* m_model;
    QUuid m_id;
    bool m_isDone = false;
    QPoint m_pressedAt{-1, -1};
    QToolButton* m_done = nullptr;
    SpellLineEdit* m_title = nullptr;
    QLabel* m_dots = nullptr;
    QToolButton* m_target = nullptr;
    QToolButton* m_trash = nullptr;
};
