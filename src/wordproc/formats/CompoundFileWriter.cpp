// Writing compound files: header, FAT (with DIFAT sectors past 109 FAT
// sectors), one directory with a balanced tree of entries, then the streams.
#include "wordproc/formats/CompoundFile.h"

#include <QtEndian>
#include <algorithm>
#include <functional>

namespace {

constexpr int kSector = 512;
constexpr quint32 kEnd = 0xFFFFFFFE;
constexpr quint32 kFree = 0xFFFFFFFF;
constexpr quint32 kFatSector = 0xFFFFFFFD;
constexpr quint32 kDifatSector = 0xFFFFFFFC;
constexpr quint32 kNoStream = 0xFFFFFFFF;
constexpr int kMiniCutoff = 4096;

void put16(QByteArray& b, qsizetype at, quint16 v)
{
    qToLittleEndian<quint16>(v, b.data() + at);
}

void put32(QByteArray& b, qsizetype at, quint32 v)
{
    qToLittleEndian<quint32>(v, b.data() + at);
}

qsizetype sectorsFor(qsizetype bytes)
{
    return (bytes + kSector - 1) / kSector;
}

// The directory's ordering: shorter names first, then by upper-case code units.
bool entryLess(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return a.size() < b.size();
    return a.toUpper() < b.toUpper();
}

} // namespace

QByteArray CompoundFile::write(const QList<std::pair<QString, QByteArray>>& streams, const QByteArray& rootClass)
{
    QList<QByteArray> contents;
    for (const auto& s : streams) {
        QByteArray c = s.second;
        if (c.size() < kMiniCutoff)
            c.append(QByteArray(kMiniCutoff - c.size(), '\0'));
        contents.append(c);
    }
    const qsizetype entries = streams.size() + 1;
    const qsizetype dirSectors = sectorsFor(entries * 128);
    qsizetype dataSectors = 0;
    for (const QByteArray& c : std::as_const(contents))
        dataSectors += sectorsFor(c.size());

    // FAT and DIFAT sectors cover themselves too.
    constexpr qsizetype perSector = kSector / 4;
    qsizetype fatSectors = 1;
    qsizetype difatSectors = 0;
    for (;;) {
        const qsizetype total = dirSectors + dataSectors + fatSectors + difatSectors;
        const qsizetype needFat = (total + perSector - 1) / perSector;
        const qsizetype needDifat = needFat > 109 ? (needFat - 109 + perSector - 2) / (perSector - 1) : 0;
        if (needFat <= fatSectors && needDifat <= difatSectors)
            break;
        fatSectors = std::max(fatSectors, needFat);
        difatSectors = std::max(difatSectors, needDifat);
    }

    // Sector order: FAT, DIFAT, directory, streams.
    const quint32 firstDifat = quint32(fatSectors);
    const quint32 firstDir = firstDifat + quint32(difatSectors);
    quint32 next = firstDir + quint32(dirSectors);
    QList<quint32> starts;
    QList<quint32> fat(fatSectors * perSector, kFree);
    for (qsizetype i = 0; i < fatSectors; ++i)
        fat[i] = kFatSector;
    for (qsizetype i = 0; i < difatSectors; ++i)
        fat[firstDifat + i] = kDifatSector;
    auto chain = [&fat](quint32 first, qsizetype count) {
        for (qsizetype i = 0; i < count; ++i)
            fat[first + i] = i + 1 == count ? kEnd : quint32(first + i + 1);
    };
    chain(firstDir, dirSectors);
    for (const QByteArray& c : std::as_const(contents)) {
        const qsizetype n = sectorsFor(c.size());
        starts.append(n > 0 ? next : kEnd);
        chain(next, n);
        next += quint32(n);
    }

    QByteArray header(kSector, '\0');
    header.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    put16(header, 0x18, 0x003E);
    put16(header, 0x1A, 0x0003);
    put16(header, 0x1C, 0xFFFE);
    put16(header, 0x1E, 9);
    put16(header, 0x20, 6);
    put32(header, 0x2C, quint32(fatSectors));
    put32(header, 0x30, firstDir);
    put32(header, 0x38, kMiniCutoff);
    put32(header, 0x3C, kEnd);
    put32(header, 0x40, 0);
    put32(header, 0x44, difatSectors > 0 ? firstDifat : kEnd);
    put32(header, 0x48, quint32(difatSectors));
    for (int i = 0; i < 109; ++i)
        put32(header, 0x4C + 4 * i, i < fatSectors ? quint32(i) : kFree);

    QByteArray difat(difatSectors * kSector, '\xFF');
    for (qsizetype i = 109; i < fatSectors; ++i) {
        const qsizetype k = i - 109;
        put32(difat, (k / (perSector - 1)) * kSector + 4 * (k % (perSector - 1)), quint32(i));
    }
    for (qsizetype d = 0; d < difatSectors; ++d)
        put32(difat, d * kSector + kSector - 4, d + 1 < difatSectors ? quint32(firstDifat + d + 1) : kEnd);

    // Directory: the root, then the streams as a balanced tree under it.
    QByteArray dir(dirSectors * kSector, '\0');
    auto entry = [&dir](qsizetype index, const QString& name, int type, quint32 start, quint32 size) {
        const qsizetype base = index * 128;
        const QString n = name.left(31);
        for (qsizetype k = 0; k < n.size(); ++k)
            put16(dir, base + 2 * k, n.at(k).unicode());
        put16(dir, base + 0x40, quint16((n.size() + 1) * 2));
        dir[base + 0x42] = char(type);
        dir[base + 0x43] = 1; // black
        put32(dir, base + 0x44, kNoStream);
        put32(dir, base + 0x48, kNoStream);
        put32(dir, base + 0x4C, kNoStream);
        put32(dir, base + 0x74, start);
        put32(dir, base + 0x78, size);
    };
    for (qsizetype i = entries; i < dirSectors * kSector / 128; ++i) {
        put32(dir, i * 128 + 0x44, kNoStream);
        put32(dir, i * 128 + 0x48, kNoStream);
        put32(dir, i * 128 + 0x4C, kNoStream);
    }
    entry(0, QStringLiteral("Root Entry"), 5, kEnd, 0);
    if (rootClass.size() == 16)
        dir.replace(0x50, 16, rootClass);
    QList<qsizetype> order;
    for (qsizetype i = 0; i < streams.size(); ++i) {
        entry(i + 1, streams[i].first, 2, starts[i], quint32(contents[i].size()));
        order.append(i + 1);
    }
    std::sort(order.begin(), order.end(), [&streams](qsizetype a, qsizetype b) {
        return entryLess(streams[a - 1].first, streams[b - 1].first);
    });
    std::function<quint32(qsizetype, qsizetype)> subtree = [&](qsizetype lo, qsizetype hi) -> quint32 {
        if (lo >= hi)
            return kNoStream;
        const qsizetype mid = (lo + hi) / 2;
        const qsizetype id = order[mid];
        put32(dir, id * 128 + 0x44, subtree(lo, mid));
        put32(dir, id * 128 + 0x48, subtree(mid + 1, hi));
        return quint32(id);
    };
    put32(dir, 0x4C, subtree(0, order.size()));

    QByteArray fatBytes(fatSectors * kSector, '\0');
    for (qsizetype i = 0; i < fat.size(); ++i)
        put32(fatBytes, 4 * i, fat[i]);

    QByteArray out = header + fatBytes + difat + dir;
    for (const QByteArray& c : std::as_const(contents)) {
        out += c;
        out.append(QByteArray(sectorsFor(c.size()) * kSector - c.size(), '\0'));
    }
    return out;
}
