#include "core/SafeFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace SafeFile {

namespace {

// QSaveFile's temporary name: the target, a dot and six letters.
constexpr int kRandomLetters = 6;

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

} // namespace

bool isLeftoverName(const QString& fileName, QString* targetName)
{
    const qsizetype dot = fileName.size() - kRandomLetters - 1;
    if (dot < 1 || fileName.at(dot) != QLatin1Char('.'))
        return false;
    const QStringView letters = QStringView(fileName).mid(dot + 1);
    int upper = 0;
    for (const QChar c : letters) {
        if (!isAsciiLetter(c))
            return false;
        upper += c.isUpper() ? 1 : 0;
    }
    // All one case, or a capital and the rest small: a word, not chance.
    if (upper == 0 || upper == kRandomLetters || (upper == 1 && letters.front().isUpper()))
        return false;
    if (targetName)
        *targetName = fileName.left(dot);
    return true;
}

int removeLeftovers(const QString& folder, const std::function<bool(const QString&)>& ours, int minAgeSeconds)
{
    const QDir dir(folder);
    const qint64 before = QDateTime::currentSecsSinceEpoch() - minAgeSeconds;
    int removed = 0;
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        QString target;
        if (!isLeftoverName(info.fileName(), &target) || (ours && !ours(target)))
            continue;
        // A link or anything but a plain file of ours is never one.
        struct stat st = {};
        if (::lstat(QFile::encodeName(info.absoluteFilePath()).constData(), &st) != 0 || !S_ISREG(st.st_mode)
            || st.st_uid != ::getuid())
            continue;
        if (qint64(st.st_mtim.tv_sec) > before)
            continue;
        if (QFile::remove(info.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

int removeLeftoversOf(const QString& path, int minAgeSeconds)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (name.isEmpty())
        return 0;
    return removeLeftovers(info.absolutePath(), [&name](const QString& target) { return target == name; },
                           minAgeSeconds);
}

} // namespace SafeFile
