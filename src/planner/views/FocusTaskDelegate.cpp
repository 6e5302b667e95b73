#include "planner/views/FocusTaskDelegate.h"

#include "planner/FocusModel.h"
#include "planner/FocusTaskListModel.h"
#include "planner/views/FocusLook.h"
#include "planner/views/FocusTaskRow.h"
#include "ui/Chrome.h"
#include "ui/Fonts.h"
#include "ui/Symbols.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QToolTip>

namespace {

QFont titleFont(bool done)
{
    QFont f = Fonts::style(Fonts::TextStyle::Body);
    f.setStrikeOut(done);
    return f;
}

QFont dotsFont() { return Fonts::system(9); }

} // namespace

FocusTaskDelegate::FocusTaskDelegate(FocusTaskListModel* list, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_list(list)
{
    // One row widget, never shown, gives the measures of every row.
    FocusTaskRow row(list->focus(), FocusTask(), false);
    m_rowHeight = row.sizeHint().height();
    m_button = row.doneButton()->sizeHint();
}

FocusTaskDelegate::Layout FocusTaskDelegate::layout(const QRect& rect, qint64 pomodoros) const
{
    Layout l;
    const int top = rect.top() + (rect.height() - m_button.height()) / 2;
    l.done = QRect(QPoint(rect.left() + m_marginX, top), m_button);
    l.trash = QRect(QPoint(rect.right() - m_marginX - m_button.width() + 1, top), m_button);
    l.target = l.trash.translated(-m_button.width() - m_spacing, 0);
    int titleRight = l.target.left() - m_spacing - 1;
    const QString dots = FocusTaskRow::dotsText(pomodoros);
    if (!dots.isEmpty()) {
        const int w = QFontMetrics(dotsFont()).horizontalAdvance(dots);
        l.dots = QRect(titleRight - w + 1, rect.top(), w, rect.height());
        titleRight = l.dots.left() - m_spacing - 1;
    }
    l.title = QRect(QPoint(l.done.right() + 1 + m_spacing, rect.top()), QPoint(titleRight, rect.bottom()));
    return l;
}

QSize FocusTaskDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return QSize(option.rect.width() > 0 ? option.rect.width() : 200, m_rowHeight);
}

void FocusTaskDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    p->save();
    if (option.state & QStyle::State_Selected)
        p->fillRect(option.rect, QColor(20, 115, 120, 36));
    p->fillRect(QRect(option.rect.left(), option.rect.bottom(), option.rect.width(), 1), QColor(0, 0, 0, 18));
    if (index.row() == m_editorRow) {
        p->restore();
        return;
    }
    // The row the keyboard is on while the list has it: a ring in the
    // colour of the fields' focus, inside the row's edges.
    if (option.state & QStyle::State_HasFocus) {
        p->setRenderHint(QPainter::Antialiasing);
        p->setPen(QPen(option.palette.color(QPalette::Active, QPalette::Highlight), kFocusRingWidth));
        p->setBrush(Qt::NoBrush);
        const qreal inset = kFocusRingWidth / 2.0 + 1;
        p->drawRoundedRect(QRectF(option.rect).adjusted(inset, inset, -inset, -inset), 6, 6);
    }
    const FocusTask& t = m_list->task(index.row());
    const bool current = m_list->isCurrent(index.row());
    const Layout l = layout(option.rect, t.pomodoros);
    auto icon = [p](const QRect& r, const QString& name, const QColor& color) {
        const QRect glyph(r.center() - QPoint(7, 7), QSize(16, 16));
        Symbols::icon(name, color).paint(p, glyph);
    };
    icon(l.done, t.done ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle"),
         t.done ? Chrome::seafoam() : FocusLook::secondaryText());
    // The title as the line field shows it (its text starts 2 px in).
    const QRect text = l.title.adjusted(2, 0, -2, 0);
    const QFont font = titleFont(t.done);
    p->setFont(font);
    if (t.title.isEmpty()) {
        p->setPen(FocusLook::secondaryText());
        p->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Task"));
    } else {
        p->setPen(t.done ? FocusLook::secondaryText() : Chrome::ink());
        p->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, t.title);
    }
    if (l.dots.isValid()) {
        p->setFont(dotsFont());
        p->setPen(Chrome::cherry());
        p->drawText(l.dots, Qt::AlignCenter, FocusTaskRow::dotsText(t.pomodoros));
    }
    icon(l.target, current ? QStringLiteral("target") : QStringLiteral("scope"),
         current ? Chrome::cherry() : FocusLook::secondaryText());
    icon(l.trash, QStringLiteral("trash"), FocusLook::secondaryText());
    p->restore();
}

QWidget* FocusTaskDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    auto* row = new FocusTaskRow(m_list->focus(), m_list->task(index.row()), m_list->isCurrent(index.row()), parent);
    // Creating an editor changes nothing drawn; its signals are ours.
    auto* self = const_cast<FocusTaskDelegate*>(this);
    connect(row, &FocusTaskRow::deleteRequested, self, &FocusTaskDelegate::deleteRequested);
    connect(row, &FocusTaskRow::dragStarted, self, [self, row] { Q_EMIT self->dragStarted(row->id()); });
    return row;
}

void FocusTaskDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* row = qobject_cast<FocusTaskRow*>(editor))
        row->refresh(m_list->task(index.row()), m_list->isCurrent(index.row()));
}

void FocusTaskDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                             const QModelIndex&) const
{
    editor->setGeometry(option.rect);
}

bool FocusTaskDelegate::editorEvent(QEvent* event, QAbstractItemModel*, const QStyleOptionViewItem& option,
                                    const QModelIndex& index)
{
    const bool press = event->type() == QEvent::MouseButtonPress;
    if ((!press && event->type() != QEvent::MouseButtonRelease) || index.row() == m_editorRow)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    const FocusTask t = m_list->task(index.row());
    const Layout l = layout(option.rect, t.pomodoros);
    const QPoint at = mouse->position().toPoint();
    const bool onButton = l.done.contains(at) || l.target.contains(at) || l.trash.contains(at);
    // A press on a drawn row's button is the button's: no selection, no
    // drag. The button acts on the release, as a button does.
    if (press || !onButton)
        return onButton;
    FocusModel* focus = m_list->focus();
    if (l.done.contains(at))
        focus->setTaskDone(t.id, !t.done);
    else if (l.target.contains(at))
        focus->chooseTask(t.id);
    else
        Q_EMIT deleteRequested(t.id, t.title);
    return true;
}

QString FocusTaskDelegate::toolTipAt(const QRect& rect, int row, const QPoint& pos) const
{
    const FocusTask& t = m_list->task(row);
    const Layout l = layout(rect, t.pomodoros);
    if (l.done.contains(pos))
        return t.done ? QStringLiteral("Mark not done") : QStringLiteral("Mark done");
    if (l.dots.contains(pos))
        return QString::number(t.pomodoros) + QStringLiteral(" focus sessions");
    if (l.target.contains(pos))
        return QStringLiteral("Work on this task (credits focus sessions to it)");
    if (l.trash.contains(pos))
        return QStringLiteral("Delete task");
    return {};
}

bool FocusTaskDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                  const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString tip = toolTipAt(option.rect, index.row(), event->pos());
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), tip, view);
    return true;
}
