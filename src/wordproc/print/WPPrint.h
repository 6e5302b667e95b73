#pragma once

#include "wordproc/WPPageSetup.h"

#include <QDate>
#include <QString>

class QPagedPaintDevice;
class QTextDocument;

// Pages of a document as they print: the text laid out on the page's text
// area, with the header and footer templates drawn in the margins.
namespace WPPrint {

// The templates' placeholders: "{page}", "{pages}", "{date}" (the locale's
// medium date) and "{title}".
QString expand(const QString& templ, int page, int pages, const QDate& date, const QString& title);

// How many pages `text` fills with `setup`.
int pageCount(const QTextDocument& text, const WPPageSetup& setup);

// Draws every page onto `device` (a printer or PDF writer already set to the
// page size). False when nothing could be drawn.
bool render(const QTextDocument& text, const WPPageSetup& setup, const QString& header,
            const QString& footer, const QString& title, QPagedPaintDevice* device);

// Writes the document as a PDF file at `path`, atomically: on failure the
// path is left as it was. Returns whether it succeeded.
bool exportPDF(const QTextDocument& text, const WPPageSetup& setup, const QString& header,
               const QString& footer, const QString& title, const QString& path);

} // namespace WPPrint
