#include "wordproc/formats/Word97Layout.h"

#include "wordproc/formats/FormatSupport.h"
#include "wordproc/formats/Word97Format.h"

#include <algorithm>

namespace Word97::Layout {

using namespace Word97Format;
using namespace Word97Props;
using WPTextModel::Paragraph;

Paragraph modelParagraph(const Pap& pap, Paragraph p)
{
    WPTextModel::ParagraphStyle& s = p.style;
    s.alignment = pap.jc == 1 ? Qt::AlignHCenter : pap.jc == 2 ? Qt::AlignRight
                : pap.jc >= 3 && pap.jc <= 5 ? Qt::AlignJustify : Qt::AlignLeft;
    s.headIndent = std::clamp(pap.left / 20.0, -10000.0, 10000.0);
    s.firstLineHeadIndent = std::clamp((pap.left + pap.firstLine) / 20.0, -10000.0, 10000.0);
    s.tailIndent = std::clamp(pap.right / 20.0, -10000.0, 10000.0);
    s.spaceBefore = std::min(pap.before / 20.0, 1584.0);
    s.spaceAfter = std::min(pap.after / 20.0, 1584.0);
    if (pap.multipleLine && pap.line > 0 && pap.line != 240)
        s.lineHeightMultiple = std::clamp(pap.line / 240.0, 0.25, 10.0);
    for (const Tab& t : pap.tabs) {
        if (t.kind == 4 || t.position < 0)
            continue; // bar tabs draw a line: no stop
        s.tabStops.append(t.position / 20.0);
        s.tabKinds.append(t.kind == 1 ? QTextOption::CenterTab : t.kind == 2 ? QTextOption::RightTab
                        : t.kind == 3 ? QTextOption::DelimiterTab : QTextOption::LeftTab);
    }
    bool kinds = false;
    for (int k : std::as_const(s.tabKinds))
        kinds = kinds || k != QTextOption::LeftTab;
    if (!kinds)
        s.tabKinds.clear();
    if (s.listKind == WPText::ListNone)
        s.listKind = WPTextModel::literalListKind(p);
    return p;
}

namespace {

bool hasText(const QList<Paragraph>& paragraphs)
{
    for (const Paragraph& p : paragraphs)
        if (!p.runs.isEmpty())
            return true;
    return false;
}

} // namespace

WPTextModel::Table makeTable(const QList<RawRow>& rows)
{
    // The columns are the distinct cell edges of all rows; a row whose
    // layout is missing takes one column per cell.
    bool layout = true;
    QList<int> edges;
    for (const RawRow& r : rows) {
        if (r.tap.edges.size() < r.cells.size() + 1) {
            layout = false;
            break;
        }
        for (qsizetype i = 0; i <= r.cells.size(); ++i)
            if (!edges.contains(r.tap.edges[i]))
                edges.append(r.tap.edges[i]);
    }
    std::sort(edges.begin(), edges.end());
    if (edges.size() > FormatSupport::kMaxColumns + 1)
        layout = false;
    WPTextModel::Table t;
    t.rows = int(rows.size());
    int columns = 1;
    for (qsizetype y = 0; y < rows.size(); ++y) {
        const RawRow& row = rows[y];
        QList<WPTextModel::TableCell*> previous;
        for (qsizetype i = 0; i < row.cells.size(); ++i) {
            int column = int(i);
            int span = 1;
            if (layout) {
                column = int(edges.indexOf(row.tap.edges[i]));
                span = std::max(1, int(edges.indexOf(row.tap.edges[i + 1])) - column);
            }
            if (column >= FormatSupport::kMaxColumns)
                break;
            const quint16 flags = row.tap.flags.value(i);
            if ((flags & tcMerged) && !t.cells.isEmpty() && t.cells.last().row == y) {
                WPTextModel::TableCell& left = t.cells.last();
                left.columnSpan = column + span - left.column;
                if (hasText(row.cells[i]))
                    left.paragraphs += row.cells[i];
                continue;
            }
            if ((flags & tcVertMerge) && !(flags & tcVertRestart)) {
                auto above = std::find_if(t.cells.begin(), t.cells.end(), [&](const WPTextModel::TableCell& c) {
                    return c.column == column && c.row + c.rowSpan == y;
                });
                if (above != t.cells.end()) {
                    ++above->rowSpan;
                    if (hasText(row.cells[i]))
                        above->paragraphs += row.cells[i];
                    continue;
                }
            }
            WPTextModel::TableCell cell;
            cell.row = int(y);
            cell.column = column;
            cell.columnSpan = span;
            cell.paragraphs = row.cells[i];
            cell.background = row.tap.shades.value(i);
            t.cells.append(cell);
            columns = std::max(columns, column + span);
        }
    }
    t.columns = std::min(columns, FormatSupport::kMaxColumns);
    if (layout && edges.size() == t.columns + 1)
        for (qsizetype i = 1; i < edges.size(); ++i)
            t.columnWidths.append(edges[i] - edges[i - 1]);
    return t;
}

} // namespace Word97::Layout
