#pragma once

#include <QPageLayout>
#include <QString>
#include <functional>
#include <optional>

class QPagedPaintDevice;
class QWidget;

// The print and page setup panels. Qt PrintSupport (and the print system's
// client libraries) live in the "brindleworks-print" module, opened the
// first time a panel is shown.
namespace PrintModule {

struct PrintRequest {
    QPageLayout layout;  // the paper, drawn in paper coordinates
    QString documentName;
    bool pageRanges = false; // the panel offers a range of pages
    int pages = 1;           // the job's length, for the range's bounds
    QString folder;          // where "Print to File" starts
    QString fileName;        // the file it proposes there ("Essay.pdf")
};

class Panels {
public:
    virtual ~Panels() = default;
    // The page setup panel on `layout`: the chosen layout, or nothing when
    // cancelled.
    virtual std::optional<QPageLayout> pageSetup(QWidget* parent, const QPageLayout& layout,
                                                 const QString& title) = 0;
    // The print panel; once confirmed, `draw` puts the pages on the chosen
    // printer, whose page ranges say which pages were asked for (empty when
    // the user chose all of them). Nothing when
    // cancelled, else what `draw` returned.
    virtual std::optional<bool> print(QWidget* parent, const PrintRequest& request,
                                      const std::function<bool(QPagedPaintDevice*)>& draw) = 0;
};

// The module's panels, opening it on first use; null, with `error` saying
// why, when it cannot be opened.
Panels* panels(QString* error = nullptr);

} // namespace PrintModule

extern "C" {
using BwPrintPanelsFn = PrintModule::Panels* (*)();
}
