#include "planner/views/GoalMilestonesPanel.h"

#include "planner/TimelineMath.h"
#include "planner/views/GoalMilestoneRow.h"
#include "ui/ChromeButton.h"
#include "ui/DatePartClicks.h"
#include "ui/SpellLineEdit.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

GoalMilestonesPanel::GoalMilestonesPanel(GoalEdit edit, const QDateTime& newDate, QWidget* parent)
    : ChromePanel(QStringLiteral("Milestones"), nullptr, parent)
    , m_edit(std::move(edit))
    , m_newDate(newDate)
{
    QVBoxLayout* col = contentLayout();

    auto* entry = new QHBoxLayout;
    m_entry = new SpellLineEdit(this);
    m_entry->setPlaceholderText(QStringLiteral("New milestone"));
    entry->addWidget(m_entry, 1, Qt::AlignVCenter);
    m_entryDate = new QDateEdit(this);
    m_entryDate->setCalendarPopup(true);
    m_entryDate->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    m_entryDate->setFixedWidth(120);
    DatePartClicks::install(m_entryDate);
    m_entryDate->setDate(TimelineMath::dayOf(m_newDate, TimelineMath::currentZone()));
    connect(m_entryDate, &QDateEdit::dateChanged, this, [this](QDate day) {
        m_newDate = TimelineMath::onDay(m_newDate, day, TimelineMath::currentZone());
    });
    entry->addWidget(m_entryDate, 0, Qt::AlignVCenter);
    m_add = new ChromeButton(QStringLiteral("Add"), false, true, this);
    connect(m_add, &QPushButton::clicked, this, &GoalMilestonesPanel::addTyped);
    // Return in the field adds the milestone, as the button does.
    connect(m_entry, &QLineEdit::returnPressed, this, &GoalMilestonesPanel::addTyped);
    entry->addWidget(m_add, 0, Qt::AlignVCenter);
    col->addLayout(entry);

    m_list = new QScrollArea(this);
    m_list->setWidgetResizable(true);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* inner = new QWidget(m_list);
    inner->setAutoFillBackground(true);
    QPalette pal = inner->palette();
    pal.setColor(QPalette::Window, Qt::white);
    inner->setPalette(pal);
    m_rowsLayout = new QVBoxLayout(inner);
    m_rowsLayout->setContentsMargins(0, 4, 0, 4);
    m_rowsLayout->setSpacing(0);
    m_rowsLayout->addStretch(1);
    m_list->setWidget(inner);
    col->addWidget(m_list, 1);
}

void GoalMilestonesPanel::addTyped()
{
    const QString typed = m_entry->text();
    bool added = false;
    const QDateTime date = m_newDate;
    m_edit([&](StudyGoal& g) { added = g.addMilestone(typed, date); });
    if (added)
        m_entry->clear();
}

void GoalMilestonesPanel::restartEntry(const QDateTime& newDate)
{
    m_entry->clear();
    m_newDate = newDate;
    const QSignalBlocker b(m_entryDate);
    m_entryDate->setDate(TimelineMath::dayOf(m_newDate, TimelineMath::currentZone()));
}

void GoalMilestonesPanel::showGoal(const StudyGoal& goal)
{
    bool sameRows = m_rows.size() == goal.milestones.size();
    for (qsizetype i = 0; sameRows && i < m_rows.size(); ++i)
        sameRows = m_rows.at(i)->milestoneId() == goal.milestones.at(i).id;
    if (!sameRows) {
        rebuildRows(goal.milestones);
        return;
    }
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        m_rows.at(i)->showMilestone(goal.milestones.at(i));
}

void GoalMilestonesPanel::rebuildRows(const QList<Milestone>& milestones)
{
    for (GoalMilestoneRow* r : std::as_const(m_rows)) {
        r->hide();
        r->deleteLater();
    }
    m_rows.clear();
    QWidget* inner = m_list->widget();
    for (const Milestone& m : milestones) {
        auto* row = new GoalMilestoneRow(m, inner);
        connect(row, &GoalMilestoneRow::doneToggled, this, [this](const QUuid& id, bool on) {
            m_edit([&](StudyGoal& g) {
                for (Milestone& ms : g.milestones)
                    if (ms.id == id)
                        ms.done = on;
            });
        });
        connect(row, &GoalMilestoneRow::titleEdited, this, [this](const QUuid& id, const QString& t) {
            m_edit([&](StudyGoal& g) {
                for (Milestone& ms : g.milestones)
                    if (ms.id == id)
                        ms.title = t;
            });
        });
        connect(row, &GoalMilestoneRow::dayChosen, this, [this](const QUuid& id, const QDate& day) {
            // No re-sort here: the list is sorted again by the next "Add".
            m_edit([&](StudyGoal& g) {
                for (Milestone& ms : g.milestones)
                    if (ms.id == id)
                        ms.date = TimelineMath::onDay(ms.date, day, TimelineMath::currentZone());
            });
        });
        connect(row, &GoalMilestoneRow::trashClicked, this, [this](const QUuid& id) {
            // Removed after the click is handled, so the row is not deleted
            // under its own button.
            QTimer::singleShot(0, this, [this, id] { m_edit([&](StudyGoal& g) { g.removeMilestone(id); }); });
        });
        m_rowsLayout->insertWidget(m_rowsLayout->count() - 1, row);
        m_rows.append(row);
    }
}
