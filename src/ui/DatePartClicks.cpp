#include "ui/DatePartClicks.h"

#include <QDateTimeEdit>
#include <QLineEdit>
#include <QMouseEvent>

DatePartClicks::DatePartClicks(QDateTimeEdit* field, QLineEdit* text)
    : QObject(field)
    , m_field(field)
    , m_text(text)
{
    text->installEventFilter(this);
}

void DatePartClicks::install(QDateTimeEdit* field)
{
    if (!field || field->findChild<DatePartClicks*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    if (auto* text = field->findChild<QLineEdit*>(QStringLiteral("qt_spinbox_lineedit"), Qt::FindDirectChildrenOnly))
        new DatePartClicks(field, text);
}

bool DatePartClicks::eventFilter(QObject* watched, QEvent* event)
{
    // On the release, after the press has placed the cursor in the part
    // under the pointer (the field then knows it as its current section).
    if (watched == m_text && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !m_text->hasSelectedText())
        m_field->setSelectedSection(m_field->currentSection());
    return QObject::eventFilter(watched, event);
}
