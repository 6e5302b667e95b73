#include "wordproc/WPPages.h"

#include "wordproc/WPText.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace WPPages {

namespace {

qreal finiteOr(qreal v, qreal fallback)
{
    return std::isfinite(v) ? v : fallback;
}

// A piece of the column that must not be cut: a line, or a table row;
// `position` is where its text begins.
struct Unit {
    qreal top;
    qreal bottom;
    bool breakBefore;
    int position;
};

// The tables of the text, in order.
QList<const QTextTable*> tablesOf(const QTextDocument& doc)
{
    QList<const QTextTable*> tables;
    for (const QTextFrame* frame : doc.rootFrame()->childFrames()) {
        if (const auto* table = qobject_cast<const QTextTable*>(frame))
            tables.append(table);
    }
    return tables;
}

// The paragraph where the piece holding `block` begins: the first of its
// table when it is in one.
QTextBlock pieceStart(const QTextDocument& doc, const QTextBlock& block)
{
    for (const QTextTable* table : tablesOf(doc)) {
        if (table->firstPosition() <= block.position() && block.position() <= table->lastPosition())
            return doc.findBlock(table->firstPosition());
    }
    return block;
}

// The lines of the text and the rows of its tables, in order, from the
// paragraph `block` on; `visit` returns false to stop.
template<typename Visit>
void forEachUnit(const QTextDocument& doc, QTextBlock block, int limit, Visit visit)
{
    const QAbstractTextDocumentLayout* layout = doc.documentLayout();
    // The tables and the stretch of text each covers (asking each
    // paragraph for its table would cost a cursor per paragraph).
    const QList<const QTextTable*> tables = tablesOf(doc);
    qsizetype nextTable = 0;
    const QTextTable* rowTable = nullptr;
    int row = -1;
    std::optional<Unit> rowUnit;
    bool breakNext = block.previous().isValid()
        && (block.previous().blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter);
    for (; block.isValid(); block = block.next()) {
        if (limit >= 0 && block.position() >= limit)
            break;
        const QTextBlockFormat format = block.blockFormat();
        const bool breakBefore = breakNext || (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
        breakNext = format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter;
        const QRectF rect = layout->blockBoundingRect(block);
        while (nextTable < tables.size() && tables.at(nextTable)->lastPosition() < block.position())
            ++nextTable;
        const QTextTable* table = nullptr;
        if (nextTable < tables.size() && tables.at(nextTable)->firstPosition() <= block.position())
            table = tables.at(nextTable); // a row of the outer table is the piece
        if (table) {
            // A row is one piece, with its padding and borders.
            const QTextTableFormat tf = table->format();
            const qreal pad = tf.cellPadding() + tf.border() + tf.cellSpacing();
            const int r = table->cellAt(block.position()).row();
            if (rowUnit && table == rowTable && r == row) {
                rowUnit->top = std::min(rowUnit->top, rect.top() - pad);
                rowUnit->bottom = std::max(rowUnit->bottom, rect.bottom() + pad);
                rowUnit->breakBefore = rowUnit->breakBefore || breakBefore;
            } else {
                if (rowUnit && !visit(*rowUnit))
                    return;
                rowUnit = Unit{rect.top() - pad, rect.bottom() + pad, breakBefore, block.position()};
            }
            rowTable = table;
            row = r;
            continue;
        }
        if (rowUnit && !visit(*std::exchange(rowUnit, std::nullopt)))
            return;
        rowTable = nullptr;
        row = -1;
        const QTextLayout* lines = block.layout();
        if (!lines || lines->lineCount() == 0) {
            if (!visit(Unit{rect.top(), rect.bottom(), breakBefore, block.position()}))
                return;
            continue;
        }
        const qreal origin = rect.top() - lines->boundingRect().top();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            const Unit u{origin + line.y(), origin + line.y() + line.height(), breakBefore && i == 0,
                         block.position() + line.textStart()};
            if (!visit(u))
                return;
        }
    }
    if (rowUnit)
        visit(*rowUnit);
}

// Adds to `pages` (the last of which is being filled) the pages that the
// pieces from paragraph `from` on begin; `resync` may end the search.
template<typename Resync>
void paginate(const QTextDocument& doc, const QTextBlock& from, qreal pageHeight, int limit, QList<Page>& pages,
              Resync resync)
{
    const qreal page = std::max<qreal>(pageHeight, 1);
    // Lengths a hundredth of a point apart are the same.
    const qreal slack = 0.01 * WPText::pixelsPerPoint();
    forEachUnit(doc, from, limit, [&](const Unit& u) {
        qreal start = pages.constLast().top;
        if (u.breakBefore && u.top > start + slack) {
            pages.append({u.top, u.position});
            if (resync())
                return false;
            start = u.top;
        }
        while (u.bottom - start > page + slack) {
            // The piece begins a new page; one taller than a page is cut.
            const bool moves = u.top > start + slack;
            start = moves ? u.top : start + page;
            pages.append({start, moves ? u.position : -1});
            if (resync())
                return false;
        }
        return true;
    });
}

} // namespace

void prepare(QTextDocument& document)
{
    // Advances as the font designs them, not as hinted for one screen, so
    // that the lines break alike on every device. Glyphs that shaping
    // substitutes (ligatures, case and contextual forms) would have no
    // character of their own in a PDF's text layer: every layout sets each
    // character in its plain glyph, so screen and print break lines alike.
    if (!document.useDesignMetrics())
        document.setUseDesignMetrics(true);
    QFont base = document.defaultFont();
    if (base.styleStrategy() != QFont::PreferNoShaping) {
        base.setStyleStrategy(QFont::PreferNoShaping);
        document.setDefaultFont(base);
    }
}

qreal textWidth(const WPPageSetup& setup)
{
    const qreal points = std::clamp<qreal>(finiteOr(setup.textWidth(), 468), 18, 14400);
    return std::round(points * WPText::pixelsPerPoint());
}

qreal pageHeight(const WPPageSetup& setup)
{
    const qreal points = std::clamp<qreal>(finiteOr(setup.textHeight(), 648), 72, 14400);
    return points * WPText::pixelsPerPoint();
}

QList<Page> pages(const QTextDocument& document, qreal pageHeight, int limit)
{
    // The text begins inside the document's margin.
    QList<Page> found{{document.rootFrame()->frameFormat().topMargin(), 0}};
    paginate(document, document.begin(), pageHeight, limit, found, [] { return false; });
    return found;
}

QList<Page> pagesAfterEdit(const QTextDocument& document, qreal pageHeight, const QList<Page>& before, int from,
                           int removed, int added)
{
    const QTextBlock changed = document.findBlock(std::max(0, from));
    if (before.isEmpty() || !changed.isValid())
        return pages(document, pageHeight);
    // The pages that begin above the edited piece stay as they were.
    const QTextBlock first = pieceStart(document, changed);
    const qreal top = document.documentLayout()->blockBoundingRect(first).top();
    const qreal slack = 0.01 * WPText::pixelsPerPoint();
    QList<Page> found;
    qsizetype kept = 0;
    while (kept < before.size() && (kept == 0 || before.at(kept).top < top - 2 * slack - 1))
        found.append(before.at(kept++));
    // Below the edit the pieces are those of before, moved: once a page
    // begins with a piece that began one before, the rest are as before.
    const int shift = added - removed;
    const QTextBlock edited = document.findBlock(from + added);
    const int editEnd = edited.isValid() ? edited.position() + edited.length() : std::numeric_limits<int>::max();
    qsizetype old = kept;
    const auto resync = [&] {
        const Page& now = found.constLast();
        if (now.position < editEnd)
            return false;
        while (old < before.size() && (before.at(old).position < 0 || before.at(old).position + shift < now.position))
            ++old;
        if (old >= before.size() || before.at(old).position < from + removed
            || before.at(old).position + shift != now.position)
            return false;
        const qreal dy = now.top - before.at(old).top;
        for (qsizetype i = old + 1; i < before.size(); ++i) {
            const Page& p = before.at(i);
            found.append({p.top + dy, p.position < 0 ? -1 : p.position + shift});
        }
        return true;
    };
    paginate(document, first, pageHeight, -1, found, resync);
    return found;
}

} // namespace WPPages
