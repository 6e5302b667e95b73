#include "app/views/VEXOBWMenuTarget.h"

#include "core/DataExport.h"
#include "core/Store.h"
#include "ui/FileReveal.h"
#include "ui/Alert.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStandardPaths>
#include <utility>

VEXOBWMenuTarget& VEXOBWMenuTarget::shared()
{
    static VEXOBWMenuTarget* target = new VEXOBWMenuTarget;
    return *target;
}

void VEXOBWMenuTarget::exportData()
{
    VEXOBWExport::chooseAndExport();
}

namespace VEXOBWExport {

namespace {

FolderChooser& installedChooser()
{
    static FolderChooser chooser;
    return chooser;
}

QString& lastFolder()
{
    static QString folder;
    return folder;
}

QString runDialog()
{
    QFileDialog dialog(nullptr, QStringLiteral("Export My Data"));
    dialog.setWindowModality(Qt::ApplicationModal);
    // Qt's own dialog, so the explanation can sit above the folder list.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Export Here"));
    QString start = lastFolder();
    if (start.isEmpty() || !QDir(start).exists())
        start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (start.isEmpty() || !QDir(start).exists())
        start = QDir::homePath();
    dialog.setDirectory(start);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        auto* message = new QLabel(
            QStringLiteral("Choose a folder. A copy of everything Brindleworks has saved will be placed in a new "
                           "“Brindleworks Export” folder."),
            &dialog);
        message->setWordWrap(true);
        grid->addWidget(message, grid->rowCount(), 0, 1, grid->columnCount());
    }
    auto* nameField = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    // While a path is typed the dialog selects each folder it passes in its
    // list and, unless the field has the focus, writes that selection back
    // into the field ("/" "tmp"/…) and answers with the first of it: the
    // export would land in "/" or a parent. The typed text alone counts.
    if (nameField)
        QObject::disconnect(nameField, SIGNAL(textChanged(QString)), &dialog, SLOT(_q_autoCompleteFileName(QString)));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QString chosen = chosenFolder(nameField ? nameField->text() : QString(),
                                        dialog.directory().absolutePath(), dialog.selectedFiles());
    lastFolder() = chosen;
    return chosen;
}

AlertStyle styleOf(Report::Kind kind)
{
    switch (kind) {
    case Report::Kind::success:
        return AlertStyle::Informational;
    case Report::Kind::partial:
        return AlertStyle::Warning;
    case Report::Kind::failure:
        break;
    }
    return AlertStyle::Critical;
}

} // namespace

QString chosenFolder(const QString& typed, const QString& shown, const QStringList& selected)
{
    QString path = typed.trimmed();
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    if (!path.isEmpty()) {
        const QFileInfo info(QDir(shown), path);
        if (info.isDir())
            return QDir::cleanPath(info.absoluteFilePath());
    }
    for (const QString& s : selected) {
        if (QFileInfo(s).isDir())
            return QDir::cleanPath(s);
    }
    return shown;
}

FolderChooser setFolderChooser(FolderChooser chooser)
{
    return std::exchange(installedChooser(), std::move(chooser));
}

void chooseAndExport()
{
    const QString parent = installedChooser() ? installedChooser()() : runDialog();
    if (parent.isEmpty())
        return;

    const QString exportFolder
        = QDir(parent).absoluteFilePath(folderName(QDateTime::currentDateTime(), QLocale::system()));
    const Result result = copyAll(Store::folder(), exportFolder);
    if (result.createdDestination && result.problem != Result::Problem::none)
        QDir().rmdir(exportFolder); // only ever removes it while empty

    const Report r = report(result, exportFolder, Store::folder());
    if (r.reveal)
        FileReveal::reveal(exportFolder);
    runAlert(r.title, r.text, styleOf(r.kind));
}

} // namespace VEXOBWExport
