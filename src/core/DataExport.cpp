#include "core/DataExport.h"

#include "core/SafeFile.h"
#include "core/Store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace VEXOBWExport {

namespace {

fs::path fsPath(const QString& path)
{
    return fs::path(path.toStdU16String());
}

QString qPath(const fs::path& path)
{
    return QString::fromStdU16String(path.u16string());
}

// The names in a folder, hidden ones included, sorted; nothing when the
// folder cannot be listed.
std::optional<QStringList> listFolder(const QString& folder)
{
    std::error_code ec;
    fs::directory_iterator it(fsPath(folder), ec);
    if (ec)
        return std::nullopt;
    QStringList names;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            return std::nullopt;
        names.append(qPath(it->path().filename()));
    }
    if (ec)
        return std::nullopt;
    std::sort(names.begin(), names.end());
    return names;
}

// True when `path` (existing) is the folder `canonicalSkip`.
bool isSkipped(const QString& path, const QString& canonicalSkip)
{
    return !canonicalSkip.isEmpty() && QFileInfo(path).canonicalFilePath() == canonicalSkip;
}

// Copies one item to `to` (which must not exist). Folders are copied with
// everything inside; the result is true only when all of it was copied.
bool copyItem(const QString& from, const QString& to, const QString& canonicalSkip)
{
    const QFileInfo info(from);
    std::error_code ec;
    if (info.isSymLink()) {
        // Copied as a link, never followed: a link to a folder above would
        // otherwise copy forever.
        fs::copy_symlink(fsPath(from), fsPath(to), ec);
        return !ec;
    }
    if (info.isDir()) {
        if (!QDir().mkdir(to))
            return false;
        const std::optional<QStringList> names = listFolder(from);
        if (!names)
            return false;
        bool all = true;
        for (const QString& name : *names) {
            const QString child = from + QLatin1Char('/') + name;
            if (isSkipped(child, canonicalSkip))
                continue;
            if (!copyItem(child, to + QLatin1Char('/') + name, canonicalSkip))
                all = false;
        }
        // Last, so a read-only folder can still be filled.
        QFile::setPermissions(to, info.permissions());
        return all;
    }
    if (info.isFile()) {
        // Never opens a pipe or a socket: those are not regular files.
        if (!SafeFile::copy(from, to))
            return false;
        fs::last_write_time(fsPath(to), fs::last_write_time(fsPath(from), ec), ec);
        return true;
    }
    return false;
}

QString quoted(const QString& s)
{
    return QStringLiteral("“") + s + QStringLiteral("”");
}

QString nameList(const QStringList& names)
{
    constexpr int shown = 5;
    QStringList parts;
    for (int i = 0; i < names.size() && i < shown; ++i)
        parts.append(quoted(names.at(i)));
    QString text = parts.join(QStringLiteral(", "));
    if (names.size() > shown)
        text += QStringLiteral(" and %1 more").arg(names.size() - shown);
    return text;
}

} // namespace

QString folderName(const QDateTime& when, const QLocale& locale)
{
    return QStringLiteral("Brindleworks Export ") + locale.toString(when, QStringLiteral("yyyy-MM-dd HHmm"));
}

namespace {

// The canonical form of `path`, which need not exist yet: its nearest
// existing ancestor resolved, the rest appended.
QString canonicalOrPlanned(const QString& path)
{
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString rest;
    while (!QFileInfo::exists(existing)) {
        const int slash = existing.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0)
            return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
        rest = existing.mid(slash) + rest;
        existing = existing.left(slash);
    }
    return QFileInfo(existing).canonicalFilePath() + rest;
}

} // namespace

Result copyAll(const QString& source, const QString& destination)
{
    Result result;
    // An export inside the data folder would be copied into the next export
    // and the one after: refused before anything is made.
    const QString sourceCanonical = QFileInfo(source).canonicalFilePath();
    const QString planned = canonicalOrPlanned(destination);
    if (!sourceCanonical.isEmpty()
        && (planned == sourceCanonical || planned.startsWith(sourceCanonical + QLatin1Char('/')))) {
        result.problem = Result::Problem::insideData;
        return result;
    }
    const QFileInfo destInfo(destination);
    result.createdDestination = !destInfo.exists() && !destInfo.isSymLink();
    if (!QDir().mkpath(destination) || !QFileInfo(destination).isDir()) {
        result.problem = Result::Problem::destination;
        result.createdDestination = false;
        return result;
    }

    const QString dest = QFileInfo(destination).canonicalFilePath();
    const QString src = QFileInfo(source).canonicalFilePath();
    const std::optional<QStringList> names = listFolder(source);
    if (src.isEmpty() || !names) {
        result.problem = Result::Problem::source;
        return result;
    }
    if (src == dest || src.startsWith(dest + QLatin1Char('/'))) {
        result.problem = Result::Problem::overlap;
        return result;
    }

    for (const QString& name : *names) {
        const QString from = src + QLatin1Char('/') + name;
        if (isSkipped(from, dest))
            continue;
        // The running program's lock belongs to this folder and this
        // moment: copied, it would keep another computer from the copy.
        if (name.startsWith(QLatin1String(kLockFileName)))
            continue;
        const QString to = dest + QLatin1Char('/') + name;
        // Replaces what an earlier export in the same minute left here;
        // links are removed, never followed.
        std::error_code ec;
        fs::remove_all(fsPath(to), ec);
        if (copyItem(from, to, dest))
            ++result.copied;
        else
            result.failed.append(name);
    }
    return result;
}

int exportAll(const QString& destination)
{
    return copyAll(Store::folder(), destination).copied;
}

QString countTitle(int count)
{
    return QStringLiteral("Exported ") + QString::number(count) + QStringLiteral(" item")
        + (count == 1 ? QString() : QStringLiteral("s"));
}

Report report(const Result& result, const QString& exportFolder, const QString& dataFolder)
{
    const QFileInfo folder(exportFolder);
    const QString name = folder.fileName();
    Report r;
    r.kind = Report::Kind::failure;
    r.reveal = false;
    r.title = QStringLiteral("Couldn’t export your data.");
    switch (result.problem) {
    case Result::Problem::destination:
        r.text = QStringLiteral("Brindleworks couldn’t create the folder %1 in %2. Choose a folder you can write to and try again.")
                     .arg(quoted(name), quoted(QDir::toNativeSeparators(folder.absolutePath())));
        return r;
    case Result::Problem::source:
        r.text = QStringLiteral("Brindleworks couldn’t read its data folder %1. Nothing was copied.")
                     .arg(quoted(QDir::toNativeSeparators(dataFolder)));
        return r;
    case Result::Problem::insideData:
        r.text = QStringLiteral("The folder %1 is inside Brindleworks’s own data folder, so each export would hold "
                                "the one before. Choose a folder outside it and try again.")
                     .arg(quoted(name));
        r.reveal = false;
        return r;
    case Result::Problem::overlap:
        r.text = QStringLiteral("The folder %1 holds Brindleworks’s own data folder. Choose another folder and try again.")
                     .arg(quoted(name));
        return r;
    case Result::Problem::none:
        break;
    }

    if (result.copied == 0 && !result.failed.isEmpty()) {
        r.text = QStringLiteral("None of the items in Brindleworks’s data folder could be copied to %1: %2.")
                     .arg(quoted(name), nameList(result.failed));
        return r;
    }

    r.kind = result.failed.isEmpty() ? Report::Kind::success : Report::Kind::partial;
    r.reveal = true;
    r.title = countTitle(result.copied);
    r.text = QStringLiteral("Your Brindleworks data was copied to “") + name
        + QStringLiteral("”. The Password Book stays encrypted; open it in Brindleworks to read it.");
    if (!result.failed.isEmpty()) {
        const int n = int(result.failed.size());
        r.text += QStringLiteral(" ")
            + (n == 1 ? QStringLiteral("1 item couldn’t be copied: ")
                      : QString::number(n) + QStringLiteral(" items couldn’t be copied: "))
            + nameList(result.failed) + QStringLiteral(".");
    }
    return r;
}

} // namespace VEXOBWExport
