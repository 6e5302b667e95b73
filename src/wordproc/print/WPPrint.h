#pragma once

#include "wordproc/WPPageSetup.h"

#include <QDate>
#include <QLocale>
#include <QPageLayout>
#include <QPageRanges>
#include <QString>

class QPagedPaintDevice;
class QTextDocument;

// Pages of a document as they print: the text laid out on the page's text
// area, with the header and footer templates drawn in the margins.
namespace WPPrint {

// The templates' placeholders: "{page}", "{pages}", "{date}" (the locale's
// medium date) and "{title}", each replaced wherever it occurs, in that
// order. Text put in by one placeholder is never read as another.
QString expand(const QString& templ, int page, int pages, const QDate& date, const QString& title);

// `date` in the medium date style of `locale` ("Dec 7, 2026" in en_US).
QString mediumDate(const QDate& date, const QLocale& locale = QLocale());

// The page layout of `setup` for a printer or PDF writer: the paper in
// points (landscape when wider than high) and no margins, so that the page
// is drawn in paper coordinates.
QPageLayout pageLayout(const WPPageSetup& setup);
// A page setup from a layout chosen in a page setup panel: its paper in
// points as oriented, and its margins.
WPPageSetup pageSetup(const QPageLayout& layout);

// How many pages `text` fills with `setup`.
int pageCount(const QTextDocument& text, const WPPageSetup& setup);

// Draws every page onto `device` (a printer or PDF writer, whose page
// layout this sets from `setup`). A line or a table row never straddles two
// pages; pictures keep their size in points. The header and the footer
// (9 pt, dark grey, centred) sit in the middle of the top and bottom
// margins. Only the pages in `ranges` are drawn (all when it is empty);
// "{page}" is the page's number in the document and "{pages}" the number
// of pages drawn. False when nothing could be drawn.
bool render(const QTextDocument& text, const WPPageSetup& setup, const QString& header,
            const QString& footer, const QString& title, QPagedPaintDevice* device,
            const QPageRanges& ranges = QPageRanges());

// Writes the document as a PDF file at `path`, atomically: on failure the
// path is left as it was. Returns whether it succeeded.
bool exportPDF(const QTextDocument& text, const WPPageSetup& setup, const QString& header,
               const QString& footer, const QString& title, const QString& path);

} // namespace WPPrint
