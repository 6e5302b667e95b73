#include "planner/views/FocusStepper.h"

#include "ui/Chrome.h"
#include "ui/Symbols.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const int kRing = 2;

QToolButton* arrow(const QString& symbol, const QString& name, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setIcon(Symbols::icon(symbol, Chrome::ink()));
    b->setIconSize(QSize(10, 10));
    b->setFixedSize(18, 12);
    b->setAutoRaise(false);
    b->setAccessibleName(name);
    b->setAutoRepeat(true);
    // The stepper takes the keyboard, not its buttons (a click on one gives
    // it to the stepper).
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

FocusStepper::FocusStepper(Label label, qint64 minimum, qint64 maximum, QWidget* parent)
    : QWidget(parent)
    , m_label(std::move(label))
    , m_min(minimum)
    , m_max(maximum)
{
    setFocusPolicy(Qt::StrongFocus);
    auto* row = new QHBoxLayout(this);
    // Room for the focus ring.
    row->setContentsMargins(kRing + 2, kRing, kRing, kRing);
    row->setSpacing(8);
    m_text = new QLabel(this);
    m_text->setTextFormat(Qt::PlainText);
    row->addWidget(m_text, 1);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    m_up = arrow(QStringLiteral("chevron.up"), QStringLiteral("Increment"), this);
    m_down = arrow(QStringLiteral("chevron.down"), QStringLiteral("Decrement"), this);
    arrows->addWidget(m_up);
    arrows->addWidget(m_down);
    row->addLayout(arrows);
    connect(m_up, &QToolButton::clicked, this, &FocusStepper::stepUp);
    connect(m_down, &QToolButton::clicked, this, &FocusStepper::stepDown);
    refresh();
}

qint64 FocusStepper::stepped(qint64 value, int direction, qint64 minimum, qint64 maximum)
{
    if (direction > 0) {
        if (value >= maximum)
            return maximum;
        return value < minimum ? minimum : value + 1;
    }
    if (value <= minimum)
        return minimum;
    return value > maximum ? maximum : value - 1;
}

void FocusStepper::setValue(qint64 value)
{
    if (value == m_value && !m_text->text().isEmpty())
        return;
    m_value = value;
    refresh();
}

QString FocusStepper::text() const
{
    return m_text->text();
}

void FocusStepper::stepUp()
{
    if (m_value >= m_max)
        return;
    m_value = stepped(m_value, 1, m_min, m_max);
    refresh();
    Q_EMIT valueStepped(m_value);
}

void FocusStepper::stepDown()
{
    if (m_value <= m_min)
        return;
    m_value = stepped(m_value, -1, m_min, m_max);
    refresh();
    Q_EMIT valueStepped(m_value);
}

void FocusStepper::refresh()
{
    m_text->setText(m_label(m_value));
    m_up->setEnabled(m_value < m_max);
    m_down->setEnabled(m_value > m_min);
    setAccessibleName(m_text->text());
}

void FocusStepper::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Plus:
        stepUp();
        break;
    case Qt::Key_Down:
    case Qt::Key_Minus:
        stepDown();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void FocusStepper::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().color(QPalette::Active, QPalette::Highlight), kRing));
    p.setBrush(Qt::NoBrush);
    const qreal inset = kRing / 2.0;
    p.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 5, 5);
}

void FocusStepper::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void FocusStepper::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}
