#include "wordproc/formats/Rtfd.h"

#include "core/SafeFile.h"
#include "wordproc/formats/FormatSupport.h"
#include "wordproc/formats/Rtf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUuid>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>

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

    // Swap the new package in with one atomic exchange, so that a package
    // is at its path at every moment; the old one then sits at the staging
    // path and goes with it.
    const QString finalPath = target.absoluteFilePath();
    const QByteArray from = QFile::encodeName(staging.path());
    const QByteArray to = QFile::encodeName(finalPath);
    const bool exists = QFileInfo::exists(finalPath) || QFileInfo(finalPath).isSymLink();
    if (exists && ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0) {
        if (!QFileInfo(staging.path()).isDir() || QFileInfo(staging.path()).isSymLink()) {
            QFile::remove(staging.path()); // what stood there was a file or a link
            staging.setAutoRemove(false);
        }
        return true;
    }
    if (!exists && ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        staging.setAutoRemove(false);
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS)
        return fail(error, QStringLiteral("The document could not be saved: the new version could not be put in place."));

    // A file system without the exchange: the old package is kept aside
    // until the new one is in place.
    QString aside;
    if (exists) {
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

bool recover(const QString& directory)
{
    const QFileInfo target(directory);
    const QDir parent(target.absolutePath());
    if (target.fileName().isEmpty() || !parent.exists())
        return target.exists();
    // Leftovers of our own saves: ".NAME.saving-XXXXXX" (a save not finished,
    // or the version it replaced) and ".NAME.old-UUID" (the version kept
    // aside while a save without the exchange put the new one in place).
    const QString prefix = QStringLiteral(".") + target.fileName() + QLatin1Char('.');
    QFileInfoList olds;
    QFileInfoList leftovers;
    const QFileInfoList entries = parent.entryInfoList({prefix + QStringLiteral("*")},
                                                       QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
    for (const QFileInfo& e : entries) {
        const QString rest = e.fileName().mid(prefix.size());
        const bool old = rest.startsWith(QLatin1String("old-"));
        if ((!old && !rest.startsWith(QLatin1String("saving-"))) || e.isSymLink() || !e.isDir())
            continue;
        leftovers.append(e);
        if (old && QFileInfo(QDir(e.filePath()).filePath(kTextName)).isFile())
            olds.append(e);
    }
    bool present = target.exists() || target.isSymLink();
    if (!present && !olds.isEmpty()) {
        // The last complete version a save set aside goes back in place.
        std::sort(olds.begin(), olds.end(),
                  [](const QFileInfo& a, const QFileInfo& b) { return a.lastModified() > b.lastModified(); });
        present = QDir().rename(olds.first().filePath(), target.absoluteFilePath());
    }
    for (const QFileInfo& e : std::as_const(leftovers)) {
        if (QFileInfo::exists(e.filePath()) && !e.isSymLink())
            QDir(e.filePath()).removeRecursively();
    }
    return present;
}

} // namespace Rtfd
