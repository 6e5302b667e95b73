#include "core/Store.h"

#include "core/SafeFile.h"
#include "core/StoreEvents.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QHash>
#include <QSet>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

#include <filesystem>
#include <system_error>

namespace Store {

QString folder()
{
    // A function-local static is initialised once, safely across threads.
    static const QString dir = [] {
        const QByteArray env = qgetenv("VEXO_BW_DATA_DIR");
        QString path;
        if (!env.isEmpty()) {
            path = QDir::current().absoluteFilePath(QString::fromLocal8Bit(env));
        } else {
            QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
            if (base.isEmpty())
                base = QDir::homePath() + QStringLiteral("/.local/share");
            path = base + QStringLiteral("/VEXO Brindleworks");
        }
        path = QDir::cleanPath(path);
        QDir().mkpath(path);
        return path;
    }();
    return dir;
}

QString path(const QString& name)
{
    return folder() + QLatin1Char('/') + name;
}

std::optional<QByteArray> encode(const QJsonValue& value)
{
    if (!Json::isEncodable(value))
        return std::nullopt;
    QJsonDocument doc;
    if (value.isObject())
        doc.setObject(value.toObject());
    else if (value.isArray())
        doc.setArray(value.toArray());
    else
        return std::nullopt;
    // QJsonObject keeps its keys sorted, so the text comes out sorted.
    return doc.toJson(QJsonDocument::Indented);
}

namespace {

// The previous version becomes target + ".bak": written beside the old
// backup first and renamed over it, so a crash at any moment leaves a
// backup. A previous version that does not read as JSON (damaged, cut by a
// full disk, not a regular file) never replaces the backup: that may be the
// last good version.
void rotateBackup(const QString& target)
{
    const SafeFile::ReadResult current = SafeFile::readRegular(target, kMaxStateFileSize);
    if (current.status != SafeFile::ReadResult::Status::ok || !parse(current.data))
        return;
    const QString bak = target + QStringLiteral(".bak");
    const QString fresh = bak + QStringLiteral(".new");
    QFile::remove(fresh);
    if (!SafeFile::write(fresh, current.data))
        return;
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(fresh.toStdU16String()),
                            std::filesystem::path(bak.toStdU16String()), ec);
    if (ec)
        QFile::remove(fresh);
}

struct Mode {
    bool readOnly = false;
    QString readOnlyReason;
    std::function<QString(const QString&)> writeFault;
    QSet<QString> notKept;    // unreadable files of which no copy exists yet
    QSet<QString> unreadable; // files whose last load failed, until saved again
    std::function<bool(const QString& file, const QString& backup)> askRestore;
    QHash<QString, bool> decided; // files whose backup the user was asked about at start: the answer
    QHash<QString, std::function<bool()>> retries;
    QHash<QString, QByteArray> waiting; // the text of each state file among the retries // failed writes, tried again until they go through
    QPointer<QTimer> retryTimer;
};

Mode& mode()
{
    static Mode m;
    return m;
}

bool failed(const QString& name, const QString& target, const QString& reason)
{
    StoreEvents::shared().reportSaveFailed(name, target, reason);
    return false;
}

// Why each file failed its last read(), in words for the user; a file that
// read but did not decode has no entry.
QHash<QString, QString>& readProblems()
{
    static QHash<QString, QString> problems;
    return problems;
}

std::optional<QJsonValue> parse(const QByteArray& data, QString* problem)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &err);
    if (err.error != QJsonParseError::NoError) {
        *problem = QStringLiteral("it is damaged: %1 at byte %2").arg(err.errorString()).arg(err.offset);
        return std::nullopt;
    }
    QJsonValue value;
    if (doc.isObject())
        value = doc.object();
    else if (doc.isArray())
        value = doc.array();
    if (!withinLimits(value)) {
        *problem = QStringLiteral("it holds a list of more than %1 entries").arg(Json::kMaxListEntries);
        return std::nullopt;
    }
    return value;
}

std::optional<QJsonValue> read(const QString& name, QString* problem)
{
    // A link is never followed: it could lead out of the data folder. A pipe
    // or a device is never opened for long: it could block the program.
    const SafeFile::ReadResult r = SafeFile::readRegular(path(name), kMaxStateFileSize);
    switch (r.status) {
    case SafeFile::ReadResult::Status::ok:
        return parse(r.data, problem);
    case SafeFile::ReadResult::Status::link:
        *problem = QStringLiteral("it is a link to another file");
        break;
    case SafeFile::ReadResult::Status::notRegular:
        *problem = QStringLiteral("it is not a regular file");
        break;
    case SafeFile::ReadResult::Status::tooLarge:
        *problem = QStringLiteral("it is larger than %1 MB").arg(kMaxStateFileSize / (1024 * 1024));
        break;
    case SafeFile::ReadResult::Status::missing:
    case SafeFile::ReadResult::Status::failed:
        *problem = r.error;
        break;
    }
    return std::nullopt;
}

} // namespace

void setReadOnly(bool on, const QString& reason)
{
    mode().readOnly = on;
    mode().readOnlyReason = reason;
}

bool isReadOnly()
{
    return mode().readOnly;
}

void setWriteFault(std::function<QString(const QString&)> fault)
{
    mode().writeFault = std::move(fault);
}

namespace {

// One attempt at writing the encoded state `data` as `name`.
bool writeState(const QString& name, const QByteArray& data)
{
    const QString target = path(name);
    if (mode().readOnly) {
        return failed(name, target,
                      mode().readOnlyReason.isEmpty() ? QStringLiteral("the data folder is open read-only")
                                                      : mode().readOnlyReason);
    }
    if (mode().notKept.contains(name) && keepUnreadable(name).isEmpty()
        && (QFileInfo::exists(target) || QFileInfo(target).isSymLink()))
        return failed(name, target, QStringLiteral("the earlier file could not be read and no copy of it could be kept"));
    // The data folder may have been moved away since the start.
    if (!QFileInfo(folder()).isDir())
        QDir().mkpath(folder());
    const QFileInfo info(target);
    if (info.isSymLink()) {
        // A state file that is a link was never read (it counts as
        // unreadable): the link itself is replaced, its target never touched.
        keepUnreadable(name);
        QFile::remove(target);
    } else if (info.exists() && !info.isFile() && !info.isDir()) {
        // A pipe or a device: moved aside, never opened.
        keepUnreadable(name);
    } else if (info.isFile() && !mode().unreadable.contains(name)) {
        rotateBackup(target);
    }
    QString fault;
    QString error;
    const bool written = SafeFile::write(target, [&](QIODevice& out) {
        if (out.write(data) != data.size())
            return false;
        if (mode().writeFault)
            fault = mode().writeFault(target);
        return fault.isEmpty();
    }, &error);
    if (!written)
        return failed(name, target, fault.isEmpty() ? error : fault);
    mode().unreadable.remove(name);
    StoreEvents::shared().reportSaved(name);
    return true;
}

// Writes `data` as `name`; when it cannot be written now, it is tried again
// until it goes through or a later save of the same file takes its place.
bool writeOrRetry(const QString& name, const QByteArray& data)
{
    if (writeState(name, data)) {
        mode().retries.remove(name);
        mode().waiting.remove(name);
        return true;
    }
    if (!mode().readOnly) {
        mode().waiting.insert(name, data);
        retryLater(name, [name, data] { return writeOrRetry(name, data); });
    }
    return false;
}

} // namespace

bool save(const QJsonValue& value, const QString& name)
{
    const std::optional<QByteArray> data = encode(value);
    if (!data)
        return false;
    return writeOrRetry(name, *data);
}

void retryLater(const QString& key, std::function<bool()> attempt)
{
    Mode& m = mode();
    m.retries.insert(key, std::move(attempt));
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    if (!m.retryTimer) {
        m.retryTimer = new QTimer(app);
        m.retryTimer->setInterval(kRetryInterval);
        QObject::connect(m.retryTimer, &QTimer::timeout, [] { retryFailedSaves(); });
        // The last chance: whatever still waits is tried once more at quit.
        QObject::connect(app, &QCoreApplication::aboutToQuit, [] { retryFailedSaves(); });
    }
    if (!m.retryTimer->isActive())
        m.retryTimer->start();
}

qsizetype retryFailedSaves()
{
    Mode& m = mode();
    // An attempt that fails again puts itself back.
    const QHash<QString, std::function<bool()>> due = m.retries;
    for (auto it = due.cbegin(); it != due.cend(); ++it) {
        if (it.value()())
            m.retries.remove(it.key());
    }
    if (m.retries.isEmpty() && m.retryTimer)
        m.retryTimer->stop();
    return m.retries.size();
}

void dropRetries()
{
    mode().retries.clear();
    mode().waiting.clear();
    if (mode().retryTimer)
        mode().retryTimer->stop();
}

bool withinLimits(const QJsonValue& value, qsizetype maxEntries)
{
    if (value.isArray()) {
        const QJsonArray a = value.toArray();
        if (a.size() > maxEntries)
            return false;
        for (const QJsonValue& v : a) {
            if ((v.isArray() || v.isObject()) && !withinLimits(v, maxEntries))
                return false;
        }
    } else if (value.isObject()) {
        const QJsonObject o = value.toObject();
        if (o.size() > maxEntries)
            return false;
        for (auto it = o.begin(); it != o.end(); ++it) {
            const QJsonValue v = it.value();
            if ((v.isArray() || v.isObject()) && !withinLimits(v, maxEntries))
                return false;
        }
    }
    return true;
}

std::optional<QJsonValue> parse(const QByteArray& data)
{
    QString problem;
    return parse(data, &problem);
}

std::optional<QJsonValue> read(const QString& name)
{
    QString problem;
    std::optional<QJsonValue> value = read(name, &problem);
    if (value)
        readProblems().remove(name);
    else
        readProblems().insert(name, problem);
    return value;
}

int removeLeftovers(int minAgeSeconds)
{
    if (mode().readOnly)
        return 0;
    return SafeFile::removeLeftovers(folder(), [](const QString& target) {
        return target.endsWith(QLatin1String(".json")) || target.endsWith(QLatin1String(".json.bak"))
            || target.endsWith(QLatin1String(".bak.new")) || target.contains(QLatin1String(".unreadable-"))
            || target.contains(QLatin1String(".declined-")) || target.contains(QLatin1String(".unsaved-"));
    }, minAgeSeconds);
}

QString asideName(const QString& filePath, const QString& why)
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    const QString base = filePath + QLatin1Char('.') + why + QLatin1Char('-') + stamp;
    QString target = base;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = base + QLatin1Char('-') + QString::number(n);
    return target;
}

QString keepCopyOf(const QString& source, const QString& why)
{
    const QFileInfo info(source);
    if (!info.exists() && !info.isSymLink())
        return {};
    // Never follow a link out of the data folder: keep only its target path.
    // A pipe, a device or a file over the limit is moved aside instead of
    // read: opening could block, reading could exhaust the memory.
    QByteArray bytes;
    if (info.isSymLink()) {
        bytes = info.symLinkTarget().toUtf8();
    } else {
        const SafeFile::ReadResult r = SafeFile::readRegular(source, kMaxStateFileSize);
        if (r.status == SafeFile::ReadResult::Status::notRegular
            || r.status == SafeFile::ReadResult::Status::tooLarge) {
            const QString target = asideName(source, why);
            std::error_code ec;
            std::filesystem::rename(std::filesystem::path(source.toStdU16String()),
                                    std::filesystem::path(target.toStdU16String()), ec);
            return ec ? QString() : target;
        }
        if (r.status != SafeFile::ReadResult::Status::ok)
            return {};
        bytes = r.data;
    }
    const QDir dir = info.absoluteDir();
    const QStringList earlier
        = dir.entryList({info.fileName() + QLatin1Char('.') + why + QStringLiteral("-*")}, QDir::Files, QDir::Name);
    for (const QString& e : earlier) {
        QFile f(dir.filePath(e));
        if (f.size() == bytes.size() && f.open(QIODevice::ReadOnly) && f.readAll() == bytes)
            return f.fileName();
    }
    const QString target = asideName(source, why);
    const bool kept = SafeFile::write(target, [&](QIODevice& out) {
        return out.write(bytes) == bytes.size() && !(mode().writeFault && !mode().writeFault(target).isEmpty());
    });
    return kept ? target : QString();
}

QString keepUnreadable(const QString& name)
{
    if (QFileInfo::exists(path(name)) || QFileInfo(path(name)).isSymLink())
        mode().unreadable.insert(name);
    const QString copy = keepCopyOf(path(name));
    const QString owner = StoreEvents::ownerOf(name);
    const QString why = readProblems().value(name, QStringLiteral("its contents are not in the expected form or "
                                                                  "exceed a limit"));
    if (copy.isEmpty()) {
        // The file is there but no copy could be made (a full disk, a
        // read-only folder): it must not be written over until one can,
        // and the user is told, so the defaults shown meanwhile are not
        // taken for the data.
        const QFileInfo info(path(name));
        if (info.exists() || info.isSymLink()) {
            mode().notKept.insert(name);
            StoreEvents::shared().reportProblem(
                {StoreEvents::Problem::Kind::keptAside, owner, path(name), why, QString()});
        }
        return {};
    }
    // The notice that no copy could be kept gives way to the one naming it.
    if (mode().notKept.remove(name))
        StoreEvents::shared().clear(owner);
    mode().unreadable.insert(name);
    StoreEvents::shared().reportProblem({StoreEvents::Problem::Kind::keptAside, owner, path(name), why, copy});
    return copy;
}

void setRestoreQuestion(std::function<bool(const QString& file, const QString& backup)> ask)
{
    mode().askRestore = std::move(ask);
}

std::optional<QJsonValue> readBackup(const QString& name)
{
    if (!mode().askRestore || !mode().unreadable.contains(name))
        return std::nullopt;
    return read(name + QStringLiteral(".bak"));
}

bool restoreBackup(const QString& name)
{
    const QString file = path(name);
    const QString backup = file + QStringLiteral(".bak");
    if (!mode().askRestore || mode().readOnly)
        return false;
    const auto decided = mode().decided.constFind(name);
    if (!(decided != mode().decided.constEnd() ? *decided : mode().askRestore(file, backup))) {
        // Not put back: the saves that follow would replace the backup, so
        // a copy of it is kept for good, named for what it is.
        keepCopyOf(backup, QStringLiteral("declined"));
        return false;
    }
    // The unreadable file was kept aside already; the backup stays too.
    if (!mode().notKept.contains(name) && SafeFile::copy(backup, file)) {
        mode().unreadable.remove(name);
        StoreEvents::shared().clear(StoreEvents::ownerOf(name));
        return true;
    }
    // It cannot be put in place now (no copy of the unreadable file could
    // be kept, or the folder cannot be written): the backup's record is
    // used, and written as soon as it can be (the failure is told).
    const SafeFile::ReadResult r = SafeFile::readRegular(backup, kMaxStateFileSize);
    if (r.status != SafeFile::ReadResult::Status::ok)
        return false;
    writeOrRetry(name, r.data);
    return true;
}

void askAboutBackups(const QList<StateFile>& stateFiles,
                     const std::function<bool(const QList<std::pair<QString, QString>>&)>& askMany)
{
    if (!mode().askRestore || mode().readOnly || !askMany)
        return;
    QStringList asked;
    QList<std::pair<QString, QString>> files;
    for (const StateFile& f : stateFiles) {
        const QString& name = f.name;
        const QFileInfo info(path(name));
        if (!info.exists() && !info.isSymLink())
            continue;
        const std::optional<QJsonValue> value = read(name);
        if (value && (!f.reads || f.reads(*value)))
            continue;
        keepUnreadable(name);
        const std::optional<QJsonValue> backup = readBackup(name);
        if (backup && (!f.reads || f.reads(*backup))) {
            asked.append(name);
            files.append({path(name), path(name) + QStringLiteral(".bak")});
        }
    }
    if (asked.isEmpty())
        return;
    const bool yes = askMany(files);
    for (const QString& name : std::as_const(asked)) {
        mode().decided.insert(name, yes);
        restoreBackup(name);
    }
}

QStringList keepWaitingSavesElsewhere()
{
    QStringList lost;
    const QString aside = lastResortFolder();
    for (auto it = mode().waiting.cbegin(); it != mode().waiting.cend(); ++it) {
        if (!mode().retries.contains(it.key()))
            continue;
        if (!makePrivateFolder(aside) || !SafeFile::write(aside + QLatin1Char('/') + it.key(), it.value()))
            lost.append(it.key());
    }
    return lost;
}

} // namespace Store
