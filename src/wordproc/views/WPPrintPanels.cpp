#include "wordproc/views/WPPrintPanels.h"

#include "ui/Alert.h"
#include "wordproc/WPDocument.h"
#include "wordproc/print/WPPrint.h"
#include "wordproc/views/WPOpenSavePanels.h"

#include <QDir>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <memory>
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

// The panel's "Print to File" name starts in the working folder: make that
// the document's folder while the panel is built.
class WorkingFolder {
public:
    explicit WorkingFolder(const QString& folder) : m_previous(QDir::currentPath()) { QDir::setCurrent(folder); }
    ~WorkingFolder() { QDir::setCurrent(m_previous); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    QString m_previous;
};

bool runPrintPanel(QWidget* parent, QPrinter& printer, int pages, const QString& folder)
{
    std::unique_ptr<QPrintDialog> dialog;
    {
        const WorkingFolder here(folder);
        dialog = std::make_unique<QPrintDialog>(&printer, parent);
    }
    dialog->setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog->setMinMax(1, qMax(1, pages));
    return dialog->exec() == QDialog::Accepted;
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
    const QString path = WPOpenSavePanels::choosePdfLocation(parent, proposedPdfName(document->printTitle()),
                                                             WPOpenSavePanels::folderFor(document->filePath()));
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
    const int pages = WPPrint::pageCount(*document->storage(), document->pageSetup());
    const bool chosen = printChooser()
        ? printChooser()(parent, printer, pages)
        : runPrintPanel(parent, printer, pages, WPOpenSavePanels::folderFor(document->filePath()));
    if (!chosen)
        return false;
    // Only a page range narrows the job; "all" and a selection print every page.
    const QPageRanges ranges
        = printer.printRange() == QPrinter::PageRange ? printer.pageRanges() : QPageRanges();
    if (WPPrint::render(*document->storage(), document->pageSetup(), document->headerText(),
                        document->footerText(), document->printTitle(), &printer, ranges))
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
