#include "wordproc/views/WPPrintPanels.h"

#include "ui/Alert.h"
#include "wordproc/WPDocument.h"
#include "wordproc/print/WPPrint.h"
#include "wordproc/views/WPOpenSavePanels.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <utility>

namespace WPPrintPanels {

namespace {

PageSetupChooser& pageSetupChooser()
{
    static PageSetupChooser c;
    return c;
}

// A printer set to the document's paper, drawing in paper coordinates.
void prepare(QPrinter& printer, const WPDocument& document, bool withMargins)
{
    const WPPageSetup setup = document.pageSetup();
    printer.setFullPage(true);
    QPageLayout layout = WPPrint::pageLayout(setup);
    if (withMargins) {
        layout.setMinimumMargins(QMarginsF());
        layout.setMargins(QMarginsF(setup.leftMargin, setup.topMargin, setup.rightMargin, setup.bottomMargin));
    }
    printer.setPageLayout(layout);
    printer.setDocName(document.printTitle());
}

std::optional<WPPageSetup> runPageSetupPanel(QWidget* parent, const WPDocument& document)
{
    QPrinter printer(QPrinter::HighResolution);
    prepare(printer, document, true);
    QPageSetupDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Page Setup"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return WPPrint::pageSetup(printer.pageLayout());
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
    const QString path = WPOpenSavePanels::choosePdfLocation(parent, proposedPdfName(document->printTitle()));
    if (path.isEmpty())
        return false;
    if (document->exportPDF(path))
        return true;
    runAlert(QStringLiteral("Couldn’t export the PDF."), QString(), AlertStyle::Informational,
             {QStringLiteral("OK")});
    return false;
}

bool print(WPDocument* document, QWidget* parent)
{
    if (!document)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    prepare(printer, *document, false);
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (WPPrint::render(*document->storage(), document->pageSetup(), document->headerText(),
                        document->footerText(), document->printTitle(), &printer))
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

} // namespace WPPrintPanels
