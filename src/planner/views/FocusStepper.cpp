#include "planner/views/FocusStepper.h"

#include "ui/Chrome.h"
#include "ui/Symbols.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* arrow(const QString& symbol, const QString& name, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setIcon(Symbols::icon(symbol, Chrome::ink()));
    b->setIconSize(QSize(10, 10));
    b->setFixedSize(18, 12);
    b->setAutoRaise(false);
    b->setAccessibleName(name);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

} // namespace

FocusStepper::FocusStepper(Label label, qint64 minimum, qint64 maximum, QWidget* parent)
    : QWidget(parent)
    , m_label(std::move(label))
    , m_min(minimum)
    , m_max(maximum)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
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
