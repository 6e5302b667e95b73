#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <utility>

struct zip;

// The word processor's ZIP container. Writing stores every entry without
// compression in a fixed, byte-for-byte reproducible layout; reading goes
// through libzip in memory (stored and deflated entries), with an exact name
// lookup, size caps and CRC checks.
namespace Zip {

struct Entry {
    QString name;       // "word/document.xml": UTF-8 in the archive, "/" separated
    QByteArray contents;
};

// Limits of what a read hands out: a compressed entry above kMaxEntrySize,
// one that would take an archive's extracted total above kMaxTotalSize plus
// the archive's own size, an XML part that holds more than real documents
// do (plausibleXml), or another entry that inflates beyond what real files
// do, reads as absent. Together they keep what a document read takes beyond
// its own file well under 300 MB of memory. A stored entry other than XML
// may be as large as the archive.
inline constexpr qint64 kMaxEntrySize = qint64(64) << 20;
// XML parts become text and formats at some nine times their size.
inline constexpr qint64 kMaxXmlEntrySize = qint64(24) << 20;
inline constexpr qint64 kMaxTotalSize = qint64(160) << 20;
// An entry over kInflationFloor may be at most kMaxInflation times its
// compressed size (documents' XML compresses some 5 to 30 times).
inline constexpr qint64 kInflationFloor = qint64(4) << 20;
inline constexpr qint64 kMaxInflation = 100;

// An XML part is bounded by what it holds, however well it packs: every
// paragraph, table cell and run read costs some 600 bytes of memory and a
// few microseconds, every other element a fraction of that.
inline constexpr qint64 kMaxXmlElements = 3'000'000;
inline constexpr qint64 kMaxXmlBlocks = 300'000; // paragraphs, table cells and runs

// Whether an entry of these sizes is within the bounds above (for parts
// other than XML, whose bound is plausibleXml).
bool plausibleSize(qint64 compressed, qint64 uncompressed, qint64 maxEntry = kMaxEntrySize);

// Whether an XML part's elements, and its paragraphs, table cells and runs
// among them, are within the bounds above.
bool plausibleXml(const QByteArray& xml);

// Whether an entry of this name is an XML part.
bool isXmlName(const QString& name);

// What the word processor says of a document refused for these bounds.
QString tooLargeMessage();

// CRC-32 as used by ZIP and PNG (0xCBF43926 for "123456789", 0 for nothing).
quint32 crc32(const QByteArray& data);

// The whole archive of `entries`, in the order given, all stored.
QByteArray store(const QList<Entry>& entries);

// The contents of the entry named exactly `name`, or nothing when the bytes
// are no archive, there is no such entry, or it is damaged or over the cap.
std::optional<QByteArray> extract(const QByteArray& archive, const QString& name);

// An archive opened once for several reads: the central directory is read
// once, and the caps apply to the total read through this object.
class Archive {
public:
    explicit Archive(const QByteArray& data);
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    bool contains(const QString& name) const;
    std::optional<QByteArray> read(const QString& name);
    // Entry names in central-directory order.
    QList<QString> names() const;
    // Whether a read was refused for the size bounds.
    bool refusedForSize() const { return m_refused; }

private:
    QByteArray m_data; // libzip reads from this buffer; it must outlive m_zip
    ::zip* m_zip = nullptr;
    qint64 m_total = 0;
    bool m_refused = false;
};

} // namespace Zip
