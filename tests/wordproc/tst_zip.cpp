#include "DocxTestFiles.h"
#include "TestEnvironment.h"
#include "wordproc/docx/Docx.h"
#include "wordproc/docx/Zip.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QFile>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <zlib.h>

namespace {

quint32 le32(const QByteArray& b, qsizetype at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16
        | quint32(quint8(b[at + 3])) << 24;
}

quint16 le16(const QByteArray& b, qsizetype at)
{
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

QByteArray rawDeflate(const QByteArray& data, qint64 repeat = 1)
{
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    QByteArray out;
    char buf[65536];
    for (qint64 i = 0; i < repeat; ++i) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
        z.avail_in = uInt(data.size());
        const int flush = i + 1 == repeat ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = reinterpret_cast<Bytef*>(buf);
            z.avail_out = sizeof buf;
            deflate(&z, flush);
            out.append(buf, qsizetype(sizeof buf - z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return out;
}

// An archive as other programs write it: one deflated (or stored) entry
// whose header fields can be made to lie.
struct RawEntry {
    QByteArray name;
    QByteArray payload;   // what is in the file
    quint16 method = 8;
    quint32 crc = 0;
    quint32 size = 0;     // declared uncompressed size
};

QByteArray rawArchive(const QList<RawEntry>& entries)
{
    QByteArray out;
    QByteArray central;
    auto p16 = [](QByteArray& b, quint32 v) { b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    auto p32 = [&](QByteArray& b, quint32 v) { p16(b, v & 0xFFFF); p16(b, v >> 16); };
    for (const RawEntry& e : entries) {
        const quint32 offset = quint32(out.size());
        for (QByteArray* b : {&out, &central}) {
            const bool c = b == &central;
            p32(*b, c ? 0x02014B50 : 0x04034B50);
            if (c)
                p16(*b, 20);
            p16(*b, 20);
            p16(*b, 0);
            p16(*b, e.method);
            p16(*b, 0);
            p16(*b, 0x5C21);
            p32(*b, e.crc);
            p32(*b, quint32(e.payload.size()));
            p32(*b, e.size);
            p16(*b, quint32(e.name.size()));
            p16(*b, 0);
            if (c) {
                p16(*b, 0);
                p16(*b, 0);
                p16(*b, 0);
                p32(*b, 0);
                p32(*b, offset);
            }
            b->append(e.name);
            if (!c)
                b->append(e.payload);
        }
    }
    const quint32 cdOffset = quint32(out.size());
    out.append(central);
    p32(out, 0x06054B50);
    p16(out, 0);
    p16(out, 0);
    p16(out, quint32(entries.size()));
    p16(out, quint32(entries.size()));
    p32(out, quint32(central.size()));
    p32(out, cdOffset);
    p16(out, 0);
    return out;
}

// One stored entry whose data the central directory lists `names` times,
// under as many names, all at the same offset.
QByteArray sharedDataArchive(const QByteArray& data, int names)
{
    QByteArray one = Zip::store({{QStringLiteral("e0"), data}});
    const qsizetype local = 30 + 2 + data.size();
    const QByteArray header = one.mid(local, 46 + 2);
    QByteArray out = one.left(local);
    for (int i = 0; i < names; ++i) {
        QByteArray h = header;
        h[46 + 1] = char('0' + i);
        out += h;
    }
    auto p16 = [](QByteArray& b, quint32 v) { b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    auto p32 = [&](QByteArray& b, quint32 v) { p16(b, v & 0xFFFF); p16(b, v >> 16); };
    p32(out, 0x06054B50);
    p16(out, 0);
    p16(out, 0);
    p16(out, quint32(names));
    p16(out, quint32(names));
    p32(out, quint32(names * header.size()));
    p32(out, quint32(local));
    p16(out, 0);
    return out;
}

RawEntry deflated(const QByteArray& name, const QByteArray& data)
{
    return RawEntry{name, rawDeflate(data), 8, Zip::crc32(data), quint32(data.size())};
}


} // namespace

class ZipTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void crc_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<quint32>("crc");
        QTest::newRow("empty") << QByteArray() << quint32(0);
        QTest::newRow("check value") << QByteArray("123456789") << quint32(0xCBF43926);
        QTest::newRow("one byte") << QByteArray("a") << quint32(0xE8B7BE43);
        QTest::newRow("zero bytes") << QByteArray(4, '\0') << quint32(0x2144DF1C);
    }
    void crc()
    {
        QFETCH(QByteArray, data);
        QFETCH(quint32, crc);
        QCOMPARE(Zip::crc32(data), crc);
    }

    void emptyArchiveIsTheEndRecord()
    {
        const QByteArray z = Zip::store({});
        QCOMPARE(z, QByteArray::fromHex("504b0506000000000000000000000000000000000000"));
    }

    void twoEntryGoldenBytes()
    {
        const QByteArray z = Zip::store({{QStringLiteral("a.txt"), "hi"}, {QStringLiteral("\u00e9"), QByteArray()}});
        const QByteArray golden = QByteArray::fromHex(
            // local header of a.txt: version 20, UTF-8 flag, stored, 00:00 1 Jan 2026,
            // CRC, sizes 2 and 2, name length 5; the name; "hi"
            "504b0304" "1400" "0008" "0000" "0000" "215c" "ac2a93d8" "02000000" "02000000" "0500" "0000"
            "612e747874" "6869"
            // local header of the two-byte name é with no contents
            "504b0304" "1400" "0008" "0000" "0000" "215c" "00000000" "00000000" "00000000" "0200" "0000" "c3a9"
            // central directory: a.txt at offset 0, é at offset 37
            "504b0102" "1400" "1400" "0008" "0000" "0000" "215c" "ac2a93d8" "02000000" "02000000" "0500" "0000"
            "0000" "0000" "0000" "00000000" "00000000" "612e747874"
            "504b0102" "1400" "1400" "0008" "0000" "0000" "215c" "00000000" "00000000" "00000000" "0200" "0000"
            "0000" "0000" "0000" "00000000" "25000000" "c3a9"
            // end record: 2 entries, a directory of 99 bytes at offset 69
            "504b0506" "0000" "0000" "0200" "0200" "63000000" "45000000" "0000");
        QCOMPARE(z.toHex(), golden.toHex());
    }

    void offsetsAndFlags()
    {
        const QList<Zip::Entry> entries{{QStringLiteral("word/document.xml"), QByteArray(1000, 'x')},
                                        {QStringLiteral("caf\u00e9/\u6587.png"), QByteArray()},
                                        {QStringLiteral("z"), "z"}};
        const QByteArray z = Zip::store(entries);
        QCOMPARE(z, Zip::store(entries)); // reproducible
        const quint32 cd = le32(z, z.size() - 6);
        qsizetype at = cd;
        quint32 expectedOffset = 0;
        for (const Zip::Entry& e : entries) {
            const QByteArray name = e.name.toUtf8();
            QCOMPARE(le32(z, at), quint32(0x02014B50));
            QCOMPARE(le16(z, at + 8), quint16(0x0800));
            QCOMPARE(le16(z, at + 14), quint16(0x5C21));
            QCOMPARE(le16(z, at + 28), quint16(name.size())); // bytes, not characters
            QCOMPARE(le32(z, at + 42), expectedOffset);
            QCOMPARE(z.mid(expectedOffset + 30, name.size()), name);
            expectedOffset += 30 + quint32(name.size()) + quint32(e.contents.size());
            at += 46 + name.size();
        }
        QCOMPARE(quint32(cd), expectedOffset);
    }

    void roundTrip()
    {
        QList<Zip::Entry> entries;
        for (int i = 0; i < 20; ++i) {
            QByteArray data;
            for (int j = 0; j < i * 977; ++j)
                data.append(char((i * 31 + j * 7) & 0xFF));
            entries.append({QStringLiteral("dir%1/entry %2.bin").arg(i % 3).arg(i), data});
        }
        const QByteArray z = Zip::store(entries);
        Zip::Archive archive(z);
        QVERIFY(archive.isOpen());
        QCOMPARE(archive.names().size(), entries.size());
        for (const Zip::Entry& e : entries) {
            const auto got = archive.read(e.name);
            QVERIFY2(got.has_value(), qPrintable(e.name));
            QCOMPARE(*got, e.contents);
        }
        const auto empty = Zip::extract(z, QStringLiteral("dir0/entry 0.bin"));
        QVERIFY(empty.has_value());
        QVERIFY(empty->isEmpty());
    }

    void otherProgramsReadOurArchives()
    {
        const QString py = DocxTestFiles::python();
        if (py.isEmpty())
            QSKIP("python3 is not installed");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.zip"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(Zip::store({{QStringLiteral("a.txt"), "alpha"}, {QStringLiteral("\u00e9t\u00e9/b.bin"), QByteArray(70000, 'b')}}));
        f.close();
        QProcess p;
        p.start(py, {QStringLiteral("-c"),
                     QStringLiteral("import sys,zipfile\nz=zipfile.ZipFile(sys.argv[1])\nassert z.testzip() is None\n"
                                    "print('|'.join(i.filename+':'+str(i.file_size) for i in z.infolist()))"),
                     path});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()).trimmed(),
                 QStringLiteral("a.txt:5|\u00e9t\u00e9/b.bin:70000"));
    }

    void namesAreExact_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("expected"); // null: absent
        QTest::newRow("exact") << QStringLiteral("a[1].png") << QByteArray("bracket");
        QTest::newRow("no pattern classes") << QStringLiteral("a[0-9].png") << QByteArray();
        QTest::newRow("star is no wildcard") << QStringLiteral("*") << QByteArray();
        QTest::newRow("question mark") << QStringLiteral("a?.png") << QByteArray();
        QTest::newRow("dash is no option") << QStringLiteral("-p") << QByteArray();
        QTest::newRow("case matters") << QStringLiteral("A1.PNG") << QByteArray();
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("plain") << QStringLiteral("a1.png") << QByteArray("one");
        QTest::newRow("embedded nul") << QStringLiteral("a1.png") + QChar(0) + QStringLiteral("x") << QByteArray();
    }
    void namesAreExact()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, expected);
        const QByteArray z = Zip::store({{QStringLiteral("a1.png"), "one"}, {QStringLiteral("a[1].png"), "bracket"}});
        const auto got = Zip::extract(z, name);
        QCOMPARE(got.has_value(), !expected.isNull());
        if (got)
            QCOMPARE(*got, expected);
    }

    void hostileArchives_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<bool>("readable");
        const QByteArray text("the quick brown fox jumps over the lazy dog");
        QTest::newRow("deflated") << rawArchive({deflated("e", text)}) << true;
        RawEntry badCrc = deflated("e", text);
        badCrc.crc ^= 1;
        QTest::newRow("wrong crc") << rawArchive({badCrc}) << false;
        RawEntry storedBadCrc{"e", text, 0, Zip::crc32(text) ^ 0x100, quint32(text.size())};
        QTest::newRow("stored, wrong crc") << rawArchive({storedBadCrc}) << false;
        RawEntry longer = deflated("e", text);
        longer.size = 10; // decompresses to more than it declares
        QTest::newRow("more than declared") << rawArchive({longer}) << false;
        RawEntry shorter = deflated("e", text);
        shorter.size = 1000;
        QTest::newRow("less than declared") << rawArchive({shorter}) << false;
        // 300 MiB of zeros in a few hundred kilobytes: over the entry cap.
        const QByteArray mib(1 << 20, '\0');
        RawEntry bomb{"e", rawDeflate(mib, 300), 8, 0, 300u << 20};
        QTest::newRow("zip bomb") << rawArchive({bomb}) << false;
        RawEntry liar = bomb;
        liar.size = 1000; // lies about its size to get past the cap
        QTest::newRow("zip bomb with a small size") << rawArchive({liar}) << false;
        QTest::newRow("unknown method") << rawArchive({RawEntry{"e", text, 99, Zip::crc32(text), quint32(text.size())}}) << false;
        QByteArray truncated = Zip::store({{QStringLiteral("e"), text}});
        QTest::newRow("truncated") << truncated.left(truncated.size() - 10) << false;
        QByteArray badOffset = Zip::store({{QStringLiteral("e"), text}});
        badOffset[badOffset.size() - 6] = char(0xF0);
        QTest::newRow("directory offset past the end") << badOffset << false;
        QTest::newRow("no archive") << QByteArray("PK\x03\x04 not really") << false;
        QTest::newRow("nothing") << QByteArray() << false;
    }
    void inflationBound_data()
    {
        QTest::addColumn<qint64>("compressed");
        QTest::addColumn<qint64>("uncompressed");
        QTest::addColumn<bool>("plausible");
        QTest::newRow("small, any ratio") << qint64(10) << qint64(4 << 20) << true;
        QTest::newRow("large xml, 30 times") << qint64(1 << 20) << qint64(30 << 20) << true;
        QTest::newRow("large, 101 times") << qint64(100 << 10) << qint64(101 << 10) * 100 << false;
        QTest::newRow("200 MB from 224 KB") << qint64(224 << 10) << qint64(200 << 20) << false;
        QTest::newRow("over the entry cap, stored") << qint64(65 << 20) << qint64(65 << 20) << false;
        QTest::newRow("nothing from nothing") << qint64(0) << qint64(0) << true;
    }
    void inflationBound()
    {
        QFETCH(qint64, compressed);
        QFETCH(qint64, uncompressed);
        QFETCH(bool, plausible);
        QCOMPARE(Zip::plausibleSize(compressed, uncompressed), plausible);
    }

    void inflatingDocumentIsRefusedAndSaysWhy()
    {
        // 8 MiB of one repeated paragraph packs into a few kilobytes.
        QByteArray body = "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";
        const QByteArray para = "<w:p><w:r><w:t>again</w:t></w:r></w:p>";
        body += para.repeated((8 << 20) / para.size());
        body += "</w:body></w:document>";
        const QByteArray pkg = rawArchive({deflated("word/document.xml", body)});
        QTextDocument doc;
        QString error;
        QVERIFY(!Docx::read(pkg, &doc, nullptr, &error));
        QCOMPARE(error, Zip::tooLargeMessage());
        QVERIFY(error.contains(QLatin1String("300 MB")));
    }

    void xmlBounds_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<bool>("plausible");
        const QByteArray cell = "<w:tc><w:tcPr><w:tcW w:w=\"100\" w:type=\"dxa\"/><w:vAlign w:val=\"center\"/></w:tcPr>"
                                "<w:p><w:pPr><w:spacing w:before=\"0\"/></w:pPr><w:r><w:rPr><w:sz w:val=\"4\"/></w:rPr></w:r></w:p></w:tc>";
        QTest::newRow("3,000 rows of 5 empty cells") << "<w:tbl>" + ("<w:tr>" + cell.repeated(5) + "</w:tr>").repeated(3000) + "</w:tbl>" << true;
        const qint64 limit = Zip::kMaxXmlBlocks;
        QTest::newRow("paragraphs at the ceiling") << QByteArray("<w:p/>").repeated(limit) << true;
        QTest::newRow("paragraphs over it") << QByteArray("<w:p/>").repeated(limit + 1) << false;
        QTest::newRow("runs over it") << QByteArray("<w:r><w:t>x</w:t></w:r>").repeated(limit + 1) << false;
        QTest::newRow("cells and spans of ODF") << QByteArray("<table:table-cell><text:p><text:span>a</text:span></text:p></table:table-cell>").repeated(limit / 3 + 1) << false;
        QTest::newRow("headings with attributes") << QByteArray("<text:h text:outline-level=\"1\">h</text:h>").repeated(limit + 1) << false;
        QTest::newRow("names that only start alike") << QByteArray("<w:pPr/><w:rPr/><w:tcPr/>").repeated(limit) << true;
        QTest::newRow("elements over their ceiling") << QByteArray("<w:b/>").repeated(Zip::kMaxXmlElements + 1) << false;
        QTest::newRow("end tags, comments and declarations") << "<?xml version=\"1.0\"?>" + QByteArray("<!-- note --></w:p>").repeated(limit + 1) << true;
    }
    void xmlBounds()
    {
        QFETCH(QByteArray, xml);
        QFETCH(bool, plausible);
        QCOMPARE(Zip::plausibleXml(xml), plausible);
    }

    void largeRealDocumentsOpen_data()
    {
        QTest::addColumn<QByteArray>("package");
        QTest::addColumn<int>("rows");
        // Written by another office suite: 3,000 empty rows, 8 MB of XML
        // packed 158 to 1.
        QFile file(QFINDTESTDATA(QStringLiteral("wordproc/data/large-empty-table.docx")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTest::newRow("other suite's table") << file.readAll() << 3000;
        // The same shape deflated here: far more than 100 times its packed size.
        const QByteArray cell = "<w:tc><w:tcPr><w:tcW w:w=\"100\" w:type=\"dxa\"/></w:tcPr><w:p><w:r><w:t></w:t></w:r></w:p></w:tc>";
        const QByteArray body = "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body><w:tbl>"
                              + ("<w:tr>" + cell.repeated(5) + "</w:tr>").repeated(3000) + "</w:tbl></w:body></w:document>";
        const QByteArray rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"r1\" "
                                "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>";
        const RawEntry entry = deflated("word/document.xml", body);
        QVERIFY(qint64(body.size()) > qint64(entry.payload.size()) * Zip::kMaxInflation);
        QTest::newRow("deflated here") << rawArchive({deflated("_rels/.rels", rels), entry}) << 3000;
    }
    void largeRealDocumentsOpen()
    {
        QFETCH(QByteArray, package);
        QFETCH(int, rows);
        QTextDocument doc;
        QString error;
        QVERIFY2(Docx::read(package, &doc, nullptr, &error), qPrintable(error));
        int tables = 0;
        for (QTextFrame::iterator it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
            if (const QTextTable* table = qobject_cast<QTextTable*>(it.currentFrame())) {
                ++tables;
                QCOMPARE(table->rows(), rows);
            }
        }
        QCOMPARE(tables, 1);
    }

    void storedPicturesOfAnySize_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("count");
        QTest::newRow("one over the entry cap") << (Zip::kMaxEntrySize + (1 << 20)) << 1;
        QTest::newRow("together over the total cap") << (Zip::kMaxTotalSize / 3 + (1 << 20)) << 3;
    }
    void storedPicturesOfAnySize()
    {
        // A document's own photos, stored as PNG, come back however large.
        QFETCH(qint64, size);
        QFETCH(int, count);
        const QByteArray picture(size, 'p');
        QList<Zip::Entry> entries;
        for (int i = 1; i <= count; ++i)
            entries.append({QStringLiteral("word/media/image%1.png").arg(i), picture});
        Zip::Archive archive(Zip::store(entries));
        for (const Zip::Entry& e : entries) {
            const auto got = archive.read(e.name);
            QVERIFY2(got && *got == picture, qPrintable(e.name));
        }
        QVERIFY(!archive.refusedForSize());
    }

    void sharedDataStaysBounded()
    {
        // Names that share one stored entry's data take no more than the
        // archive's size plus the total cap, however many there are.
        const QByteArray data(40 << 20, 'd');
        const QByteArray bytes = sharedDataArchive(data, 9);
        Zip::Archive archive(bytes);
        if (!archive.isOpen())
            QSKIP("this libzip refuses entries that share their data");
        qint64 total = 0;
        for (int i = 0; i < 9; ++i) {
            if (const auto got = archive.read(QStringLiteral("e%1").arg(i)))
                total += got->size();
        }
        QVERIFY(total <= Zip::kMaxTotalSize + bytes.size());
    }

    void hostileArchives()
    {
        QFETCH(QByteArray, archive);
        QFETCH(bool, readable);
        const auto got = Zip::extract(archive, QStringLiteral("e"));
        QCOMPARE(got.has_value(), readable);
        if (got)
            QCOMPARE(*got, QByteArray("the quick brown fox jumps over the lazy dog"));
    }
};

QTEST_GUILESS_MAIN(ZipTest)
#include "tst_zip.moc"
