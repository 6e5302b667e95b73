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

void WPToolbarFlow::beginGroup()
{
    ++m_group;
    m_grouping = true;
}

void WPToolbarFlow::endGroup()
{
    m_grouping = false;
}

void WPToolbarFlow::addSeparator(QWidget* divider)
{
    m_nextIsSeparator = true;
    addWidget(divider);
    m_nextIsSeparator = false;
}

void WPToolbarFlow::addItem(QLayoutItem* item)
{
    if (!m_grouping)
        ++m_group;
    m_entries.append({item, m_row, m_right, m_group, m_nextIsSeparator});
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
    QList<const Entry*> dropped; // dividers that would start a line
    int row = -1;
    for (qsizetype i = 0; i < m_entries.size();) {
        // The next group: the controls that go to a new line together.
        qsizetype end = i;
        int width = -gap;
        while (end < m_entries.size() && m_entries.at(end).group == m_entries.at(i).group) {
            if (!m_entries.at(end).item->isEmpty())
                width += gap + m_entries.at(end).item->sizeHint().width();
            ++end;
        }
        const bool fits = !lines.isEmpty() && lines.last().width + gap + width <= area.width();
        if (width >= 0 && (m_entries.at(i).row != row || !fits))
            lines.append(Line());
        for (; i < end; ++i) {
            const Entry& e = m_entries.at(i);
            if (e.item->isEmpty())
                continue;
            const QSize size = e.item->sizeHint();
            // A group wider than the bar is broken where it must be.
            if (!lines.last().entries.isEmpty() && lines.last().width + gap + size.width() > area.width())
                lines.append(Line());
            row = e.row;
            if (e.separator && lines.last().entries.isEmpty()) {
                dropped.append(&e);
                continue;
            }
            Line& line = lines.last();
            line.width += (line.entries.isEmpty() ? 0 : gap) + size.width();
            line.height = std::max(line.height, size.height());
            line.entries.append(&e);
        }
    }
    if (apply) {
        for (const Entry* e : std::as_const(dropped))
            e->item->setGeometry(QRect(area.topLeft(), QSize(0, 0)));
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
