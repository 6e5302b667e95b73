#include "wordproc/views/WPPrintPanels.h"

#include "ui/Alert.h"
#include "ui/PrintModule.h"
#include "wordproc/WPDocument.h"
#include "wordproc/WPPaths.h"
#include "wordproc/print/WPPrint.h"
#include "wordproc/views/WPOpenSavePanels.h"

#include <QPagedPaintDevice>
#include <utility>

namespace WPPrintPanels {

namespace {

PageSetupChooser& pageSetupChooser()
{
    static PageSetupChooser c;
    return c;
}

PrintChooser& printChooser()
{
    static PrintChooser c;
    return c;
}

// The document's paper, drawn in paper coordinates.
QPageLayout layoutOf(const WPDocument& document, bool withMargins)
{
    const WPPageSetup setup = document.pageSetup();
    QPageLayout layout = WPPrint::pageLayout(setup);
    if (withMargins) {
        layout.setMinimumMargins(QMarginsF());
        layout.setMargins(QMarginsF(setup.leftMargin, setup.topMargin, setup.rightMargin, setup.bottomMargin));
    }
    return layout;
}

void printingUnavailable(const QString& why)
{
    runAlert(QStringLiteral("Printing is not available."), why, AlertStyle::Informational, {QStringLiteral("OK")});
}

std::optional<WPPageSetup> runPageSetupPanel(QWidget* parent, const WPDocument& document)
{
    QString why;
    PrintModule::Panels* panels = PrintModule::panels(&why);
    if (!panels) {
        printingUnavailable(why);
        return std::nullopt;
    }
    const std::optional<QPageLayout> chosen
        = panels->pageSetup(parent, layoutOf(document, true), QStringLiteral("Page Setup"));
    if (!chosen)
        return std::nullopt;
    return WPPrint::pageSetup(*chosen);
}

} // namespace

QString proposedPdfName(const QString& displayName)
{
    QString base = displayName;
    const qsizetype dot = base.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        base.truncate(dot);
    if (base.isEmpty())
        base = QStringLiteral("Document");
    return base + QStringLiteral(".pdf");
}

bool exportPDF(WPDocument* document, QWidget* parent)
{
    if (!document)
        return false;
    const QString path = WPOpenSavePanels::choosePdfLocation(parent, proposedPdfName(document->printTitle()),
                                                             WPOpenSavePanels::folderFor(document->filePath()));
    if (path.isEmpty())
        return false;
    const QString problem = WPPaths::writeProblem(path);
    if (problem.isEmpty() && document->exportPDF(path))
        return true;
    runAlert(QStringLiteral("Couldn’t export the PDF."), problem, AlertStyle::Informational,
             {QStringLiteral("OK")});
    return false;
}

bool print(WPDocument* document, QWidget* parent)
{
    if (!document)
        return false;
    const int pages = WPPrint::pageCount(*document->storage(), document->pageSetup());
    // The pages asked for travel as the device's page ranges (empty: all).
    const auto draw = [document](QPagedPaintDevice* printer) {
        return WPPrint::render(*document->storage(), document->pageSetup(), document->headerText(),
                               document->footerText(), document->printTitle(), printer,
                               printer->pageRanges());
    };
    std::optional<bool> printed;
    if (printChooser()) {
        // A stand-in panel (tests) answers with a device of its own.
        QPagedPaintDevice* device = printChooser()(parent, pages);
        if (device) {
            device->setPageLayout(layoutOf(*document, false));
            printed = draw(device);
        }
    } else {
        QString why;
        PrintModule::Panels* panels = PrintModule::panels(&why);
        if (!panels) {
            printingUnavailable(why);
            return false;
        }
        printed = panels->print(parent,
                                {layoutOf(*document, false), document->printTitle(), true, pages,
                                 WPOpenSavePanels::folderFor(document->filePath()),
                                 proposedPdfName(document->printTitle())},
                                draw);
    }
    if (!printed)
        return false;
    if (*printed)
        return true;
    runAlert(QStringLiteral("Couldn’t print the document."), QString(), AlertStyle::Informational,
             {QStringLiteral("OK")});
    return false;
}

bool runPageLayout(WPDocument* document, QWidget* parent)
{
    if (!document)
        return false;
    const std::optional<WPPageSetup> chosen = pageSetupChooser() ? pageSetupChooser()(parent, document->pageSetup())
                                                                 : runPageSetupPanel(parent, *document);
    if (!chosen)
        return false;
    document->setPageSetup(*chosen);
    return true;
}

PageSetupChooser setPageSetupChooser(PageSetupChooser chooser)
{
    return std::exchange(pageSetupChooser(), std::move(chooser));
}

PrintChooser setPrintChooser(PrintChooser chooser)
{
    return std::exchange(printChooser(), std::move(chooser));
}

} // namespace WPPrintPanels
