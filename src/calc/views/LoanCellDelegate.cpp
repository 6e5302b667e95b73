#include "calc/views/LoanCellDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>

namespace {

// One line of `text` laid out across `width`; its height.
qreal layOut(QTextLayout& layout, const QString& text, qreal width)
{
    layout.setText(text);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(width);
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    return line.height();
}

} // namespace

void LoanCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty())
        return;
    const QVariant fontData = index.data(Qt::FontRole);
    const QFont font = fontData.isValid() ? fontData.value<QFont>().resolve(option.font) : option.font;
    const QVariant alignData = index.data(Qt::TextAlignmentRole);
    const Qt::Alignment alignment
        = alignData.isValid() ? Qt::Alignment(alignData.toInt()) : option.displayAlignment;

    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    // The style's margin either side of an item's text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = option.rect.adjusted(margin, 0, -margin, 0);

    // Laid out (and shaped) once; again only when cut short.
    QTextOption textOption(QStyle::visualAlignment(option.direction, alignment));
    textOption.setWrapMode(QTextOption::ManualWrap);
    textOption.setTextDirection(option.direction);
    QTextLayout layout(QString(), font);
    layout.setTextOption(textOption);
    layout.setCacheEnabled(true); // drawn as shaped, not shaped again
    qreal height = layOut(layout, text, area.width());
    if (layout.lineAt(0).naturalTextWidth() > area.width())
        height = layOut(layout, QFontMetrics(font).elidedText(text, Qt::ElideRight, area.width()), area.width());

    QPalette::ColorGroup group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(option.state & QStyle::State_Active))
        group = QPalette::Inactive;
    qreal y = area.top();
    if (alignment & Qt::AlignVCenter)
        y += (area.height() - height) / 2;
    else if (alignment & Qt::AlignBottom)
        y = area.bottom() + 1 - height;
    painter->save();
    painter->setPen(option.palette.color(group, QPalette::Text));
    layout.draw(painter, QPointF(area.left(), y));
    painter->restore();
}
