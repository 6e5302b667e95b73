#include "wordproc/formats/CompoundFile.h"

#include <vector>

namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kMaxRegular = 0xFFFFFFFA;
constexpr quint64 kMaxStream = 256ull * 1024 * 1024;

// Little-endian numbers at an offset; out of range reads as `fallback`.
quint16 le16(const QByteArray& b, qint64 offset)
{
    if (offset < 0 || offset + 2 > b.size())
        return 0;
    return quint16(quint8(b[offset]) | quint8(b[offset + 1]) << 8);
}

quint32 le32(const QByteArray& b, qint64 offset, quint32 fallback = 0)
{
    if (offset < 0 || offset + 4 > b.size())
        return fallback;
    return quint32(le16(b, offset)) | quint32(le16(b, offset + 2)) << 16;
}

} // namespace

quint32 CompoundFile::u32(qint64 offset) const
{
    return le32(m_data, offset, kEndOfChain);
}

QByteArray CompoundFile::sector(quint32 index) const
{
    const qint64 offset = (qint64(index) + 1) * m_sectorSize;
    if (index > kMaxRegular || offset + m_sectorSize > m_data.size())
        return {};
    return m_data.mid(offset, m_sectorSize);
}

CompoundFile::CompoundFile(const QByteArray& data)
    : m_data(data)
{
    if (data.size() < 512 || !data.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return;
    const quint16 shift = le16(data, 0x1E);
    const quint16 miniShift = le16(data, 0x20);
    if ((shift != 9 && shift != 12) || miniShift != 6)
        return;
    m_sectorSize = 1 << shift;
    m_miniSectorSize = 1 << miniShift;
    m_miniCutoff = u32(0x38);
    const quint32 perSector = quint32(m_sectorSize / 4);
    const qint64 sectorCount = data.size() / m_sectorSize;

    // The FAT's own sectors: 109 in the header, the rest in DIFAT sectors.
    QList<quint32> fatSectors;
    for (int i = 0; i < 109; ++i) {
        const quint32 s = u32(0x4C + 4 * i);
        if (s <= kMaxRegular)
            fatSectors.append(s);
    }
    quint32 difat = u32(0x44);
    for (qint64 guard = 0; difat <= kMaxRegular && guard < sectorCount; ++guard) {
        const qint64 base = (qint64(difat) + 1) * m_sectorSize;
        for (quint32 i = 0; i + 1 < perSector; ++i) {
            const quint32 s = u32(base + 4 * i);
            if (s <= kMaxRegular)
                fatSectors.append(s);
        }
        difat = u32(base + 4 * (perSector - 1));
    }
    for (quint32 s : std::as_const(fatSectors)) {
        if (qint64(m_fat.size()) > sectorCount + perSector)
            break;
        const qint64 base = (qint64(s) + 1) * m_sectorSize;
        if (base + m_sectorSize > data.size())
            return;
        for (quint32 i = 0; i < perSector; ++i)
            m_fat.append(u32(base + 4 * i));
    }

    const std::optional<QByteArray> directory = chain(u32(0x30), kMaxStream, false);
    if (!directory)
        return;
    for (qsizetype off = 0; off + 128 <= directory->size() && m_entries.size() < 100000; off += 128) {
        Entry entry;
        const int nameChars = std::clamp<int>(le16(*directory, off + 0x40), 0, 64) / 2 - 1;
        for (int k = 0; k < nameChars; ++k)
            entry.name += QChar(le16(*directory, off + 2 * k));
        entry.type = quint8(directory->at(off + 0x42));
        entry.start = le32(*directory, off + 0x74);
        entry.size = le32(*directory, off + 0x78);
        m_entries.append(entry);
    }
    if (m_entries.isEmpty() || m_entries.first().type != 5)
        return;
    const std::optional<QByteArray> miniFat = chain(u32(0x3C), kMaxStream, false);
    if (miniFat) {
        for (qsizetype off = 0; off + 4 <= miniFat->size(); off += 4)
            m_miniFat.append(le32(*miniFat, off));
    }
    m_miniStream = chain(m_entries.first().start, m_entries.first().size, false).value_or(QByteArray());
    m_valid = true;
}

std::optional<QByteArray> CompoundFile::chain(quint32 start, quint64 size, bool mini) const
{
    if (size > kMaxStream)
        return std::nullopt;
    const QList<quint32>& table = mini ? m_miniFat : m_fat;
    const int unit = mini ? m_miniSectorSize : m_sectorSize;
    QByteArray out;
    quint32 current = start;
    // Every sector at most once: a chain that loops is damaged.
    std::vector<bool> seen(size_t(table.size()) + 1, false);
    while (current <= kMaxRegular && quint64(out.size()) < size) {
        const size_t mark = std::min<size_t>(current, size_t(table.size()));
        if (seen[mark])
            return std::nullopt;
        seen[mark] = true;
        if (mini) {
            const qint64 offset = qint64(current) * unit;
            if (offset + unit > m_miniStream.size())
                return std::nullopt;
            out += m_miniStream.mid(offset, unit);
        } else {
            const QByteArray s = sector(current);
            if (s.isEmpty())
                return std::nullopt;
            out += s;
        }
        if (current >= quint32(table.size()))
            break;
        current = table[current];
    }
    if (size != kMaxStream) {
        if (quint64(out.size()) < size)
            return std::nullopt;
        out.truncate(qsizetype(size));
    }
    return out;
}

std::optional<QByteArray> CompoundFile::stream(const QString& name) const
{
    if (!m_valid)
        return std::nullopt;
    for (const Entry& e : m_entries) {
        if (e.type != 2 || e.name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        return chain(e.start, e.size, e.size < m_miniCutoff);
    }
    return std::nullopt;
}
