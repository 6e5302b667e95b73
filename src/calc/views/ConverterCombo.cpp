#include "calc/views/ConverterCombo.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <cmath>

ConverterCombo::ConverterCombo(QWidget* parent)
    : QComboBox(parent)
{
    setMinimumContentsLength(6);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize ConverterCombo::sizeHint() const
{
    if (!m_hint.isValid()) {
        // Room for the minimum contents length and an icon, as QComboBox
        // measures it under that policy (both hints alike).
        const QFontMetrics fm = fontMetrics();
        const QSize icon = iconSize();
        QSize sh(minimumContentsLength() * fm.horizontalAdvance(QLatin1Char('X')) + icon.width() + 4,
                 std::max(int(std::ceil(QFontMetricsF(fm).height())), 14) + 2);
        sh.setHeight(std::max(sh.height(), icon.height() + 2));
        if (!placeholderText().isEmpty())
            sh.setWidth(std::max(sh.width(), fm.boundingRect(placeholderText()).width()));
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        m_hint = style()->sizeFromContents(QStyle::CT_ComboBox, &opt, sh, this);
    }
    return m_hint;
}

QSize ConverterCombo::minimumSizeHint() const
{
    return sizeHint();
}

void ConverterCombo::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::LayoutDirectionChange:
        m_hint = QSize();
        updateGeometry();
        break;
    default:
        break;
    }
    QComboBox::changeEvent(event);
}
