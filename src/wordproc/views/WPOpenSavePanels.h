#pragma once

#include "wordproc/WPFormat.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QFileIconProvider;
class QWidget;

// The open and save panels of the word processor. Each panel is reached
// through a chooser that tests replace; the real ones are Qt file dialogs.
namespace WPOpenSavePanels {

// A document type as the panels offer it.
struct FileType {
    WPFormat::DocType type;
    QString label;          // "Word Document"
    QStringList extensions; // without dots, the first one written
    bool saveable = true;
    QString typeName() const { return WPFormat::typeName(type); }
    // "Word Document (*.docx)"
    QString filter() const;
};

// Every type the word processor opens, in the order of the open panel's
// filters; saveable() lists the ones it writes, DOCX first.
QList<FileType> readable();
QList<FileType> saveable();
// The open panel's filters: "All readable documents (…)" then one per type.
QStringList openFilters();
// The type to give a file by its name, when nothing better is known.
std::optional<FileType> typeForPath(const QString& path);

// What the save panel answers: where to save and in which type.
struct SaveChoice {
    QString path;
    QString typeName;
};

// What a name typed in the save panel means when `chosen` is the type picked
// there: an extension of a type the word processor saves selects that type
// (the name stays as typed); any other name keeps the chosen type and gets
// its extension.
SaveChoice resolveSaveChoice(const QString& typedPath, const FileType& chosen);

// Files to open; empty when the user cancelled.
using OpenChooser = std::function<QStringList(QWidget* parent)>;
// Where and how to save a document first called `proposedName` (without
// extension) of type `typeName`; nothing when the user cancelled.
using SaveChooser =
    std::function<std::optional<SaveChoice>(QWidget* parent, const QString& proposedName, const QString& typeName)>;
// Where to write a PDF first called `proposedName` ("Report.pdf"); empty
// when the user cancelled.
using PdfChooser = std::function<QString(QWidget* parent, const QString& proposedName)>;
// A picture file to insert; empty when the user cancelled.
using ImageChooser = std::function<QString(QWidget* parent)>;

QStringList chooseFilesToOpen(QWidget* parent);
std::optional<SaveChoice> chooseSaveLocation(QWidget* parent, const QString& proposedName, const QString& typeName);
// The PDF panel starts in `folder` (see folderFor()).
QString choosePdfLocation(QWidget* parent, const QString& proposedName, const QString& folder = QString());
QString chooseImage(QWidget* parent);

// The folder a document's panels open in: the folder of its file, or the
// home folder while it is untitled (or its folder is gone or a system
// folder).
QString folderFor(const QString& documentPath);
// Where a panel starts: `preferred` when it is a usable folder, else the
// folder last used, else Documents, else home; never /proc, /sys or /dev.
QString startFolderFor(const QString& preferred = QString());
// How the panels name and draw files: by looking into regular files only,
// never into a pipe, a device or a file of /proc, /sys or /dev.
QFileIconProvider* iconProvider();
// What a panel does with the path the user chose: its folder is the next
// panel's start, unless it is a system folder.
void rememberFolderOf(const QString& chosenPath);

// Each returns the previous chooser; an empty one restores the real panel.
OpenChooser setOpenChooser(OpenChooser chooser);
SaveChooser setSaveChooser(SaveChooser chooser);
PdfChooser setPdfChooser(PdfChooser chooser);
ImageChooser setImageChooser(ImageChooser chooser);

// A picture or text file inside an RTFD directory stands for the directory.
QString documentPathFor(const QString& chosen);

} // namespace WPOpenSavePanels
