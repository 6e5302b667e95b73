#include "planner/views/FocusView.h"

#include "planner/FocusModel.h"
#include "planner/FocusTaskListModel.h"
#include "planner/views/FocusRing.h"
#include "planner/views/FocusStepper.h"
#include "planner/views/FocusTaskDelegate.h"
#include "planner/views/FocusTaskList.h"
#include "planner/views/FocusTaskRow.h"
#include "planner/views/PlainToolTip.h"
#include "ui/Alert.h"
#include "planner/views/FocusLook.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/ChromePanel.h"
#include "ui/Fonts.h"
#include "ui/SpellLineEdit.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

void setTextColor(QWidget* w, const QColor& c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    w->setPalette(p);
}

} // namespace

FocusView::FocusView(QWidget* parent)
    : FocusView(FocusModel::shared(), parent)
{
}

FocusView::FocusView(FocusModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(&model)
{
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(14, 14, 14, 14);
    outer->setSpacing(14);
    outer->addWidget(buildTimerColumn(), 0, Qt::AlignTop);
    outer->addWidget(buildToDo(), 1);

    connect(m_model, &FocusModel::stateChanged, this, &FocusView::refreshState);
    connect(m_model, &FocusModel::todayCountChanged, this, &FocusView::refreshState);
    connect(m_model, &FocusModel::configChanged, this, &FocusView::refreshConfig);
    connect(m_model, &FocusModel::soundOnChanged, this, &FocusView::refreshConfig);
    connect(m_model, &FocusModel::tasksChanged, this, &FocusView::refreshTasks);
    connect(m_model, &FocusModel::currentTaskChanged, this, &FocusView::refreshTasks);
    refreshConfig();
    refreshTasks();
    m_ring->setFraction(m_model->state().fractionDone(), false);
}

QColor FocusView::phaseColor() const
{
    return m_model->state().phase == FocusPhase::focus ? Chrome::cherry() : Chrome::seafoam();
}

QString FocusView::sessionLine() const
{
    const PomodoroState& s = m_model->state();
    const qint64 n = s.completedFocus % m_model->config().cycleLength() + 1;
    return QStringLiteral("Session %1 of %2 • %3 today")
        .arg(n)
        .arg(m_model->config().cyclesBeforeLong)
        .arg(m_model->todayCount());
}

QString FocusView::footerText() const
{
    qsizetype done = 0;
    for (const FocusTask& t : m_model->tasks())
        done += t.done ? 1 : 0;
    return QStringLiteral("%1 to do • %2 done").arg(m_model->tasks().size() - done).arg(done);
}

QWidget* FocusView::buildTimerColumn()
{
    auto* column = new QWidget(this);
    column->setFixedWidth(kColumnWidth);
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);
    // Tighter than the window's padding: at the window's own size the whole
    // column fits beside the list.
    v->setSpacing(10);

    m_ring = new FocusRing(column);
    v->addWidget(m_ring, 0, Qt::AlignHCenter);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    m_start = new ChromeButton(QStringLiteral("Start"), true, false, column);
    m_start->setObjectName(QStringLiteral("startPause"));
    m_reset = new ChromeButton(QStringLiteral("Reset"), false, false, column);
    m_skip = new ChromeButton(QStringLiteral("Skip"), false, false, column);
    buttons->addStretch(1);
    for (ChromeButton* b : {m_start, m_reset, m_skip})
        buttons->addWidget(b);
    buttons->addStretch(1);
    v->addLayout(buttons);
    connect(m_start, &QPushButton::clicked, m_model, &FocusModel::startPause);
    // Space anywhere in the window; a text field takes the space bar for
    // itself before the shortcut sees it. (Not the button's own shortcut: a
    // focused button would also click on the key's release.)
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    space->setContext(Qt::WindowShortcut);
    connect(space, &QShortcut::activated, m_model, &FocusModel::startPause);
    connect(m_reset, &QPushButton::clicked, m_model, &FocusModel::reset);
    connect(m_skip, &QPushButton::clicked, m_model, &FocusModel::skip);

    m_workingOn = new QLabel(column);
    m_workingOn->setObjectName(QStringLiteral("workingOn"));
    m_workingOn->setTextFormat(Qt::PlainText);
    m_workingOn->setFont(Fonts::system(13, QFont::DemiBold, Fonts::Design::Rounded));
    m_workingOn->setAlignment(Qt::AlignHCenter);
    // The line keeps its room while no task is chosen: the window is sized
    // for the column once, and the buttons above stay where the pointer is.
    m_workingOn->setText(QStringLiteral("Working on: Ag"));
    m_workingOn->setFixedHeight(m_workingOn->sizeHint().height());
    m_workingOn->clear();
    QSizePolicy keep = m_workingOn->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_workingOn->setSizePolicy(keep);
    m_workingOn->hide();
    v->addWidget(m_workingOn);

    v->addWidget(buildSettings());
    v->addStretch(1);
    return column;
}

QWidget* FocusView::buildSettings()
{
    auto* panel = new ChromePanel(this);
    panel->setTitle(QStringLiteral("Timer settings"));
    panel->contentLayout()->setSpacing(4);
    const QFont font = Fonts::system(12);
    struct Row {
        FocusStepper::Label label;
        qint64 min;
        qint64 max;
        qint64 PomodoroConfig::*field;
    };
    const QList<Row> rows{
        {[](qint64 n) { return QStringLiteral("Focus: %1 min").arg(n); }, 1, 120, &PomodoroConfig::focusMinutes},
        {[](qint64 n) { return QStringLiteral("Short break: %1 min").arg(n); }, 1, 60,
         &PomodoroConfig::shortBreakMinutes},
        {[](qint64 n) { return QStringLiteral("Long break: %1 min").arg(n); }, 1, 90,
         &PomodoroConfig::longBreakMinutes},
        {[](qint64 n) { return QStringLiteral("Long break every %1 sessions").arg(n); }, 2, 8,
         &PomodoroConfig::cyclesBeforeLong},
    };
    for (const Row& r : rows) {
        auto* s = new FocusStepper(r.label, r.min, r.max, panel);
        s->setFont(font);
        panel->contentLayout()->addWidget(s);
        m_steppers.append(s);
        connect(s, &FocusStepper::valueStepped, this, [this, field = r.field](qint64 value) {
            PomodoroConfig c = m_model->config();
            c.*field = value;
            m_model->setConfig(c);
        });
    }
    m_autoStart = new QCheckBox(QStringLiteral("Start the next session automatically"), panel);
    m_sound = new QCheckBox(QStringLiteral("Play a sound"), panel);
    for (QCheckBox* b : {m_autoStart, m_sound}) {
        b->setFont(font);
        panel->contentLayout()->addWidget(b);
    }
    // clicked (not toggled): showing the model's values never writes them.
    connect(m_autoStart, &QCheckBox::clicked, this, [this](bool on) {
        PomodoroConfig c = m_model->config();
        c.autoStartNext = on;
        m_model->setConfig(c);
    });
    connect(m_sound, &QCheckBox::clicked, m_model, &FocusModel::setSoundOn);
    return panel;
}

QWidget* FocusView::buildToDo()
{
    auto* panel = new ChromePanel(this);
    panel->setTitle(QStringLiteral("To-Do"));
    QVBoxLayout* v = panel->contentLayout();

    auto* entry = new QHBoxLayout;
    m_newTask = new SpellLineEdit(panel);
    m_newTask->setObjectName(QStringLiteral("newTask"));
    m_newTask->setPlaceholderText(QStringLiteral("Add a task and press Return"));
    m_add = new ChromeButton(QStringLiteral("Add"), false, true, panel);
    entry->addWidget(m_newTask, 1);
    entry->addWidget(m_add);
    v->addLayout(entry);
    connect(m_newTask, &QLineEdit::returnPressed, this, &FocusView::addFromField);
    connect(m_add, &QPushButton::clicked, this, &FocusView::addFromField);

    m_showCompleted = new QCheckBox(QStringLiteral("Show completed"), panel);
    m_showCompleted->setFont(Fonts::style(Fonts::TextStyle::Caption));
    m_showCompleted->setChecked(m_showDone);
    v->addWidget(m_showCompleted);
    connect(m_showCompleted, &QCheckBox::toggled, this, &FocusView::setShowDone);

    m_list = new FocusTaskList(panel);
    m_list->setFrameShape(QFrame::NoFrame);
    // The rows draw their own selection and separator lines.
    m_list->setStyleSheet(QStringLiteral("FocusTaskList { background: white; border-radius: 10px; padding: 4px; }"));
    m_listModel = new FocusTaskListModel(m_model, this);
    m_listModel->setShowDone(m_showDone);
    m_delegate = new FocusTaskDelegate(m_listModel, m_list);
    m_list->setItemDelegate(m_delegate);
    m_list->setModel(m_listModel);
    m_list->titleRect = [this](const QModelIndex& index) {
        return m_delegate->layout(m_list->visualRect(index), m_listModel->task(index.row()).pomodoros).title;
    };
    v->addWidget(m_list, 1);
    connect(m_list, &FocusTaskList::moveRequested, this, &FocusView::moveShownRows);
    connect(m_list, &FocusTaskList::titlePressed, this, [this](int row, const QPoint& at) {
        FocusTaskRow* editor = openRow(row);
        if (!editor)
            return;
        SpellLineEdit* title = editor->titleField();
        title->setFocus(Qt::MouseFocusReason);
        title->setCursorPosition(title->cursorPositionAt(title->mapFrom(m_list->viewport(), at)));
    });
    connect(m_list, &FocusTaskList::editRequested, this, [this](int row) {
        if (FocusTaskRow* editor = openRow(row)) {
            editor->titleField()->setFocus(Qt::TabFocusReason);
            editor->titleField()->selectAll();
        }
    });
    connect(m_delegate, &FocusTaskDelegate::deleteRequested, this, &FocusView::confirmDelete);
    connect(m_delegate, &FocusTaskDelegate::dragStarted, this,
            [this](const QUuid& id) { m_list->dragRow(m_listModel->rowOf(id)); });
    connect(m_listModel, &QAbstractItemModel::modelReset, this, &FocusView::reopenEditor);

    auto* footer = new QHBoxLayout;
    m_footer = new QLabel(panel);
    m_footer->setObjectName(QStringLiteral("footer"));
    m_footer->setFont(Fonts::style(Fonts::TextStyle::Caption));
    setTextColor(m_footer, FocusLook::secondaryText());
    m_clear = new ChromeButton(QStringLiteral("Clear Completed"), false, true, panel);
    footer->addWidget(m_footer);
    footer->addStretch(1);
    footer->addWidget(m_clear);
    v->addLayout(footer);
    connect(m_clear, &QPushButton::clicked, m_model, &FocusModel::clearCompleted);
    return panel;
}

FocusTaskRow* FocusView::editorRow() const
{
    return qobject_cast<FocusTaskRow*>(m_editor.data());
}

FocusTaskRow* FocusView::openRow(int row)
{
    const QModelIndex index = m_listModel->index(row);
    if (m_editor && m_listModel->rowOf(m_editorId) == row)
        return editorRow();
    const int before = m_listModel->rowOf(m_editorId);
    if (before >= 0)
        m_list->closePersistentEditor(m_listModel->index(before));
    m_editor = nullptr;
    m_editorId = QUuid();
    m_delegate->setEditorRow(-1);
    if (!index.isValid())
        return nullptr;
    m_editorId = m_listModel->task(row).id;
    m_delegate->setEditorRow(row);
    m_list->openPersistentEditor(index);
    m_editor = m_list->indexWidget(index);
    return editorRow();
}

void FocusView::reopenEditor()
{
    // Adding, removing or moving rows rebuilds them: the row that was open
    // opens again where its task now is.
    m_editor = nullptr;
    const int row = m_listModel->rowOf(m_editorId);
    m_delegate->setEditorRow(-1);
    if (row < 0) {
        m_editorId = QUuid();
        return;
    }
    const QUuid id = m_editorId;
    m_editorId = QUuid();
    openRow(row);
    m_editorId = id;
}

void FocusView::setShowDone(bool show)
{
    if (m_showDone == show)
        return;
    m_showDone = show;
    if (m_showCompleted->isChecked() != show)
        m_showCompleted->setChecked(show);
    m_listModel->setShowDone(show);
    refreshTasks();
}

void FocusView::addFromField()
{
    m_model->addTask(m_newTask->text());
    m_newTask->clear();
}

void FocusView::confirmDelete(const QUuid& id, const QString& title)
{
    const int answer = runAlert(QStringLiteral("Delete “") + title + QStringLiteral("”?"), QString(),
                                AlertStyle::Warning, {QStringLiteral("Delete"), QStringLiteral("Cancel")});
    if (answer != alertFirstButton)
        return;
    // After the alert has closed, on the next turn of the event loop: the row
    // whose button asked is gone by then, not while its click is running.
    QTimer::singleShot(0, m_model, [model = m_model, id] { model->removeTask(id); });
}

void FocusView::moveShownRows(const QList<int>& rows, int destination)
{
    const QList<int> shown = m_listModel->shownPositions();
    QList<int> offsets;
    for (int r : rows) {
        if (r >= 0 && r < shown.size())
            offsets.append(shown.at(r));
    }
    if (offsets.isEmpty())
        return;
    m_model->moveTasks(offsets, FocusTasks::fullDestination(shown, destination, int(m_model->tasks().size())));
}

void FocusView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitRing();
}

void FocusView::fitRing()
{
    // The dial takes the height the rest of the column leaves (the layout
    // counts it at its smallest), up to its full size.
    const int others = layout()->minimumSize().height() - FocusRing::kSmallest;
    m_ring->setSide(height() - others);
}

void FocusView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The day's count shown after a night with the window closed.
    m_model->rollDay();
}

void FocusView::refreshState()
{
    const PomodoroState& s = m_model->state();
    m_ring->setColor(phaseColor());
    m_ring->setTexts(FocusPhases::rawValue(s.phase).toUpper(), PomodoroState::clock(s.remaining), sessionLine());
    m_ring->setFraction(s.fractionDone());
    m_start->setText(s.running ? QStringLiteral("Pause") : QStringLiteral("Start"));
}

void FocusView::refreshConfig()
{
    const PomodoroConfig c = m_model->config();
    const qint64 values[] = {c.focusMinutes, c.shortBreakMinutes, c.longBreakMinutes, c.cyclesBeforeLong};
    for (int i = 0; i < m_steppers.size(); ++i)
        m_steppers.at(i)->setValue(values[i]);
    m_autoStart->setChecked(c.autoStartNext);
    m_sound->setChecked(m_model->soundOn());
    refreshState();
}

void FocusView::refreshTasks()
{
    // The rows follow the model through the list model.
    m_footer->setText(footerText());
    refreshWorkingOn();
}

void FocusView::refreshWorkingOn()
{
    const std::optional<FocusTask> task = m_model->currentTask();
    if (!task) {
        m_workingOn->hide();
        m_workingOn->clear();
        return;
    }
    const QString text = QStringLiteral("Working on: ") + task->title;
    m_workingOn->setToolTip(plainToolTip(text));
    m_workingOn->setText(m_workingOn->fontMetrics().elidedText(text, Qt::ElideRight, kColumnWidth));
    m_workingOn->show();
}
