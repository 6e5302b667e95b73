#pragma once

#include <QString>

class QWidget;

// The save panel of the schedule export: a modal file dialog for CSV files
// that proposes `proposedName` in the documents folder. Returns the chosen
// path, or an empty text when the user cancels.
namespace LoanSaveDialog {

QString choose(QWidget* parent, const QString& proposedName);

} // namespace LoanSaveDialog
