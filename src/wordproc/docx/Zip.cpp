#include "wordproc/docx/Zip.h"

#include "wordproc/docx/ZipLibrary.h"

#include <cstring>
#include <zlib.h>

namespace Zip {

using ZipLibrary::fn;

namespace {

constexpr quint16 kVersion = 20;
constexpr quint16 kUtf8Flag = 0x0800;
constexpr quint16 kDosDate = 0x5C21; // 1 January 2026, 00:00:00

void put16(QByteArray& out, quint32 v)
{
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

void put32(QByteArray& out, quint32 v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

quint32 crc32(const QByteArray& data)
{
    uLong crc = ::crc32(0L, Z_NULL, 0);
    const auto* p = reinterpret_cast<const Bytef*>(data.constData());
    qsizetype left = data.size();
    // zlib takes a 32-bit length: feed large buffers in pieces.
    while (left > 0) {
        const uInt chunk = uInt(std::min<qsizetype>(left, 1 << 30));
        crc = ::crc32(crc, p, chunk);
        p += chunk;
        left -= chunk;
    }
    return quint32(crc);
}

QByteArray store(const QList<Entry>& entries)
{
    qsizetype total = 22;
    for (const Entry& e : entries)
        total += 30 + 46 + 2 * e.name.size() * 3 + e.contents.size();
    QByteArray out;
    out.reserve(total);
    QByteArray central;
    for (const Entry& e : entries) {
        const QByteArray name = e.name.toUtf8();
        const quint32 crc = crc32(e.contents);
        const quint32 size = quint32(e.contents.size());
        const quint32 offset = quint32(out.size());

        put32(out, 0x04034B50);
        put16(out, kVersion);
        put16(out, kUtf8Flag);
        put16(out, 0);  // stored
        put16(out, 0);  // time
        put16(out, kDosDate);
        put32(out, crc);
        put32(out, size);
        put32(out, size);
        put16(out, quint32(name.size()));
        put16(out, 0);  // extra field
        out.append(name);
        out.append(e.contents);

        put32(central, 0x02014B50);
        put16(central, kVersion); // made by: MS-DOS conventions, version 2.0
        put16(central, kVersion);
        put16(central, kUtf8Flag);
        put16(central, 0);
        put16(central, 0);
        put16(central, kDosDate);
        put32(central, crc);
        put32(central, size);
        put32(central, size);
        put16(central, quint32(name.size()));
        put16(central, 0);  // extra field
        put16(central, 0);  // comment
        put16(central, 0);  // disk
        put16(central, 0);  // internal attributes
        put32(central, 0);  // external attributes
        put32(central, offset);
        central.append(name);
    }
    const quint32 centralOffset = quint32(out.size());
    out.append(central);
    put32(out, 0x06054B50);
    put16(out, 0);
    put16(out, 0);
    put16(out, quint32(entries.size()));
    put16(out, quint32(entries.size()));
    put32(out, quint32(central.size()));
    put32(out, centralOffset);
    put16(out, 0);
    return out;
}

Archive::Archive(const QByteArray& data)
    : m_data(data)
{
    // Without the library no archive opens: read as not a package.
    if (m_data.isEmpty() || !ZipLibrary::load())
        return;
    zip_error_t error;
    fn().zip_error_init(&error);
    zip_source_t* src = fn().zip_source_buffer_create(m_data.constData(), zip_uint64_t(m_data.size()), 0, &error);
    if (src) {
        m_zip = fn().zip_open_from_source(src, ZIP_RDONLY, &error);
        if (!m_zip)
            fn().zip_source_free(src);
    }
    fn().zip_error_fini(&error);
}

Archive::~Archive()
{
    if (m_zip)
        fn().zip_discard(m_zip);
}

bool Archive::contains(const QString& name) const
{
    return m_zip && !name.isEmpty() && fn().zip_name_locate(m_zip, name.toUtf8().constData(), 0) >= 0;
}

QList<QString> Archive::names() const
{
    QList<QString> out;
    if (!m_zip)
        return out;
    const zip_int64_t n = fn().zip_get_num_entries(m_zip, 0);
    for (zip_int64_t i = 0; i < n && i < 100000; ++i) {
        if (const char* name = fn().zip_get_name(m_zip, zip_uint64_t(i), 0))
            out.append(QString::fromUtf8(name));
    }
    return out;
}

std::optional<QByteArray> Archive::read(const QString& name)
{
    if (!m_zip || name.isEmpty())
        return std::nullopt;
    const QByteArray utf8 = name.toUtf8();
    if (utf8.contains('\0'))
        return std::nullopt;
    // Flags 0: an exact, case-sensitive comparison of the whole name, no
    // patterns of any kind.
    const zip_int64_t index = fn().zip_name_locate(m_zip, utf8.constData(), 0);
    if (index < 0)
        return std::nullopt;
    zip_stat_t st;
    fn().zip_stat_init(&st);
    if (fn().zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        return std::nullopt;
    const qint64 compressed = (st.valid & ZIP_STAT_COMP_SIZE) ? qint64(st.comp_size) : qint64(st.size);
    const bool xml = isXmlName(name);
    // A stored picture's bytes are in the archive itself: reading it costs no
    // more than the file already does, so only the XML caps hold for it (our
    // own packages store every picture, and a few photos exceed the caps).
    // What all reads together may take grows with the archive, so that
    // entries that share their data cannot take more than that.
    const bool stored = (st.valid & ZIP_STAT_COMP_METHOD) && st.comp_method == ZIP_CM_STORE
                     && compressed == qint64(st.size) && qint64(st.size) <= qint64(m_data.size());
    const qint64 entryCap = xml ? kMaxXmlEntrySize : stored ? qint64(m_data.size()) : kMaxEntrySize;
    if (qint64(st.size) > entryCap || m_total + qint64(st.size) > kMaxTotalSize + qint64(m_data.size())
        || (!xml && !plausibleSize(compressed, qint64(st.size), entryCap))) {
        m_refused = true;
        return std::nullopt;
    }
    const qint64 expected = qint64(st.size);
    zip_file_t* file = fn().zip_fopen_index(m_zip, zip_uint64_t(index), 0);
    if (!file)
        return std::nullopt;
    QByteArray out;
    out.reserve(qsizetype(std::min<qint64>(expected, qint64(1) << 20)));
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const zip_int64_t n = fn().zip_fread(file, buffer, sizeof buffer);
        if (n < 0) {
            ok = false; // damaged data or a CRC mismatch
            break;
        }
        if (n == 0)
            break;
        if (out.size() + n > expected) {
            ok = false; // more data than the directory declares
            break;
        }
        out.append(buffer, qsizetype(n));
    }
    fn().zip_fclose(file);
    if (!ok || out.size() != expected)
        return std::nullopt;
    if ((st.valid & ZIP_STAT_CRC) && crc32(out) != quint32(st.crc))
        return std::nullopt;
    m_total += expected;
    if (xml && !plausibleXml(out)) {
        m_refused = true;
        return std::nullopt;
    }
    return out;
}

bool isXmlName(const QString& name)
{
    return name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) || name.endsWith(QLatin1String(".rels"), Qt::CaseInsensitive);
}

bool plausibleXml(const QByteArray& xml)
{
    // Start tags are counted where they stand, without parsing: "<" and a
    // name. Paragraphs, cells and runs of every format read here: w:p, w:tc,
    // w:r, text:p, text:h, text:span, table:table-cell and
    // table:covered-table-cell.
    static const QByteArrayView blocks[] = {"p", "h", "tc", "r", "span", "table-cell", "covered-table-cell"};
    const char* p = xml.constData();
    const char* const end = p + xml.size();
    qint64 elements = 0;
    qint64 blockCount = 0;
    while (p < end) {
        p = static_cast<const char*>(std::memchr(p, '<', size_t(end - p)));
        if (!p)
            break;
        ++p;
        if (p == end || *p == '/' || *p == '?' || *p == '!')
            continue;
        const char* nameEnd = p;
        const char* local = p;
        while (nameEnd < end && *nameEnd != '>' && *nameEnd != '/' && *nameEnd != ' ' && *nameEnd != '\t'
               && *nameEnd != '\n' && *nameEnd != '\r' && nameEnd - p < 64) {
            if (*nameEnd == ':')
                local = nameEnd + 1;
            ++nameEnd;
        }
        if (++elements > kMaxXmlElements)
            return false;
        const QByteArrayView localName(local, nameEnd - local);
        for (const QByteArrayView& b : blocks) {
            if (localName == b && ++blockCount > kMaxXmlBlocks)
                return false;
        }
        p = nameEnd;
    }
    return true;
}

bool plausibleSize(qint64 compressed, qint64 uncompressed, qint64 maxEntry)
{
    if (uncompressed < 0 || uncompressed > maxEntry)
        return false;
    return uncompressed <= kInflationFloor || uncompressed <= std::max<qint64>(compressed, 1) * kMaxInflation;
}

QString tooLargeMessage()
{
    return QStringLiteral("The document unpacks to far more than any real document does (text over %1 MB or over %L2 "
                          "paragraphs, cells and runs, a part over %3 MB, or a picture more than %4 times its packed "
                          "size), so it was not opened, to keep its reading under 300 MB of memory. It may be damaged or "
                          "made to exhaust memory.")
        .arg(kMaxXmlEntrySize >> 20)
        .arg(kMaxXmlBlocks)
        .arg(kMaxEntrySize >> 20)
        .arg(kMaxInflation);
}

std::optional<QByteArray> extract(const QByteArray& archive, const QString& name)
{
    Archive zip(archive);
    return zip.read(name);
}

} // namespace Zip
