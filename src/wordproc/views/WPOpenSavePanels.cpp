#include "wordproc/views/WPOpenSavePanels.h"

#include "wordproc/WPPaths.h"

#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QImageReader>
#include <QStandardPaths>
#include <utility>

namespace WPOpenSavePanels {

namespace {

using DT = WPFormat::DocType;

OpenChooser& openChooser()
{
    static OpenChooser c;
    return c;
}

SaveChooser& saveChooser()
{
    static SaveChooser c;
    return c;
}

PdfChooser& pdfChooser()
{
    static PdfChooser c;
    return c;
}

ImageChooser& imageChooser()
{
    static ImageChooser c;
    return c;
}

// The folder a panel starts in: the last one used, else Documents, else home.
QString& lastFolder()
{
    static QString folder;
    return folder;
}

// Documents, else home: where a panel starts when nothing better is known.
QString homeFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return WPPaths::isUsableFolder(documents) ? documents : QDir::homePath();
}

QString startFolder(const QString& preferred = QString())
{
    if (WPPaths::isUsableFolder(preferred))
        return preferred;
    if (WPPaths::isUsableFolder(lastFolder()))
        return lastFolder();
    return homeFolder();
}

// The kernel's folders are never remembered: a panel started there reads
// files that block.
void remember(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!WPPaths::isSystemPath(folder))
        lastFolder() = folder;
}

// Qt's panels name and draw every file by looking into it, partly on the
// interface thread: in /proc or at a pipe that read never ends. Files of
// the system folders, pipes and devices get the plain file or folder look.
class PlainIconProvider final : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override
    {
        return mayLookInto(info) ? QFileIconProvider::icon(info) : icon(info.isDir() ? Folder : File);
    }
    QString type(const QFileInfo& info) const override
    {
        if (mayLookInto(info))
            return QFileIconProvider::type(info);
        return info.isDir() ? QStringLiteral("Folder") : QStringLiteral("File");
    }

private:
    static bool mayLookInto(const QFileInfo& info)
    {
        const QString path = info.absoluteFilePath();
        return WPPaths::isPlainFile(path) || WPPaths::isUsableFolder(path);
    }
};

void lookSafely(QFileDialog& dialog)
{
    dialog.setIconProvider(iconProvider());
}

QStringList runOpenPanel(QWidget* parent)
{
    QFileDialog dialog(parent, QStringLiteral("Open Document"));
    lookSafely(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(openFilters());
    dialog.setDirectory(startFolder());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QStringList paths;
    for (const QString& f : dialog.selectedFiles())
        paths.append(documentPathFor(f));
    if (!paths.isEmpty())
        remember(paths.constFirst());
    return paths;
}

std::optional<SaveChoice> runSavePanel(QWidget* parent, const QString& proposedName, const QString& typeName)
{
    const QList<FileType> types = saveable();
    QStringList filters;
    int current = 0;
    for (int i = 0; i < types.size(); ++i) {
        filters.append(types.at(i).filter());
        if (types.at(i).typeName() == typeName)
            current = i;
    }
    QFileDialog dialog(parent, QStringLiteral("Save As"));
    lookSafely(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.at(current));
    dialog.setDefaultSuffix(types.at(current).extensions.constFirst());
    dialog.setDirectory(startFolder());
    dialog.selectFile(proposedName + QLatin1Char('.') + types.at(current).extensions.constFirst());
    // A name typed without extension gets the chosen type's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, types, filters](const QString& f) {
        const qsizetype i = filters.indexOf(f);
        if (i < 0)
            return;
        dialog.setDefaultSuffix(types.at(i).extensions.constFirst());
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const qsizetype chosen = qMax<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter()));
    const SaveChoice choice = resolveSaveChoice(dialog.selectedFiles().constFirst(), types.at(chosen));
    remember(choice.path);
    return choice;
}

QString runPdfPanel(QWidget* parent, const QString& proposedName, const QString& folder)
{
    QFileDialog dialog(parent, QStringLiteral("Export as PDF"));
    lookSafely(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("PDF Document (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setDirectory(startFolder(folder));
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    QString path = dialog.selectedFiles().constFirst();
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".pdf");
    remember(path);
    return path;
}

QString runImagePanel(QWidget* parent)
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format));
    QFileDialog dialog(parent, QStringLiteral("Choose a picture to insert"), startFolder(),
                       QStringLiteral("Images (%1)").arg(patterns.join(QLatin1Char(' '))));
    lookSafely(dialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = dialog.selectedFiles().constFirst();
    remember(path);
    return path;
}

} // namespace

QString FileType::filter() const
{
    QStringList patterns;
    for (const QString& e : extensions)
        patterns.append(QStringLiteral("*.") + e);
    return QStringLiteral("%1 (%2)").arg(label, patterns.join(QLatin1Char(' ')));
}

QList<FileType> readable()
{
    return {
        {DT::Docx, QStringLiteral("Word Document"), {QStringLiteral("docx")}, true},
        {DT::Doc, QStringLiteral("Word 97 Document"), {QStringLiteral("doc")}, true},
        {DT::Rtf, QStringLiteral("Rich Text Format"), {QStringLiteral("rtf")}, true},
        {DT::Rtfd, QStringLiteral("Rich Text with Attachments"), {QStringLiteral("rtfd")}, true},
        {DT::Odt, QStringLiteral("OpenDocument Text"), {QStringLiteral("odt")}, true},
        {DT::Html, QStringLiteral("Web Page"), {QStringLiteral("html"), QStringLiteral("htm")}, true},
        {DT::WordML, QStringLiteral("Word 2003 XML Document"), {QStringLiteral("xml")}, true},
        {DT::PlainText,
         QStringLiteral("Plain Text"),
         {QStringLiteral("txt"), QStringLiteral("text"), QStringLiteral("md"), QStringLiteral("csv")},
         true},
    };
}

QList<FileType> saveable()
{
    QList<FileType> list;
    for (const FileType& t : readable()) {
        if (t.saveable)
            list.append(t);
    }
    return list;
}

QStringList openFilters()
{
    QStringList all;
    QStringList filters;
    for (const FileType& t : readable()) {
        for (const QString& e : t.extensions)
            all.append(QStringLiteral("*.") + e);
        filters.append(t.filter());
    }
    filters.prepend(QStringLiteral("All readable documents (%1)").arg(all.join(QLatin1Char(' '))));
    return filters;
}

std::optional<FileType> typeForPath(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    for (const FileType& t : readable()) {
        if (t.extensions.contains(ext))
            return t;
    }
    return std::nullopt;
}

SaveChoice resolveSaveChoice(const QString& typedPath, const FileType& chosen)
{
    const QString ext = QFileInfo(typedPath).suffix();
    if (chosen.extensions.contains(ext, Qt::CaseInsensitive))
        return SaveChoice{typedPath, chosen.typeName()};
    if (!ext.isEmpty()) {
        for (const FileType& t : saveable()) {
            if (t.extensions.contains(ext, Qt::CaseInsensitive))
                return SaveChoice{typedPath, t.typeName()};
        }
    }
    QString base = typedPath;
    while (base.endsWith(QLatin1Char('.')))
        base.chop(1);
    return SaveChoice{base + QLatin1Char('.') + chosen.extensions.constFirst(), chosen.typeName()};
}

QString documentPathFor(const QString& chosen)
{
    const QFileInfo info(chosen);
    const QString folder = info.absolutePath();
    if (!info.isDir() && folder.endsWith(QLatin1String(".rtfd"), Qt::CaseInsensitive))
        return folder;
    return info.absoluteFilePath();
}

QStringList chooseFilesToOpen(QWidget* parent)
{
    return openChooser() ? openChooser()(parent) : runOpenPanel(parent);
}

std::optional<SaveChoice> chooseSaveLocation(QWidget* parent, const QString& proposedName, const QString& typeName)
{
    return saveChooser() ? saveChooser()(parent, proposedName, typeName)
                         : runSavePanel(parent, proposedName, typeName);
}

QString choosePdfLocation(QWidget* parent, const QString& proposedName, const QString& folder)
{
    return pdfChooser() ? pdfChooser()(parent, proposedName) : runPdfPanel(parent, proposedName, folder);
}

QString chooseImage(QWidget* parent)
{
    return imageChooser() ? imageChooser()(parent) : runImagePanel(parent);
}

QString folderFor(const QString& documentPath)
{
    if (!documentPath.isEmpty()) {
        const QString folder = QFileInfo(documentPath).absolutePath();
        if (WPPaths::isUsableFolder(folder))
            return folder;
    }
    return QDir::homePath();
}

QFileIconProvider* iconProvider()
{
    static PlainIconProvider provider;
    return &provider;
}

QString startFolderFor(const QString& preferred)
{
    return startFolder(preferred);
}

void rememberFolderOf(const QString& chosenPath)
{
    remember(chosenPath);
}

OpenChooser setOpenChooser(OpenChooser chooser)
{
    return std::exchange(openChooser(), std::move(chooser));
}

SaveChooser setSaveChooser(SaveChooser chooser)
{
    return std::exchange(saveChooser(), std::move(chooser));
}

PdfChooser setPdfChooser(PdfChooser chooser)
{
    return std::exchange(pdfChooser(), std::move(chooser));
}

ImageChooser setImageChooser(ImageChooser chooser)
{
    return std::exchange(imageChooser(), std::move(chooser));
}

} // namespace WPOpenSavePanels
