// Word 97 binary documents: text from the piece table inside the OLE2
// container, and damaged containers.
#include "wordproc/WPFormat.h"
#include "wordproc/formats/Doc.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QtEndian>
#include <QtTest>

namespace {

constexpr quint32 kEnd = 0xFFFFFFFE;
constexpr quint32 kFree = 0xFFFFFFFF;

void put32(QByteArray& b, qsizetype at, quint32 v)
{
    qToLittleEndian<quint32>(v, b.data() + at);
}

void put16(QByteArray& b, qsizetype at, quint16 v)
{
    qToLittleEndian<quint16>(v, b.data() + at);
}

QByteArray padded(QByteArray b, qsizetype size)
{
    b.append(QByteArray(std::max<qsizetype>(0, size - b.size()), '\0'));
    return b;
}

// A minimal Word 97 file: a compound file of 512-byte sectors holding a
// WordDocument stream (FIB and text) and a 1Table stream (piece table).
// One piece is 8-bit Windows-1252 text, the other UTF-16.
struct Word97File {
    QByteArray bytes;
    qsizetype wordOffset = 0;  // where the WordDocument stream starts
    qsizetype tableOffset = 0; // where the 1Table stream starts
};

Word97File makeWord97()
{
    const QByteArray narrow = QByteArray("Hello W\xF6rld\r\x13 HYPERLINK \"x\" \x14link\x15", 33);
    const QString wide = QStringLiteral(" 日本\rcell\x07row\x0B" "end\r");
    QByteArray word(8192, '\0');
    put16(word, 0, 0xA5EC);
    put16(word, 0x0A, 0x0200); // the table stream is 1Table
    const quint32 ccp = quint32(narrow.size() + wide.size());
    put32(word, 0x4C, ccp);
    word.replace(2048, narrow.size(), narrow);
    const QByteArray wideBytes(reinterpret_cast<const char*>(wide.utf16()), wide.size() * 2);
    word.replace(4096, wideBytes.size(), wideBytes);

    QByteArray clx;
    clx += QByteArray("\x01\x02\x00\xAA\xBB", 5); // a property modifier to skip
    QByteArray plc(4 * 3 + 8 * 2, '\0');
    put32(plc, 0, 0);
    put32(plc, 4, quint32(narrow.size()));
    put32(plc, 8, ccp);
    put32(plc, 12 + 2, (2048 * 2) | 0x40000000);
    put32(plc, 20 + 2, 4096);
    clx += '\x02';
    QByteArray lcb(4, '\0');
    put32(lcb, 0, quint32(plc.size()));
    clx += lcb + plc;
    put32(word, 0x1A2, 0);
    put32(word, 0x1A6, quint32(clx.size()));
    const QByteArray table = padded(clx, 4096);

    const int wordSectors = int(word.size() / 512), tableSectors = int(table.size() / 512);
    QByteArray header(512, '\0');
    header.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    put16(header, 0x18, 0x3E);
    put16(header, 0x1A, 3);
    put16(header, 0x1C, 0xFFFE);
    put16(header, 0x1E, 9);
    put16(header, 0x20, 6);
    put32(header, 0x2C, 1);
    put32(header, 0x30, 1);
    put32(header, 0x38, 4096);
    put32(header, 0x3C, kEnd);
    put32(header, 0x44, kEnd);
    for (int i = 0; i < 109; ++i)
        put32(header, 0x4C + 4 * i, i == 0 ? 0 : kFree);

    QByteArray fat(512, '\xFF');
    put32(fat, 0, 0xFFFFFFFD);
    put32(fat, 4, kEnd);
    int s = 2;
    for (int i = 0; i < wordSectors; ++i, ++s)
        put32(fat, 4 * s, i + 1 == wordSectors ? kEnd : quint32(s + 1));
    for (int i = 0; i < tableSectors; ++i, ++s)
        put32(fat, 4 * s, i + 1 == tableSectors ? kEnd : quint32(s + 1));

    QByteArray dir(512, '\0');
    auto entry = [&dir](int index, const QString& name, int type, quint32 start, quint32 size) {
        const qsizetype base = index * 128;
        for (int k = 0; k < name.size(); ++k)
            put16(dir, base + 2 * k, name.at(k).unicode());
        put16(dir, base + 0x40, quint16((name.size() + 1) * 2));
        dir[base + 0x42] = char(type);
        put32(dir, base + 0x44, kFree);
        put32(dir, base + 0x48, kFree);
        put32(dir, base + 0x4C, kFree);
        put32(dir, base + 0x74, start);
        put32(dir, base + 0x78, size);
    };
    entry(0, QStringLiteral("Root Entry"), 5, kEnd, 0);
    entry(1, QStringLiteral("WordDocument"), 2, 2, quint32(word.size()));
    entry(2, QStringLiteral("1Table"), 2, quint32(2 + wordSectors), quint32(table.size()));

    Word97File f;
    f.bytes = header + fat + dir;
    f.wordOffset = f.bytes.size();
    f.bytes += word;
    f.tableOffset = f.bytes.size();
    f.bytes += table;
    return f;
}

QStringList blocks(const QTextDocument& doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        out << b.text();
    return out;
}

} // namespace

class Word97Test : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsTheText();
    void damaged_data();
    void damaged();
    void rtfUnderDocName();
};

void Word97Test::readsTheText()
{
    QTextDocument doc;
    QString error;
    QVERIFY2(WPFormat::read(makeWord97().bytes, WPFormat::DocType::Doc, &doc, nullptr, &error), qPrintable(error));
    QCOMPARE(blocks(doc), (QStringList{QStringLiteral("Hello Wörld"), QStringLiteral("link 日本"), QStringLiteral("cell"),
                                       QStringLiteral("row\u2028end")}));
}

void Word97Test::damaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("readable");
    const Word97File good = makeWord97();
    QTest::newRow("intact") << good.bytes << true;
    QTest::newRow("header only") << good.bytes.left(512) << false;
    QTest::newRow("cut in the text") << good.bytes.left(good.wordOffset + 3000) << false;
    QByteArray loop = good.bytes;
    put32(loop, 512 + 4 * 3, 2); // the WordDocument chain points back at itself
    QTest::newRow("sector loop") << loop << false;
    QByteArray bigSector = good.bytes;
    put16(bigSector, 0x1E, 30);
    QTest::newRow("absurd sector size") << bigSector << false;
    QByteArray farPiece = good.bytes;
    put32(farPiece, good.tableOffset + 5 + 5 + 12 + 2, 0x7FFFFFF0);
    QTest::newRow("piece beyond the stream") << farPiece << false;
    QByteArray hugeCount = good.bytes;
    put32(hugeCount, good.wordOffset + 0x4C, 0xFFFFFFFF);
    QTest::newRow("huge character count") << hugeCount << true;
    QByteArray badClx = good.bytes;
    put32(badClx, good.wordOffset + 0x1A6, 0x7FFFFFFF);
    QTest::newRow("piece table beyond the stream") << badClx << false;
    QByteArray encrypted = good.bytes;
    put16(encrypted, good.wordOffset + 0x0A, 0x0300);
    QTest::newRow("password protected") << encrypted << false;
    QByteArray difatLoop = good.bytes;
    put32(difatLoop, 0x44, 0);
    put32(difatLoop, 0x48, 1);
    QTest::newRow("difat into the fat") << difatLoop << true;
    QByteArray noTable = good.bytes;
    put16(noTable, 512 + 512 + 2 * 128, 'X');
    QTest::newRow("missing table stream") << noTable << false;
}

void Word97Test::damaged()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, readable);
    QTextDocument doc;
    QString error;
    const bool ok = Doc::read(bytes, &doc, nullptr, &error);
    QCOMPARE(ok, readable);
    if (!ok)
        QVERIFY(!error.isEmpty());
}

void Word97Test::rtfUnderDocName()
{
    // Saving as .doc writes RTF content, which reads back through the same path.
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("Saved as doc"));
    const QByteArray bytes = *WPFormat::write(doc, WPFormat::DocType::Doc, {}, nullptr);
    QVERIFY(bytes.startsWith("{\\rtf1"));
    QTextDocument back;
    QVERIFY(WPFormat::read(bytes, WPFormat::DocType::Doc, &back, nullptr, nullptr));
    QCOMPARE(back.toPlainText(), QStringLiteral("Saved as doc"));
}

QTEST_MAIN(Word97Test)
#include "tst_formatword97.moc"
