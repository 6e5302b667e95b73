#include "core/Store.h"

#include "core/SafeFile.h"
#include "core/StoreEvents.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace Store {

QString lastResortFolder()
{
    const QByteArray key = QCryptographicHash::hash(folder().toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QDir::tempPath() + QStringLiteral("/VEXO-Brindleworks-kept-") + QString::fromLatin1(key);
}

bool makePrivateFolder(const QString& path)
{
    // The temporary folder is shared: whatever is found there must be a
    // plain folder of this user, never a link someone left to lead a write
    // elsewhere.
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st = {};
    return ::lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid()
        && (st.st_mode & 0077) == 0;
}

QStringList bringBackKeptElsewhere()
{
    QStringList named;
    const QString aside = lastResortFolder();
    if (isReadOnly() || !QFileInfo(aside).isDir() || !makePrivateFolder(aside))
        return named;
    const QDir dir(aside);
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files | QDir::Hidden)) {
        const QString kept = dir.filePath(name);
        // Into the data folder beside the file it was meant for, where the
        // system does not empty it; where that fails it stays where it is.
        QString where = asideName(path(name), QStringLiteral("unsaved"));
        if (SafeFile::copy(kept, where))
            QFile::remove(kept);
        else
            where = kept;
        named.append(where);
        StoreEvents::shared().reportProblem({StoreEvents::Problem::Kind::keptElsewhere, StoreEvents::ownerOf(name),
                                             path(name), QString(), where});
    }
    return named;
}

} // namespace Store
