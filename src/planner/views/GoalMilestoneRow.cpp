#include "planner/views/GoalMilestoneRow.h"

#include "planner/TimelineMath.h"
#include "ui/Chrome.h"
#include "ui/DatePartClicks.h"
#include "ui/SpellLineEdit.h"
#include "ui/Symbols.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QToolButton>

GoalMilestoneRow::GoalMilestoneRow(const Milestone& milestone, QWidget* parent) : QWidget(parent), m_id(milestone.id)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 2, 8, 2);

    m_done = new QCheckBox(this);
    m_done->setAccessibleName(QStringLiteral("Done"));
    connect(m_done, &QCheckBox::toggled, this, [this](bool on) { Q_EMIT doneToggled(m_id, on); });
    row->addWidget(m_done, 0, Qt::AlignVCenter);

    m_title = new SpellLineEdit(this);
    m_title->setPlaceholderText(QStringLiteral("Milestone"));
    m_title->setFrame(false);
    connect(m_title, &QLineEdit::textEdited, this, [this](const QString& t) { Q_EMIT titleEdited(m_id, t); });
    row->addWidget(m_title, 1, Qt::AlignVCenter);

    m_date = new QDateEdit(this);
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    m_date->setFixedWidth(110);
    DatePartClicks::install(m_date);
    connect(m_date, &QDateEdit::dateChanged, this, [this](QDate day) { Q_EMIT dayChosen(m_id, day); });
    row->addWidget(m_date, 0, Qt::AlignVCenter);

    m_trash = new QToolButton(this);
    m_trash->setAutoRaise(true);
    m_trash->setIcon(Symbols::icon(QStringLiteral("trash"), Chrome::ink()));
    m_trash->setToolTip(QStringLiteral("Delete milestone"));
    m_trash->setAccessibleName(QStringLiteral("Delete milestone"));
    connect(m_trash, &QToolButton::clicked, this, [this] { Q_EMIT trashClicked(m_id); });
    row->addWidget(m_trash, 0, Qt::AlignVCenter);

    showMilestone(milestone);
}

void GoalMilestoneRow::showMilestone(const Milestone& milestone)
{
    {
        const QSignalBlocker b(m_done);
        m_done->setChecked(milestone.done);
    }
    if (m_title->text() != milestone.title) {
        const QSignalBlocker b(m_title);
        m_title->setText(milestone.title);
    }
    QFont f = m_title->font();
    if (f.strikeOut() != milestone.done) {
        f.setStrikeOut(milestone.done);
        m_title->setFont(f);
    }
    {
        const QSignalBlocker b(m_date);
        m_date->setDate(TimelineMath::dayOf(milestone.date, TimelineMath::currentZone()));
    }
}
