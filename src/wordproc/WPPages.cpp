#include "wordproc/WPPages.h"

#include "wordproc/WPText.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <cmath>

namespace WPPages {

namespace {

qreal finiteOr(qreal v, qreal fallback)
{
    return std::isfinite(v) ? v : fallback;
}

// A piece of the column that must not be cut: a line, or a table row.
struct Unit {
    qreal top;
    qreal bottom;
    bool breakBefore;
};

// The lines of the text and the rows of its tables, in order.
QList<Unit> unitsOf(const QTextDocument& doc, int limit)
{
    QList<Unit> units;
    const QAbstractTextDocumentLayout* layout = doc.documentLayout();
    const bool hasFrames = !doc.rootFrame()->childFrames().isEmpty();
    const QTextTable* rowTable = nullptr;
    int row = -1;
    bool breakNext = false;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (limit >= 0 && block.position() >= limit)
            break;
        const QTextBlockFormat format = block.blockFormat();
        const bool breakBefore = breakNext || (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
        breakNext = format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter;
        const QRectF rect = layout->blockBoundingRect(block);
        const QTextLayout* lines = block.layout();
        const QTextTable* table = hasFrames ? QTextCursor(block).currentTable() : nullptr;
        if (table) {
            // A row is one piece, with its padding and borders.
            const QTextTableFormat tf = table->format();
            const qreal pad = tf.cellPadding() + tf.border() + tf.cellSpacing();
            const int r = table->cellAt(block.position()).row();
            if (table == rowTable && r == row && !units.isEmpty()) {
                units.last().top = std::min(units.last().top, rect.top() - pad);
                units.last().bottom = std::max(units.last().bottom, rect.bottom() + pad);
                units.last().breakBefore = units.last().breakBefore || breakBefore;
            } else {
                units.append({rect.top() - pad, rect.bottom() + pad, breakBefore});
            }
            rowTable = table;
            row = r;
            continue;
        }
        rowTable = nullptr;
        row = -1;
        if (!lines || lines->lineCount() == 0) {
            units.append({rect.top(), rect.bottom(), breakBefore});
            continue;
        }
        const qreal origin = rect.top() - lines->boundingRect().top();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            units.append({origin + line.y(), origin + line.y() + line.height(), breakBefore && i == 0});
        }
    }
    return units;
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

QList<qreal> starts(const QTextDocument& document, qreal pageHeight, int limit)
{
    const qreal page = std::max<qreal>(pageHeight, 1);
    // Lengths a hundredth of a point apart are the same.
    const qreal slack = 0.01 * WPText::pixelsPerPoint();
    // The text begins inside the document's margin.
    qreal start = document.rootFrame()->frameFormat().topMargin();
    QList<qreal> pages{start};
    for (const Unit& u : unitsOf(document, limit)) {
        if (u.breakBefore && u.top > start + slack) {
            start = u.top;
            pages.append(start);
        }
        while (u.bottom - start > page + slack) {
            // The piece begins a new page; one taller than a page is cut.
            start = u.top > start + slack ? u.top : start + page;
            pages.append(start);
        }
    }
    return pages;
}

} // namespace WPPages
