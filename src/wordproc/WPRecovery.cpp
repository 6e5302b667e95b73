#include "wordproc/WPRecovery.h"

#include "core/Json.h"
#include "core/SafeFile.h"
#include "core/Store.h"
#include "core/StoreEvents.h"
#include "core/Tool.h"
#include "wordproc/WPDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QTextDocument>
#include <QTimer>
#include <QUuid>
#include <algorithm>
#include <tuple>

namespace {

const QString kFolderName = QStringLiteral("Recovered Documents");

bool isCopyId(const QString& id)
{
    return !QUuid::fromString(id).isNull();
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

WPRecovery::WPRecovery(QObject* parent, int delayMs) : QObject(parent), m_delayMs(delayMs) {}

QString WPRecovery::folder()
{
    return Store::path(kFolderName);
}

QString WPRecovery::pathFor(const QString& id)
{
    return folder() + QLatin1Char('/') + id + QStringLiteral(".json");
}

QList<WPRecovery::Copy> WPRecovery::leftBehind()
{
    QList<Copy> copies;
    const QDir dir(folder());
    for (const QString& file : dir.entryList({QStringLiteral("*.json")}, QDir::Files | QDir::Hidden)) {
        const QString path = dir.filePath(file);
        const SafeFile::ReadResult r = SafeFile::readRegular(path, kMaxCopyBytes);
        const std::optional<QJsonValue> json = r.status == SafeFile::ReadResult::Status::ok
            ? Store::parse(r.data)
            : std::nullopt;
        std::optional<Copy> copy = json ? Copy::fromJson(*json) : std::nullopt;
        if (!copy || copy->id + QStringLiteral(".json") != file) {
            setAside(path);
            continue;
        }
        copies.append(std::move(*copy));
    }
    std::stable_sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) { return a.saved < b.saved; });
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
    if (m_ids.contains(document))
        return;
    if (recovered)
        m_origins.insert(document, {recovered->name, recovered->filePath});
    m_ids.insert(document, isCopyId(id) ? id : QUuid::createUuid().toString(QUuid::WithoutBraces));
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setInterval(m_delayMs);
    m_timers.insert(document, timer);
    connect(timer, &QTimer::timeout, this, [this, document] { writeNow(document); });
    connect(document->storage(), &QTextDocument::contentsChanged, this, [this, document] { changed(document); });
    connect(document, &WPDocument::headerFooterChanged, this, [this, document] { changed(document); });
    connect(document, &WPDocument::pageSetupChanged, this, [this, document] { changed(document); });
    connect(document, &WPDocument::editedChanged, this, [this, document](bool edited) {
        // Saved or reverted: nothing is left to recover.
        if (!edited && !m_quitting) {
            m_timers.value(document)->stop();
            removeCopy(m_ids.value(document));
        } else if (edited) {
            changed(document);
        }
    });
    connect(document, &QObject::destroyed, this, [this, document] {
        delete m_timers.take(document);
        m_ids.remove(document);
        m_origins.remove(document);
    });
}

void WPRecovery::changed(WPDocument* document)
{
    // Started by the first change after a write and not pushed back by the
    // next ones: every change is on disk within the delay.
    QTimer* timer = m_timers.value(document);
    if (timer && !timer->isActive() && document->isEdited())
        timer->start();
}

void WPRecovery::forget(WPDocument* document)
{
    if (!m_ids.contains(document))
        return;
    // No longer watched: a document closed at quit after the user chose
    // "Don't Save" is not written again by the copies made at exit.
    document->disconnect(this);
    document->storage()->disconnect(this);
    delete m_timers.take(document);
    m_origins.remove(document);
    const QString id = m_ids.take(document);
    if (!m_quitting)
        removeCopy(id);
}

bool WPRecovery::writeNow(WPDocument* document)
{
    const QString id = m_ids.value(document);
    if (id.isEmpty() || !document->isEdited() || Store::isReadOnly())
        return false;
    Copy copy;
    copy.id = id;
    copy.name = document->displayName();
    copy.filePath = document->filePath();
    // Recovered and not saved yet: still the document it was.
    if (copy.filePath.isEmpty() && m_origins.contains(document))
        std::tie(copy.name, copy.filePath) = m_origins.value(document);
    copy.fileType = document->fileType();
    copy.saved = QDateTime::currentDateTimeUtc();
    QString error;
    const std::optional<QByteArray> docx = document->data(WPDocument::kDocxType, &error);
    if (!docx)
        return false;
    copy.docx = *docx;
    const std::optional<QByteArray> text = Store::encode(copy.toJson());
    if (!text)
        return false;
    QDir().mkpath(folder());
    QString why;
    if (!SafeFile::write(pathFor(id), *text, &why)) {
        // The user is told (once, until a copy is written again), and the
        // copy is tried again after the delay even with no further change.
        const QString owner = QStringLiteral("%1 (\u201c%2\u201d)").arg(Tool(Tool::wordProcessor).title(), copy.name);
        m_failed.insert(id, owner);
        StoreEvents::shared().reportProblem(
            {StoreEvents::Problem::Kind::saveFailed, owner, pathFor(id),
             QStringLiteral("%1; it is the copy kept in case the program stops before the document is saved")
                 .arg(why),
             QString()});
        if (QTimer* timer = m_timers.value(document); timer && !m_quitting)
            timer->start();
        return false;
    }
    if (m_failed.contains(id))
        StoreEvents::shared().clear(m_failed.take(id));
    return true;
}

void WPRecovery::writeAll()
{
    m_quitting = true;
    for (auto it = m_ids.cbegin(); it != m_ids.cend(); ++it) {
        auto* document = const_cast<WPDocument*>(it.key());
        m_timers.value(document)->stop();
        writeNow(document);
    }
}

void WPRecovery::removeCopy(const QString& id)
{
    if (id.isEmpty() || Store::isReadOnly())
        return;
    if (m_failed.contains(id))
        StoreEvents::shared().clear(m_failed.take(id));
    QFile::remove(pathFor(id));
}
