#include "wordproc/views/WPToolbarFlow.h"

#include <QWidget>

#include <algorithm>

WPToolbarFlow::WPToolbarFlow(QWidget* parent) : QLayout(parent)
{
}

WPToolbarFlow::~WPToolbarFlow()
{
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void WPToolbarFlow::addRowBreak()
{
    ++m_row;
    m_right = false;
}

void WPToolbarFlow::pushRight()
{
    m_right = true;
}

void WPToolbarFlow::addItem(QLayoutItem* item)
{
    m_entries.append({item, m_row, m_right});
    invalidate();
}

int WPToolbarFlow::count() const
{
    return int(m_entries.size());
}

QLayoutItem* WPToolbarFlow::itemAt(int index) const
{
    return index >= 0 && index < m_entries.size() ? m_entries.at(index).item : nullptr;
}

QLayoutItem* WPToolbarFlow::takeAt(int index)
{
    if (index < 0 || index >= m_entries.size())
        return nullptr;
    QLayoutItem* item = m_entries.takeAt(index).item;
    invalidate();
    return item;
}

Qt::Orientations WPToolbarFlow::expandingDirections() const
{
    return {};
}

bool WPToolbarFlow::hasHeightForWidth() const
{
    return true;
}

int WPToolbarFlow::heightForWidth(int width) const
{
    return arrange(QRect(0, 0, width, 0), false);
}

QSize WPToolbarFlow::sizeHint() const
{
    // Every row on one line.
    const QMargins m = contentsMargins();
    QList<int> widths;
    for (const Entry& e : m_entries) {
        if (e.item->isEmpty())
            continue;
        if (widths.size() <= e.row)
            widths.resize(e.row + 1, -spacing());
        widths[e.row] += e.item->sizeHint().width() + spacing();
    }
    const int width = widths.isEmpty() ? 0 : *std::max_element(widths.cbegin(), widths.cend());
    return QSize(width + m.left() + m.right(), heightForWidth(width + m.left() + m.right()));
}

QSize WPToolbarFlow::minimumSize() const
{
    QSize size;
    for (const Entry& e : m_entries) {
        if (!e.item->isEmpty())
            size = size.expandedTo(e.item->minimumSize());
    }
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

void WPToolbarFlow::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int WPToolbarFlow::arrange(const QRect& rect, bool apply) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int gap = std::max(0, spacing());
    struct Line {
        QList<const Entry*> entries;
        int width = 0;
        int height = 0;
    };
    QList<Line> lines;
    int row = -1;
    for (const Entry& e : m_entries) {
        if (e.item->isEmpty())
            continue;
        const QSize size = e.item->sizeHint();
        const bool fits = !lines.isEmpty() && lines.last().width + gap + size.width() <= area.width();
        if (e.row != row || !fits)
            lines.append(Line());
        row = e.row;
        Line& line = lines.last();
        line.width += (line.entries.isEmpty() ? 0 : gap) + size.width();
        line.height = std::max(line.height, size.height());
        line.entries.append(&e);
    }
    int y = area.top();
    for (const Line& line : std::as_const(lines)) {
        if (apply) {
            // The right-hand group starts where it ends flush with the right edge.
            int rightWidth = 0;
            for (const Entry* e : line.entries) {
                if (e->right)
                    rightWidth += e->item->sizeHint().width() + gap;
            }
            int x = area.left();
            for (const Entry* e : line.entries) {
                const QSize size = e->item->sizeHint();
                if (e->right && rightWidth > 0) {
                    x = std::max(x, area.right() + 1 - (rightWidth - gap));
                    rightWidth = 0;
                }
                e->item->setGeometry(QRect(QPoint(x, y + (line.height - size.height()) / 2), size));
                x += size.width() + gap;
            }
        }
        y += line.height + gap;
    }
    const QMargins m = contentsMargins();
    return (lines.isEmpty() ? 0 : y - gap - area.top()) + m.top() + m.bottom();
}
