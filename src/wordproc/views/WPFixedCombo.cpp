#include "wordproc/views/WPFixedCombo.h"

#include <QStyle>
#include <QStyleOptionComboBox>
#include <QtMath>

WPFixedCombo::WPFixedCombo(int width, QWidget* parent) : QComboBox(parent)
{
    setFixedWidth(width);
}

QSize WPFixedCombo::sizeHint() const
{
    // One line of text, as a combo of text entries measures it.
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QSize text(0, qMax(qCeil(QFontMetricsF(font()).height()), 14) + 2);
    return QSize(width(), style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, this).height());
}

QSize WPFixedCombo::minimumSizeHint() const
{
    return sizeHint();
}
