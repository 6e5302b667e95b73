#include "calc/views/LoanTableHeader.h"

#include <QStyleOptionHeader>

LoanTableHeader::LoanTableHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setHighlightSections(false);
}

QSize LoanTableHeader::sectionSizeFromContents(int logicalIndex) const
{
    if (!model() || logicalIndex < 0)
        return QHeaderView::sectionSizeFromContents(logicalIndex);
    const QVariant fontData = model()->headerData(logicalIndex, orientation(), Qt::FontRole);
    const QFont font = fontData.isValid() ? fontData.value<QFont>().resolve(this->font()) : this->font();
    const QString text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    if (logicalIndex >= m_measured.size())
        m_measured.resize(logicalIndex + 1);
    Measured& m = m_measured[logicalIndex];
    if (m.size.isValid() && m.text == text && m.font == font && m.font.resolveMask() == font.resolveMask()
        && m.style == style() && m.sortIndicator == isSortIndicatorShown())
        return m.size;

    QStyleOptionHeader option;
    initStyleOption(&option);
    option.section = logicalIndex;
    option.fontMetrics = QFontMetrics(font);
    option.text = text;
    m = Measured{text, font, style(), isSortIndicatorShown(),
                 style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this)};
    return m.size;
}
