#include "planner/views/FocusTaskRow.h"

#include "planner/FocusModel.h"
#include "planner/views/FocusLook.h"
#include "ui/Chrome.h"
#include "ui/Fonts.h"
#include "ui/SpellLineEdit.h"
#include "ui/Symbols.h"

#include <QHBoxLayout>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

namespace {

QToolButton* plainButton(QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setAutoRaise(true);
    b->setIconSize(QSize(16, 16));
    b->setCursor(Qt::PointingHandCursor);
    b->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 1px; }"));
    return b;
}

} // namespace

QString FocusTaskRow::dotsText(qint64 pomodoros)
{
    if (pomodoros < 1)
        return {};
    return QString(int(qMin<qint64>(pomodoros, kMaxDots)), QChar(0x25CF));
}

FocusTaskRow::FocusTaskRow(FocusModel* model, const FocusTask& task, bool current, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_id(task.id)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 3, 8, 3);
    row->setSpacing(6);

    m_done = plainButton(this);
    m_done->setObjectName(QStringLiteral("done"));
    row->addWidget(m_done);

    m_title = new SpellLineEdit(this);
    m_title->setObjectName(QStringLiteral("title"));
    m_title->setPlaceholderText(QStringLiteral("Task"));
    m_title->setFrame(false);
    m_title->setFont(Fonts::style(Fonts::TextStyle::Body));
    QPalette tp = m_title->palette();
    tp.setColor(QPalette::Base, Qt::transparent);
    m_title->setPalette(tp);
    row->addWidget(m_title, 1);

    m_dots = new QLabel(this);
    m_dots->setObjectName(QStringLiteral("dots"));
    m_dots->setFont(Fonts::system(9));
    // The list's style sheet reaches its rows: the colour goes the same way.
    m_dots->setStyleSheet(QStringLiteral("color: %1;").arg(Chrome::cherry().name()));
    row->addWidget(m_dots);

    m_target = plainButton(this);
    m_target->setObjectName(QStringLiteral("target"));
    m_target->setToolTip(QStringLiteral("Work on this task (credits focus sessions to it)"));
    m_target->setAccessibleName(m_target->toolTip());
    row->addWidget(m_target);

    m_trash = plainButton(this);
    m_trash->setObjectName(QStringLiteral("trash"));
    m_trash->setToolTip(QStringLiteral("Delete task"));
    m_trash->setAccessibleName(m_trash->toolTip());
    m_trash->setIcon(Symbols::icon(QStringLiteral("trash"), FocusLook::secondaryText()));
    row->addWidget(m_trash);

    connect(m_done, &QToolButton::clicked, this, [this] { m_model->setTaskDone(m_id, !m_isDone); });
    connect(m_title, &QLineEdit::textEdited, this, [this](const QString& text) { m_model->setTaskTitle(m_id, text); });
    connect(m_title, &QLineEdit::returnPressed, this, [this] { m_model->persist(); });
    connect(m_target, &QToolButton::clicked, this, [this] { m_model->chooseTask(m_id); });
    connect(m_trash, &QToolButton::clicked, this, [this] { Q_EMIT deleteRequested(m_id, m_title->text()); });

    refresh(task, current);
}

void FocusTaskRow::refresh(const FocusTask& task, bool current)
{
    m_isDone = task.done;
    m_done->setIcon(task.done ? Symbols::icon(QStringLiteral("checkmark.circle.fill"), Chrome::seafoam())
                              : Symbols::icon(QStringLiteral("circle"), FocusLook::secondaryText()));
    m_done->setAccessibleName(task.done ? QStringLiteral("Mark not done") : QStringLiteral("Mark done"));
    m_done->setToolTip(m_done->accessibleName());

    if (m_title->text() != task.title) {
        m_title->setText(task.title);
        // A long title shows its beginning unless it is being edited.
        if (!m_title->hasFocus())
            m_title->setCursorPosition(0);
    }
    QFont f = m_title->font();
    if (f.strikeOut() != task.done) {
        f.setStrikeOut(task.done);
        m_title->setFont(f);
    }
    QPalette tp = m_title->palette();
    tp.setColor(QPalette::Text, task.done ? FocusLook::secondaryText() : Chrome::ink());
    m_title->setPalette(tp);

    const QString dots = dotsText(task.pomodoros);
    m_dots->setText(dots);
    m_dots->setVisible(!dots.isEmpty());
    m_dots->setToolTip(dots.isEmpty() ? QString() : QString::number(task.pomodoros) + QStringLiteral(" focus sessions"));

    m_target->setIcon(Symbols::icon(current ? QStringLiteral("target") : QStringLiteral("scope"),
                                    current ? Chrome::cherry() : FocusLook::secondaryText()));
    m_target->setProperty("current", current);
}

void FocusTaskRow::mousePressEvent(QMouseEvent* event)
{
    // Only presses on the row itself and its dots arrive here: the title
    // field and the buttons keep theirs.
    m_pressedAt = event->button() == Qt::LeftButton ? event->position().toPoint() : QPoint(-1, -1);
    event->accept();
}

void FocusTaskRow::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressedAt.x() < 0 || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - m_pressedAt).manhattanLength() < QApplication::startDragDistance())
        return;
    m_pressedAt = QPoint(-1, -1);
    Q_EMIT dragStarted();
}
