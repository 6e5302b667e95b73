#include "wordproc/formats/Rtfd.h"

#include "core/SafeFile.h"
#include "wordproc/formats/FormatSupport.h"
#include "wordproc/formats/Rtf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUuid>

namespace Rtfd {

namespace {

constexpr qint64 kMaxRtfBytes = 256 * 1024 * 1024;
const QString kTextName = QStringLiteral("TXT.rtf");

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

bool writeFile(const QString& path, const QByteArray& data)
{
    return SafeFile::write(path, data);
}

} // namespace

bool isSafeName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.size() > 255)
        return false;
    for (QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() == 0)
            return false;
    }
    return true;
}

bool read(const QString& directory, QTextDocument* into, WPDocAttributes* attributes, QString* error)
{
    const QFileInfo dirInfo(directory);
    if (!dirInfo.isDir())
        return fail(error, QStringLiteral("The document folder could not be found."));
    const QString root = dirInfo.canonicalFilePath();
    QFile text(QDir(root).filePath(kTextName));
    if (!text.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("The document folder holds no text (TXT.rtf)."));
    if (text.size() > kMaxRtfBytes)
        return fail(error, QStringLiteral("The document is too large to open."));
    const QByteArray rtf = text.readAll();

    const Rtf::AttachmentLookup lookup = [root](const QString& name) -> std::optional<QByteArray> {
        if (!isSafeName(name))
            return std::nullopt;
        const QFileInfo info(QDir(root).filePath(name));
        // Through links too, the file must stay inside the package.
        const QString canonical = info.canonicalFilePath();
        if (canonical.isEmpty() || !info.isFile() || QFileInfo(canonical).path() != root)
            return std::nullopt;
        QFile file(canonical);
        if (file.size() > FormatSupport::kMaxPictureBytes || !file.open(QIODevice::ReadOnly))
            return std::nullopt;
        return file.readAll();
    };
    return Rtf::read(rtf, into, attributes, error, lookup);
}

bool write(const QTextDocument& text, const WPDocAttributes& attributes, const QString& directory, QString* error)
{
    const QFileInfo target(directory);
    const QString parent = target.absolutePath();
    if (!QFileInfo(parent).isDir())
        return fail(error, QStringLiteral("The folder to save in does not exist."));

    QList<Rtf::Attachment> attachments;
    const QByteArray rtf = Rtf::write(text, attributes, &attachments);

    QTemporaryDir staging(QDir(parent).filePath(QStringLiteral(".") + target.fileName() + QStringLiteral(".saving-XXXXXX")));
    if (!staging.isValid())
        return fail(error, QStringLiteral("The document could not be saved: the folder is not writable."));
    if (!writeFile(staging.filePath(kTextName), rtf))
        return fail(error, QStringLiteral("The document could not be saved: the text could not be written."));
    for (const Rtf::Attachment& a : std::as_const(attachments)) {
        if (!isSafeName(a.name) || a.name.compare(kTextName, Qt::CaseInsensitive) == 0)
            continue;
        if (!writeFile(staging.filePath(a.name), a.data))
            return fail(error, QStringLiteral("The document could not be saved: a picture could not be written."));
    }
    QFile::setPermissions(staging.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                              | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);

    // Swap the new package in; the old one is kept aside until then.
    const QString finalPath = target.absoluteFilePath();
    QString aside;
    if (QFileInfo::exists(finalPath) || QFileInfo(finalPath).isSymLink()) {
        aside = QDir(parent).filePath(QStringLiteral(".") + target.fileName() + QStringLiteral(".old-")
                                      + QUuid::createUuid().toString(QUuid::WithoutBraces));
        if (!QDir().rename(finalPath, aside))
            return fail(error, QStringLiteral("The document could not be saved: the old version could not be replaced."));
    }
    if (!QDir().rename(staging.path(), finalPath)) {
        if (!aside.isEmpty())
            QDir().rename(aside, finalPath);
        return fail(error, QStringLiteral("The document could not be saved: the new version could not be put in place."));
    }
    staging.setAutoRemove(false);
    if (!aside.isEmpty()) {
        if (QFileInfo(aside).isDir() && !QFileInfo(aside).isSymLink())
            QDir(aside).removeRecursively();
        else
            QFile::remove(aside);
    }
    return true;
}

} // namespace Rtfd
