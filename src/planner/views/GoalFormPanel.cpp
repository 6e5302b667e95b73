#include "planner/views/GoalFormPanel.h"

#include "planner/TimelineMath.h"
#include "planner/views/GoalSwatches.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/DatePartClicks.h"
#include "ui/Fonts.h"
#include "ui/SegmentedPicker.h"
#include "ui/SpellLineEdit.h"
#include "ui/SpellTextView.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

namespace {

// The notes view inside a thin rounded outline.
class NotesFrame : public QWidget {
public:
    explicit NotesFrame(QWidget* content, QWidget* parent) : QWidget(parent)
    {
        auto* l = new QVBoxLayout(this);
        l->setContentsMargins(2, 2, 2, 2);
        l->addWidget(content);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor::fromRgbF(0.5f, 0.5f, 0.5f, 0.3f), 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    }
};

QDateEdit* datePicker(QWidget* parent)
{
    auto* d = new QDateEdit(parent);
    d->setCalendarPopup(true);
    d->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    DatePartClicks::install(d);
    return d;
}

QLabel* label(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    return l;
}

int sliderValue(double manualProgress)
{
    const double p = std::isnan(manualProgress) ? 0 : std::clamp(manualProgress, 0.0, 1.0);
    return int(std::lround(p * GoalFormPanel::kSliderSteps));
}

} // namespace

GoalFormPanel::GoalFormPanel(GoalEdit edit, QWidget* parent)
    : ChromePanel(QStringLiteral("Goal"), nullptr, parent)
    , m_edit(std::move(edit))
{
    build();
}

void GoalFormPanel::build()
{
    QVBoxLayout* col = contentLayout();

    m_title = new SpellLineEdit(this);
    m_title->setPlaceholderText(QStringLiteral("Goal title"));
    m_title->setFont(Fonts::system(14, QFont::DemiBold));
    connect(m_title, &QLineEdit::textEdited, this,
            [this](const QString& t) { m_edit([&](StudyGoal& g) { g.title = t; }); });
    col->addWidget(m_title);

    auto* termRow = new QHBoxLayout;
    QStringList terms;
    for (GoalTerm t : GoalTerm::allCases())
        terms << t.rawValue();
    m_term = new SegmentedPicker(terms, this);
    m_term->setFixedWidth(220);
    connect(m_term, &SegmentedPicker::activated, this, [this](int i) {
        const GoalTerm term = GoalTerm::allCases().value(i, GoalTerm::shortTerm);
        m_edit([&](StudyGoal& g) { g.term = term; });
    });
    termRow->addWidget(m_term, 0, Qt::AlignVCenter);
    m_swatches = new GoalSwatches(this);
    connect(m_swatches, &GoalSwatches::chosen, this,
            [this](int i) { m_edit([&](StudyGoal& g) { g.colorIndex = i; }); });
    termRow->addWidget(m_swatches, 0, Qt::AlignVCenter);
    termRow->addStretch(1);
    col->addLayout(termRow);

    auto* dateRow = new QHBoxLayout;
    m_start = datePicker(this);
    m_due = datePicker(this);
    dateRow->addWidget(label(QStringLiteral("Start"), this));
    dateRow->addWidget(m_start);
    dateRow->addSpacing(8);
    dateRow->addWidget(label(QStringLiteral("Due"), this));
    dateRow->addWidget(m_due);
    dateRow->addStretch(1);
    connect(m_start, &QDateEdit::dateChanged, this, [this](QDate day) {
        // Start has no limit; moving it past the due day leaves the due day.
        m_edit([&](StudyGoal& g) { g.start = TimelineMath::onDay(g.start, day, TimelineMath::currentZone()); });
    });
    connect(m_due, &QDateEdit::dateChanged, this, [this](QDate day) {
        m_edit([&](StudyGoal& g) {
            const QTimeZone zone = TimelineMath::currentZone();
            const QDate startDay = TimelineMath::dayOf(g.start, zone);
            g.due = TimelineMath::onDay(g.due, std::max(day, startDay), zone);
        });
    });
    col->addLayout(dateRow);

    m_follow = new QCheckBox(QStringLiteral("Progress follows milestones"), this);
    connect(m_follow, &QCheckBox::toggled, this,
            [this](bool on) { m_edit([&](StudyGoal& g) { g.progressFromMilestones = on; }); });
    col->addWidget(m_follow);

    m_progressRow = new QWidget(this);
    auto* pr = new QHBoxLayout(m_progressRow);
    pr->setContentsMargins(0, 0, 0, 0);
    pr->addWidget(label(QStringLiteral("Progress"), m_progressRow));
    m_slider = new QSlider(Qt::Horizontal, m_progressRow);
    m_slider->setRange(0, kSliderSteps);
    connect(m_slider, &QSlider::valueChanged, this, [this](int v) {
        m_edit([&](StudyGoal& g) { g.manualProgress = double(v) / kSliderSteps; });
    });
    pr->addWidget(m_slider, 1);
    m_percent = label(QString(), m_progressRow);
    m_percent->setFont(Fonts::system(13, QFont::Normal, Fonts::Design::Monospaced));
    m_percent->setAlignment(Qt::AlignCenter);
    m_percent->setFixedWidth(40);
    pr->addWidget(m_percent);
    col->addWidget(m_progressRow);

    m_status = label(QString(), this);
    m_status->setFont(Fonts::system(12, QFont::Bold, Fonts::Design::Rounded));
    col->addWidget(m_status);

    auto* notesCaption = label(QStringLiteral("Notes"), this);
    notesCaption->setFont(Fonts::style(Fonts::TextStyle::Caption));
    col->addWidget(notesCaption);
    m_notes = new SpellTextView(QString(), Fonts::system(12), Qt::white, true, Qt::black, true, this);
    m_notes->setFrameShape(QFrame::NoFrame);
    // A field of the form: Tab goes on to the next control, as from every
    // other field here, instead of typing a tab into the notes.
    m_notes->setTabChangesFocus(true);
    connect(m_notes, &SpellTextView::textEdited, this,
            [this](const QString& t) { m_edit([&](StudyGoal& g) { g.notes = t; }); });
    auto* notesFrame = new NotesFrame(m_notes, this);
    notesFrame->setFixedHeight(60);
    col->addWidget(notesFrame);

    m_delete = new ChromeButton(QStringLiteral("Delete Goal…"), false, true, this);
    connect(m_delete, &QPushButton::clicked, this, &GoalFormPanel::deleteRequested);
    col->addWidget(m_delete, 0, Qt::AlignLeft);
    col->addStretch(1);
}

QString GoalFormPanel::statusLine(const StudyGoal& goal, const QDateTime& now, const QTimeZone& zone)
{
    const GoalStatus status = TimelineMath::status(goal, now, zone);
    const qint64 d = TimelineMath::daysBetween(now, goal.due, zone);
    const QString days = d < 0 ? QStringLiteral("%1 days overdue").arg(-d) : QStringLiteral("%1 days left").arg(d);
    return status.rawValue() + QStringLiteral(" • ") + days + QStringLiteral(" • ")
        + QString::number(TimelineMath::wholePercent(goal.progress())) + QStringLiteral("% complete");
}

void GoalFormPanel::showGoal(const StudyGoal& goal, const QDateTime& now)
{
    const QTimeZone zone = TimelineMath::currentZone();
    if (m_title->text() != goal.title) {
        const QSignalBlocker b(m_title);
        m_title->setText(goal.title);
    }
    {
        const QSignalBlocker b(m_term);
        m_term->setCurrentIndex(int(GoalTerm::allCases().indexOf(goal.term)));
    }
    m_swatches->setCurrent(goal.colorIndex);

    const QDate startDay = TimelineMath::dayOf(goal.start, zone);
    const QDate dueDay = TimelineMath::dayOf(goal.due, zone);
    {
        const QSignalBlocker b(m_start);
        m_start->setDate(startDay);
    }
    {
        // Days before the start are refused; a due day already before it
        // (start moved past due) still shows as it is.
        const QSignalBlocker b(m_due);
        m_due->setMinimumDate(std::min(startDay, dueDay));
        m_due->setDate(dueDay);
    }
    {
        const QSignalBlocker b(m_follow);
        m_follow->setChecked(goal.progressFromMilestones);
    }
    m_progressRow->setVisible(!(goal.progressFromMilestones && !goal.milestones.isEmpty()));
    {
        const QSignalBlocker b(m_slider);
        m_slider->setValue(sliderValue(goal.manualProgress));
    }
    m_percent->setText(QStringLiteral("%1%").arg(TimelineMath::wholePercent(goal.manualProgress)));

    m_status->setText(statusLine(goal, now, zone));
    QPalette pal = m_status->palette();
    pal.setColor(QPalette::WindowText,
                 TimelineMath::status(goal, now, zone).isAlarming() ? Chrome::cherry() : Chrome::turquoiseDeep());
    m_status->setPalette(pal);

    m_notes->setText(goal.notes);
}
