#include "calc/views/LoanTableHeader.h"

#include <QStyleOptionHeader>

LoanTableHeader::LoanTableHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setHighlightSections(false);
}

QSize LoanTableHeader::sectionSizeFromContents(int logicalIndex) const
{
    if (!model())
        return QHeaderView::sectionSizeFromContents(logicalIndex);
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.section = logicalIndex;
    const QVariant font = model()->headerData(logicalIndex, orientation(), Qt::FontRole);
    option.fontMetrics = QFontMetrics(font.isValid() ? font.value<QFont>().resolve(this->font()) : this->font());
    option.text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    return style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
}
