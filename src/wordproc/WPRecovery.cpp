#include "wordproc/WPRecovery.h"

#include "core/Json.h"
#include "core/SafeFile.h"
#include "core/Store.h"
#include "core/StoreEvents.h"
#include "core/Tool.h"
#include "wordproc/WPDocument.h"
#include "wordproc/WPText.h"
#include "wordproc/docx/DocxWriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QTextDocument>
#include <QTimer>
#include <QUuid>
#include <algorithm>

namespace {

const QString kFolderName = QStringLiteral("Recovered Documents");

bool isCopyId(const QString& id)
{
    return !QUuid::fromString(id).isNull();
}

qint64 nowMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

QString lastResortPathFor(const QString& id)
{
    return WPRecovery::lastResortFolder() + QLatin1Char('/') + id + QStringLiteral(".json");
}

void readCopies(const QString& folder, QHash<QString, WPRecovery::Copy>* copies)
{
    const QDir dir(folder);
    for (const QString& file : dir.entryList({QStringLiteral("*.json")}, QDir::Files | QDir::Hidden)) {
        const QString path = dir.filePath(file);
        const SafeFile::ReadResult r = SafeFile::readRegular(path, WPRecovery::kMaxCopyBytes);
        const std::optional<QJsonValue> json = r.status == SafeFile::ReadResult::Status::ok
            ? Store::parse(r.data)
            : std::nullopt;
        std::optional<WPRecovery::Copy> copy = json ? WPRecovery::Copy::fromJson(*json) : std::nullopt;
        if (!copy || copy->id + QStringLiteral(".json") != file) {
            WPRecovery::setAside(path);
            continue;
        }
        copy->storedAt = path;
        // The same document in both folders: the later copy holds more.
        const auto earlier = copies->constFind(copy->id);
        if (earlier == copies->constEnd() || earlier->saved < copy->saved)
            copies->insert(copy->id, std::move(*copy));
    }
}

} // namespace

QJsonValue WPRecovery::Copy::toJson() const
{
    return QJsonObject{
        {QStringLiteral("id"), id},
        {QStringLiteral("name"), name},
        {QStringLiteral("filePath"), filePath},
        {QStringLiteral("fileType"), fileType},
        {QStringLiteral("saved"), Json::fromDate(saved)},
        {QStringLiteral("docx"), QString::fromLatin1(docx.toBase64())},
    };
}

std::optional<WPRecovery::Copy> WPRecovery::Copy::fromJson(const QJsonValue& value)
{
    Json::Reader r(value);
    Copy c;
    c.id = r.string(QStringLiteral("id"));
    c.name = r.string(QStringLiteral("name"));
    c.filePath = r.string(QStringLiteral("filePath"));
    c.fileType = r.string(QStringLiteral("fileType"));
    c.saved = r.date(QStringLiteral("saved"));
    const QString docx = r.string(QStringLiteral("docx"), kMaxCopyBytes / 3 * 4 + 4);
    if (!r.ok() || !isCopyId(c.id))
        return std::nullopt;
    const auto decoded = QByteArray::fromBase64Encoding(docx.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    c.docx = *decoded;
    return c;
}

bool WPRecovery::Copy::isInTemporaryFolder() const
{
    return !storedAt.isEmpty() && QFileInfo(storedAt).absolutePath() == lastResortFolder();
}

WPRecovery::WPRecovery(QObject* parent, int pauseMs, int maxWaitMs)
    : QObject(parent), m_pauseMs(pauseMs), m_maxWaitMs(std::max(pauseMs, maxWaitMs))
{
    // One writer: copies reach the disk in the order they were taken.
    m_writer.setMaxThreadCount(1);
}

WPRecovery::~WPRecovery()
{
    m_writer.waitForDone();
}

QString WPRecovery::folder()
{
    return Store::path(kFolderName);
}

QString WPRecovery::lastResortFolder()
{
    return Store::lastResortFolder() + QLatin1Char('/') + kFolderName;
}

QString WPRecovery::pathFor(const QString& id)
{
    return folder() + QLatin1Char('/') + id + QStringLiteral(".json");
}

QString WPRecovery::idOf(const WPDocument* document) const
{
    return m_watched.value(document).id;
}

QList<WPRecovery::Copy> WPRecovery::leftBehind()
{
    SafeFile::removeLeftovers(folder(), {}, Store::kOwnLeftoverAgeSeconds);
    QHash<QString, Copy> found;
    readCopies(folder(), &found);
    if (QFileInfo(lastResortFolder()).isDir() && Store::makePrivateFolder(Store::lastResortFolder())
        && Store::makePrivateFolder(lastResortFolder()))
        readCopies(lastResortFolder(), &found);
    QList<Copy> copies = found.values();
    std::stable_sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) {
        return a.saved != b.saved ? a.saved < b.saved : a.id < b.id;
    });
    return copies;
}

void WPRecovery::setAside(const QString& path)
{
    const QString aside = Store::keepCopyOf(path);
    if (!aside.isEmpty() && QFileInfo::exists(path))
        QFile::remove(path);
}

bool WPRecovery::restore(const Copy& copy, WPDocument* document, QString* error)
{
    return document->readData(copy.docx, WPDocument::kDocxType, error);
}

void WPRecovery::watch(WPDocument* document, const QString& id, const Copy* recovered)
{
    if (m_watched.contains(document))
        return;
    Watch w;
    if (recovered) {
        w.originName = recovered->name;
        w.originFile = recovered->filePath;
    }
    w.id = isCopyId(id) ? id : QUuid::createUuid().toString(QUuid::WithoutBraces);
    w.timer = new QTimer(this);
    w.timer->setSingleShot(true);
    w.timer->setInterval(m_pauseMs);
    m_watched.insert(document, w);
    connect(w.timer, &QTimer::timeout, this, [this, document] { writeSoon(document); });
    connect(document->storage(), &QTextDocument::contentsChanged, this, [this, document] { changed(document); });
    connect(document, &WPDocument::headerFooterChanged, this, [this, document] { changed(document); });
    connect(document, &WPDocument::pageSetupChanged, this, [this, document] { changed(document); });
    connect(document, &WPDocument::editedChanged, this, [this, document](bool edited) {
        // Saved or reverted: nothing is left to recover.
        if (!edited && !m_quitting) {
            Watch& w = m_watched[document];
            w.timer->stop();
            w.firstChangeMs = -1;
            w.written = w.revision;
            removeCopy(w.id);
        } else if (edited) {
            changed(document);
        }
    });
    connect(document, &QObject::destroyed, this, [this, document] { delete m_watched.take(document).timer; });
}

void WPRecovery::changed(WPDocument* document)
{
    const auto it = m_watched.find(document);
    if (it == m_watched.end() || !document->isEdited())
        return;
    Watch& w = *it;
    ++w.revision;
    // A pause in the typing writes the copy; typing that goes on is copied
    // at the latest kMaxWaitMs after the first change not yet copied.
    const qint64 now = nowMs();
    if (w.firstChangeMs < 0)
        w.firstChangeMs = now;
    const qint64 left = w.firstChangeMs + m_maxWaitMs - now;
    w.timer->start(int(std::clamp<qint64>(left, 0, m_pauseMs)));
}

std::optional<WPRecovery::Snapshot> WPRecovery::snapshot(WPDocument* document) const
{
    const auto it = m_watched.constFind(document);
    if (it == m_watched.constEnd() || !document->isEdited() || Store::isReadOnly())
        return std::nullopt;
    Snapshot s;
    s.copy.id = it->id;
    s.copy.name = document->displayName();
    s.copy.filePath = document->filePath();
    // Recovered and not saved yet: still the document it was.
    if (s.copy.filePath.isEmpty() && !it->originName.isEmpty()) {
        s.copy.name = it->originName;
        s.copy.filePath = it->originFile;
    }
    s.copy.fileType = document->fileType();
    s.copy.saved = QDateTime::currentDateTimeUtc();
    s.attributes = document->documentAttributes();
    s.revision = it->revision;
    // A document without any text has no paragraphs to write.
    if (!document->storage()->isEmpty())
        s.paragraphs = WPTextModel::paragraphs(*document->storage());
    return s;
}

std::optional<QByteArray> WPRecovery::encode(const Snapshot& snapshot, QString* error)
{
    Copy copy = snapshot.copy;
    copy.docx = DocxWriter::write(snapshot.paragraphs, snapshot.attributes);
    if (copy.docx.isEmpty()) {
        if (error)
            *error = QStringLiteral("the copy could not be made");
        return std::nullopt;
    }
    std::optional<QByteArray> encoded = Store::encode(copy.toJson());
    if (!encoded && error)
        *error = QStringLiteral("the copy could not be encoded");
    return encoded;
}

bool WPRecovery::store(const QString& path, const std::optional<QByteArray>& text, QString* error) const
{
    if (!text)
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return SafeFile::write(path, *text, error);
}

void WPRecovery::writeSoon(WPDocument* document)
{
    const auto it = m_watched.find(document);
    if (it == m_watched.end())
        return;
    if (it->writing) {
        // Written again once the copy under way is on disk.
        it->timer->start(m_pauseMs);
        return;
    }
    it->firstChangeMs = -1;
    std::optional<Snapshot> s = snapshot(document);
    if (!s)
        return;
    // The walk is all the interface thread pays for. The writer's measures
    // depend on the screen, known here.
    WPText::pixelsPerPoint();
    it->writing = true;
    const QString path = pathFor(s->copy.id);
    m_writer.start([this, document, path, taken = std::move(*s)]() mutable {
        QString error;
        const bool ok = store(path, encode(taken, &error), &error);
        taken.paragraphs.clear();
        QMetaObject::invokeMethod(
            this, [this, document, id = taken.copy.id, name = taken.copy.name, revision = taken.revision, ok, error] {
                finished(document, id, name, revision, ok, error);
            },
            Qt::QueuedConnection);
    });
}

void WPRecovery::waitForWrites()
{
    m_writer.waitForDone();
}

bool WPRecovery::writeNow(WPDocument* document)
{
    const std::optional<Snapshot> s = snapshot(document);
    if (!s)
        return false;
    // A copy under way must not land after this one.
    waitForWrites();
    QString error;
    const bool ok = store(pathFor(s->copy.id), encode(*s, &error), &error);
    finished(document, s->copy.id, s->copy.name, s->revision, ok, error);
    return ok;
}

void WPRecovery::finished(WPDocument* document, const QString& id, const QString& name, quint64 revision, bool ok,
                          const QString& error)
{
    const auto it = m_watched.find(document);
    if (it == m_watched.end() || it->id != id)
        return;
    Watch& w = *it;
    w.writing = false;
    if (!ok) {
        reportFailure(id, name, error);
        // Tried again after the pause even with no further change.
        if (!m_quitting && !w.timer->isActive())
            w.timer->start(m_pauseMs);
        return;
    }
    w.written = std::max(w.written, revision);
    clearFailure(id);
    // A copy kept in the temporary folder gives way to the one in place.
    const QString elsewhere = lastResortPathFor(id);
    if (QFileInfo::exists(elsewhere))
        QFile::remove(elsewhere);
}

void WPRecovery::reportFailure(const QString& id, const QString& name, const QString& error)
{
    // The user is told once, until a copy is written again.
    const QString owner = QStringLiteral("%1 (\u201c%2\u201d)").arg(Tool(Tool::wordProcessor).title(), name);
    m_failed.insert(id, owner);
    StoreEvents::shared().reportProblem(
        {StoreEvents::Problem::Kind::saveFailed, owner, pathFor(id),
         QStringLiteral("%1; it is the copy kept in case the program stops before the document is saved")
             .arg(error.isEmpty() ? QStringLiteral("the copy could not be made") : error),
         QString()});
}

void WPRecovery::clearFailure(const QString& id)
{
    if (m_failed.contains(id))
        StoreEvents::shared().clear(m_failed.take(id));
}

QStringList WPRecovery::writeAll()
{
    m_quitting = true;
    waitForWrites();
    QStringList lost;
    for (auto it = m_watched.begin(); it != m_watched.end(); ++it) {
        auto* document = const_cast<WPDocument*>(it.key());
        it->timer->stop();
        // What the copy on disk holds already is not written again.
        if (!document->isEdited() || Store::isReadOnly() || (it->written > 0 && it->written == it->revision))
            continue;
        if (writeNow(document))
            continue;
        // The data folder cannot take it: the temporary folder, as a last
        // resort, named at the next start.
        const std::optional<Snapshot> s = snapshot(document);
        const std::optional<QByteArray> text = s ? encode(*s, nullptr) : std::nullopt;
        if (text && Store::makePrivateFolder(Store::lastResortFolder()) && Store::makePrivateFolder(lastResortFolder())
            && SafeFile::write(lastResortPathFor(s->copy.id), *text))
            continue;
        lost.append(document->displayName());
    }
    return lost;
}

void WPRecovery::forget(WPDocument* document)
{
    if (!m_watched.contains(document))
        return;
    // No longer watched: a document closed at quit after the user chose
    // "Don't Save" is not written again by the copies made at exit.
    document->disconnect(this);
    document->storage()->disconnect(this);
    const Watch w = m_watched.take(document);
    delete w.timer;
    if (!m_quitting)
        removeCopy(w.id);
}

void WPRecovery::removeCopy(const QString& id)
{
    if (id.isEmpty() || Store::isReadOnly())
        return;
    clearFailure(id);
    // A copy being written would come back after its removal.
    waitForWrites();
    QFile::remove(pathFor(id));
    QFile::remove(lastResortPathFor(id));
}
