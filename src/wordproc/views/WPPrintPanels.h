#pragma once

#include "wordproc/WPPageSetup.h"

#include <QString>
#include <functional>
#include <optional>

class QPagedPaintDevice;
class QWidget;
class WPDocument;

// Print…, Page Setup… and Export as PDF… of a document, with their panels
// and the alert of a failed export.
namespace WPPrintPanels {

// "Report.docx" -> "Report.pdf"; "Document.pdf" for a document without name.
QString proposedPdfName(const QString& displayName);

// Asks where to write the PDF and writes it; a failure shows "Couldn’t
// export the PDF.". True when a PDF was written.
bool exportPDF(WPDocument* document, QWidget* parent);

// The print panel (printers, or "Print to File", and which pages), then
// the pages asked for.
bool print(WPDocument* document, QWidget* parent);

// The page setup panel; a confirmed choice becomes the document's page
// setup, which every window of the document follows.
bool runPageLayout(WPDocument* document, QWidget* parent);

// The page setup panel: the new page setup, or nothing when cancelled.
// Tests replace it; returns the previous one (empty: the real panel).
using PageSetupChooser = std::function<std::optional<WPPageSetup>(QWidget* parent, const WPPageSetup& current)>;
PageSetupChooser setPageSetupChooser(PageSetupChooser chooser);

// The print panel for a job of `pages` pages: the device to print on, whose
// page ranges are the pages asked for; null when cancelled. Tests replace it
// with a device of their own; returns the previous one (empty: the real
// panel).
using PrintChooser = std::function<QPagedPaintDevice*(QWidget* parent, int pages)>;
PrintChooser setPrintChooser(PrintChooser chooser);

} // namespace WPPrintPanels
