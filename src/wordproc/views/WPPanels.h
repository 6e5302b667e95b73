#pragma once

#include <QString>
#include <functional>

class QWidget;

// The open and save panels of the editor window, behind a seam that tests
// replace (a chooser returns the path, or an empty text for "cancelled").
namespace WPPanels {

using Chooser = std::function<QString(QWidget* parent, const QString& proposed)>;

// "Choose a picture to insert": one image file.
QString chooseImage(QWidget* parent);
// A PDF file to write, proposing `proposedName` ("Report.pdf").
QString choosePdf(QWidget* parent, const QString& proposedName);

// Replaces the panels (an empty function restores them); returns the old one.
Chooser setImageChooser(Chooser chooser);
Chooser setPdfChooser(Chooser chooser);

} // namespace WPPanels
