#include "wordproc/views/WPPanels.h"

#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QStandardPaths>
#include <utility>

namespace WPPanels {

namespace {

Chooser& imageChooser()
{
    static Chooser c;
    return c;
}

Chooser& pdfChooser()
{
    static Chooser c;
    return c;
}

QString startFolder()
{
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !docs.isEmpty() && QDir(docs).exists() ? docs : QDir::homePath();
}

} // namespace

QString chooseImage(QWidget* parent)
{
    if (imageChooser())
        return imageChooser()(parent, QString());
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format));
    QFileDialog dialog(parent, QStringLiteral("Choose a picture to insert"), startFolder(),
                       QStringLiteral("Images (%1)").arg(patterns.join(QLatin1Char(' '))));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Choose a picture to insert"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString choosePdf(QWidget* parent, const QString& proposedName)
{
    if (pdfChooser())
        return pdfChooser()(parent, proposedName);
    QFileDialog dialog(parent, QStringLiteral("Export as PDF"), QDir(startFolder()).filePath(proposedName),
                       QStringLiteral("PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

Chooser setImageChooser(Chooser chooser)
{
    return std::exchange(imageChooser(), std::move(chooser));
}

Chooser setPdfChooser(Chooser chooser)
{
    return std::exchange(pdfChooser(), std::move(chooser));
}

} // namespace WPPanels
