#include "calc/views/LoanCellDelegate.h"

#include "calc/views/LoanFigureRuns.h"

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

LoanCellDelegate::LoanCellDelegate(QObject* parent) : QStyledItemDelegate(parent)
{
}

LoanCellDelegate::~LoanCellDelegate() = default;

int LoanCellDelegate::fontSlot(const QFont& font) const
{
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        if (m_fonts.at(i) == font && m_fonts.at(i).resolveMask() == font.resolveMask())
            return int(i);
    }
    // Fonts seldom change; when they keep changing, start afresh.
    if (m_fonts.size() >= 16) {
        m_fonts.clear();
        m_figures.clear();
        m_laid.clear();
    }
    m_fonts.append(font);
    m_figures.emplace_back();
    return int(m_fonts.size() - 1);
}

const LoanFigureRuns& LoanCellDelegate::figures(int slot) const
{
    std::unique_ptr<LoanFigureRuns>& figures = m_figures[size_t(slot)];
    if (!figures)
        figures = std::make_unique<LoanFigureRuns>(m_fonts.at(slot));
    return *figures;
}

const QFont& LoanCellDelegate::resolvedFont(const QFont& cellFont, const QFont& viewFont) const
{
    if (!m_hasResolved || cellFont != m_cellFont || viewFont != m_viewFont
        || cellFont.resolveMask() != m_cellFont.resolveMask() || viewFont.resolveMask() != m_viewFont.resolveMask()) {
        m_cellFont = cellFont;
        m_viewFont = viewFont;
        m_resolved = cellFont.resolve(viewFont);
        m_hasResolved = true;
    }
    return m_resolved;
}

void LoanCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty())
        return;
    const QVariant fontData = index.data(Qt::FontRole);
    const QFont font = fontData.isValid() ? resolvedFont(fontData.value<QFont>(), option.font) : option.font;
    const QVariant alignData = index.data(Qt::TextAlignmentRole);
    const Qt::Alignment alignment
        = alignData.isValid() ? Qt::Alignment(alignData.toInt()) : option.displayAlignment;

    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    // The style's margin either side of an item's text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = option.rect.adjusted(margin, 0, -margin, 0);

    QPalette::ColorGroup group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(option.state & QStyle::State_Active))
        group = QPalette::Inactive;
    const QColor color = option.palette.color(group, QPalette::Text);
    const Qt::Alignment visual = QStyle::visualAlignment(option.direction, alignment);
    const int slot = fontSlot(font);
    // Cells with a font of their own are the tables' figures.
    if (fontData.isValid() && option.direction == Qt::LeftToRight
        && figures(slot).draw(painter, area, visual, text, color))
        return;

    // Laid out (and shaped) once; again only when cut short. The same text
    // in the same place of a cell is laid out only the first time.
    QString key = QString::number(slot) + QLatin1Char(':') + QString::number(area.width())
                  + QLatin1Char(':') + QString::number(int(visual)) + QLatin1Char(':')
                  + QString::number(int(option.direction)) + QLatin1Char(':') + text;
    auto found = m_laid.find(key);
    if (found == m_laid.end()) {
        if (m_laid.size() >= 4096)
            m_laid.clear();
        QTextOption textOption(visual);
        textOption.setWrapMode(QTextOption::ManualWrap);
        textOption.setTextDirection(option.direction);
        Laid laid;
        laid.layout = std::make_unique<QTextLayout>(QString(), font);
        laid.layout->setTextOption(textOption);
        laid.layout->setCacheEnabled(true); // drawn as shaped, not shaped again
        laid.height = layOut(*laid.layout, text, area.width());
        if (laid.layout->lineAt(0).naturalTextWidth() > area.width())
            laid.height = layOut(*laid.layout, QFontMetrics(font).elidedText(text, Qt::ElideRight, area.width()),
                                 area.width());
        found = m_laid.emplace(std::move(key), std::move(laid)).first;
    }
    const QTextLayout& layout = *found->second.layout;
    const qreal height = found->second.height;

    qreal y = area.top();
    if (alignment & Qt::AlignVCenter)
        y += (area.height() - height) / 2;
    else if (alignment & Qt::AlignBottom)
        y = area.bottom() + 1 - height;
    painter->save();
    painter->setPen(color);
    layout.draw(painter, QPointF(area.left(), y));
    painter->restore();
}
