// The print module: Qt's print and page setup panels behind the plain
// interface of ui/PrintModule.h. Loaded by the program on first use; it
// shares no state with the program.
#include "ui/PrintModule.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QDir>
#include <QLineEdit>

#include <memory>

namespace {

class QtPrintPanels final : public PrintModule::Panels {
public:
    std::optional<QPageLayout> pageSetup(QWidget* parent, const QPageLayout& layout, const QString& title) override
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setFullPage(true);
        printer.setPageLayout(layout);
        QPageSetupDialog dialog(&printer, parent);
        dialog.setWindowTitle(title);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return printer.pageLayout();
    }

    std::optional<bool> print(QWidget* parent, const PrintModule::PrintRequest& request,
                              const std::function<bool(QPagedPaintDevice*)>& draw) override
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setFullPage(true);
        printer.setPageLayout(request.layout);
        printer.setDocName(request.documentName);
        std::unique_ptr<QPrintDialog> dialog;
        {
            // "Print to File" proposes a name in the working folder.
            const QString previous = QDir::currentPath();
            if (!request.folder.isEmpty())
                QDir::setCurrent(request.folder);
            dialog = std::make_unique<QPrintDialog>(&printer, parent);
            QDir::setCurrent(previous);
        }
        // Qt proposes the home folder for a document kept elsewhere (and no
        // name at all off X11): the PDF goes beside the document instead.
        if (!request.folder.isEmpty() && !request.fileName.isEmpty()) {
            if (auto* file = dialog->findChild<QLineEdit*>(QStringLiteral("filename")))
                file->setText(QDir(request.folder).filePath(request.fileName));
        }
        dialog->setOption(QAbstractPrintDialog::PrintPageRange, request.pageRanges);
        dialog->setMinMax(1, qMax(1, request.pages));
        if (dialog->exec() != QDialog::Accepted)
            return std::nullopt;
        // Only a page range narrows the job; "all" and a selection print every page.
        if (printer.printRange() != QPrinter::PageRange)
            printer.setPageRanges(QPageRanges());
        return draw(&printer);
    }
};

} // namespace

extern "C" Q_DECL_EXPORT PrintModule::Panels* bw_print_panels()
{
    static QtPrintPanels panels;
    return &panels;
}
