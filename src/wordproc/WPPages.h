#pragma once

#include "wordproc/WPPageSetup.h"

#include <QList>

class QTextDocument;

// How a document's text falls into pages, alike in the page view, the
// status bar and every printout: each lays the text out in the same layout
// units (WPText's pixels of a point, the fonts' own unhinted advances, each
// character in its plain glyph) at the same text width, and cuts the
// column into pages only between lines and between table rows.
namespace WPPages {

// Makes `document` lay out as every page of it does. Changes nothing of
// its text or formats.
void prepare(QTextDocument& document);

// The width of the text column of a page of `setup`, in layout units: a
// whole number, at least a finger's breadth.
qreal textWidth(const WPPageSetup& setup);
// The height of the text area of one page, in layout units: never below
// 72 points.
qreal pageHeight(const WPPageSetup& setup);

// Where a page begins: its top in the laid-out column of a document, in
// the document's own coordinates, and the position in the text of its first
// line or table row (-1 where a piece taller than a page is cut).
struct Page {
    qreal top;
    int position;
    bool operator==(const Page&) const = default;
};

// The pages of the laid-out `document`: the first begins where the text
// does; a page ends before the first line or table row that would reach
// past `pageHeight`, or before a paragraph that asks for a page break. With
// `limit` ≥ 0 only the paragraphs that begin before that position are
// looked at (the rest may not be laid out yet).
QList<Page> pages(const QTextDocument& document, qreal pageHeight, int limit = -1);

// pages() again after an edit at `from` that took `removed` characters
// away and put `added` in, given the pages found before it: the pages above
// the edit stay, and the search ends once a page begins with the same line
// as before the edit (the rest are the earlier ones, moved).
QList<Page> pagesAfterEdit(const QTextDocument& document, qreal pageHeight, const QList<Page>& before, int from,
                           int removed, int added);

} // namespace WPPages
