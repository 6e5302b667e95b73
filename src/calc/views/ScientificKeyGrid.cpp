#include "calc/views/ScientificKeyGrid.h"

#include <QStyle>
#include <QWidget>
#include <algorithm>

ScientificKeyGrid::ScientificKeyGrid(int rows, int columns, int splitColumn, QWidget* parent)
    : QLayout(parent), m_rows(std::max(1, rows)), m_columns(std::max(1, columns)), m_split(splitColumn)
{
    setContentsMargins(0, 0, 0, 0);
}

ScientificKeyGrid::~ScientificKeyGrid()
{
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void ScientificKeyGrid::setGaps(int gap, int splitGap)
{
    m_gap = gap;
    m_splitGap = splitGap;
    invalidate();
}

void ScientificKeyGrid::addKey(QWidget* key, int row, int column, int columnSpan)
{
    addChildWidget(key);
    m_cells.append({new QWidgetItem(key), std::clamp(row, 0, m_rows - 1), std::clamp(column, 0, m_columns - 1),
                    std::clamp(columnSpan, 1, m_columns - std::clamp(column, 0, m_columns - 1))});
    invalidate();
}

void ScientificKeyGrid::addItem(QLayoutItem* item)
{
    // Items without a place go after the last one, a cell each.
    const int index = int(m_cells.size());
    m_cells.append({item, std::min(index / m_columns, m_rows - 1), index % m_columns, 1});
    invalidate();
}

QLayoutItem* ScientificKeyGrid::itemAt(int index) const
{
    return index >= 0 && index < m_cells.size() ? m_cells.at(index).item : nullptr;
}

QLayoutItem* ScientificKeyGrid::takeAt(int index)
{
    if (index < 0 || index >= m_cells.size())
        return nullptr;
    QLayoutItem* item = m_cells.takeAt(index).item;
    invalidate();
    return item;
}

QSize ScientificKeyGrid::cellSize(bool hint) const
{
    QSize cell(0, 0);
    for (const Cell& c : m_cells) {
        if (c.item->isEmpty())
            continue;
        const QSize s = hint ? c.item->sizeHint() : c.item->minimumSize();
        // A key spanning columns asks for its width less the gaps it covers.
        const int width = (s.width() - (c.span - 1) * m_gap + c.span - 1) / c.span;
        cell = cell.expandedTo(QSize(width, s.height()));
    }
    return cell;
}

QSize ScientificKeyGrid::total(QSize cell) const
{
    const int splitGaps = m_split >= 0 && m_split < m_columns - 1 ? 1 : 0;
    const QMargins m = contentsMargins();
    return QSize(m_columns * cell.width() + (m_columns - 1 - splitGaps) * m_gap + splitGaps * m_splitGap,
                 m_rows * cell.height() + (m_rows - 1) * m_gap)
        + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize ScientificKeyGrid::sizeHint() const
{
    return total(cellSize(true));
}

QSize ScientificKeyGrid::minimumSize() const
{
    return total(cellSize(false));
}

Qt::Orientations ScientificKeyGrid::expandingDirections() const
{
    return Qt::Horizontal | Qt::Vertical;
}

QList<int> ScientificKeyGrid::starts(int length, int count, int cell, int split, const QList<bool>& open) const
{
    // The gaps before each cell at their set widths, then the pixels left
    // over spread as evenly as whole pixels allow through the open gaps
    // (all of them when none is).
    QList<int> result;
    result.reserve(count);
    int fixed = 0;
    int opened = 0;
    for (int i = 1; i < count; ++i) {
        fixed += i - 1 == split ? m_splitGap : m_gap;
        opened += open.value(i, false) ? 1 : 0;
    }
    const bool all = opened == 0;
    if (all)
        opened = count - 1;
    const int spare = count > 1 ? std::max(0, length - count * cell - fixed) : 0;
    int at = 0;
    int passed = 0;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            at += cell + (i - 1 == split ? m_splitGap : m_gap);
            passed += all || open.value(i, false) ? 1 : 0;
        }
        result.append(at + (opened > 0 ? spare * passed / opened : 0));
    }
    return result;
}

QRect ScientificKeyGrid::cellRect(const QRect& area, int row, int column, int columnSpan) const
{
    const QRect r = area.marginsRemoved(contentsMargins());
    const int splitGaps = m_split >= 0 && m_split < m_columns - 1 ? 1 : 0;
    const int cellWidth = std::max(0, (r.width() - (m_columns - 1 - splitGaps) * m_gap - splitGaps * m_splitGap) / m_columns);
    const int cellHeight = std::max(0, (r.height() - (m_rows - 1) * m_gap) / m_rows);
    // Spare pixels go to the gaps no key spans, so that keys of one span
    // keep one width.
    QList<bool> open(m_columns, true);
    open[0] = false;
    for (const Cell& c : m_cells) {
        for (int i = c.column + 1; i < c.column + c.span && i < m_columns; ++i)
            open[i] = false;
    }
    const QList<int> xs = starts(r.width(), m_columns, cellWidth, splitGaps ? m_split : -1, open);
    const QList<int> ys = starts(r.height(), m_rows, cellHeight, -1, {});
    // A key spanning columns reaches to the right edge of its last cell.
    const int last = std::min(m_columns - 1, column + columnSpan - 1);
    const int width = xs.at(last) + cellWidth - xs.at(column);
    return QRect(r.left() + xs.at(column), r.top() + ys.at(row), width, cellHeight);
}

void ScientificKeyGrid::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    // Right to left, the columns run from the right as a box layout's do.
    const Qt::LayoutDirection direction = parentWidget() ? parentWidget()->layoutDirection() : Qt::LeftToRight;
    for (const Cell& c : std::as_const(m_cells))
        c.item->setGeometry(QStyle::visualRect(direction, rect, cellRect(rect, c.row, c.column, c.span)));
}
