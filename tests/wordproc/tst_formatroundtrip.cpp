// Document -> format -> document for every format the word processor
// writes, comparing what each format can carry.
#include "tst_formatsupport.h"

#include "wordproc/WPFormat.h"
#include "wordproc/WPTextModel.h"
#include "wordproc/docx/Docx.h"

#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextImageFormat>
#include <array>
#include <numeric>
#include <QtTest>

using namespace FormatTest;
using WPFormat::DocType;

namespace {

// `source` written in `type` and read back into `back`.
bool writeAndRead(const QTextDocument& source, DocType type, QTextDocument* back, QString* error)
{
    if (type == DocType::Rtfd) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.rtfd"));
        return WPFormat::writeRtfd(source, {}, path, error) && WPFormat::readRtfd(path, back, nullptr, error);
    }
    const std::optional<QByteArray> bytes = WPFormat::write(source, type, {}, error);
    return bytes && WPFormat::read(*bytes, type, back, nullptr, error);
}

} // namespace

class FormatRoundTrip : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void mergedCells_data();
    void mergedCells();
    void pictureWithoutItsBytes_data();
    void pictureWithoutItsBytes();
    void columnWidths_data();
    void columnWidths();
};

void FormatRoundTrip::roundTrip_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<unsigned>("carry");
    QTest::addColumn<bool>("pageSetup");
    QTest::addColumn<bool>("comment");
    const unsigned rich = Fonts | Traits | LineStyles | Colors | Paragraphs | Lists | Tables | Pictures;
    QTest::newRow("rtf") << int(DocType::Rtf) << rich << true << true;
    QTest::newRow("doc") << int(DocType::Doc) << rich << true << true;
    QTest::newRow("rtfd") << int(DocType::Rtfd) << rich << true << true;
    QTest::newRow("odt") << int(DocType::Odt) << rich << true << true;
    QTest::newRow("wordml") << int(DocType::WordML) << rich << true << true;
    QTest::newRow("html") << int(DocType::Html) << unsigned(Fonts | Traits | Colors | Tables | Pictures | Lists) << false << true;
    QTest::newRow("text") << int(DocType::PlainText) << unsigned(Text) << false << false;
    // DOCX carries no paragraph spacing, right indents or tab kinds.
    QTest::newRow("docx") << int(DocType::Docx) << unsigned(rich & ~Paragraphs) << true << true;
}

void FormatRoundTrip::roundTrip()
{
    QFETCH(int, type);
    QFETCH(unsigned, carry);
    QFETCH(bool, pageSetup);
    QFETCH(bool, comment);
    QTextDocument source;
    fillSample(&source);
    WPDocAttributes attrs;
    attrs.paperSize = QSizeF(595, 842);
    attrs.leftMargin = 50;
    attrs.rightMargin = 40;
    attrs.topMargin = 30;
    attrs.bottomMargin = 20;
    attrs.comment = WPHeaderFooter::encode(QStringLiteral("Page {page} of {pages}"), QStringLiteral("{title} — {date}"));

    QTextDocument back;
    WPDocAttributes read;
    QString error;
    if (DocType(type) == DocType::Rtfd) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Report.rtfd"));
        QVERIFY2(WPFormat::writeRtfd(source, attrs, path, &error), qPrintable(error));
        QVERIFY2(WPFormat::readRtfd(path, &back, &read, &error), qPrintable(error));
    } else {
        const std::optional<QByteArray> bytes = WPFormat::write(source, DocType(type), attrs, &error);
        if (DocType(type) == DocType::Docx && !bytes)
            QSKIP("The DOCX writer is not in this build.");
        QVERIFY2(bytes, qPrintable(error));
        QVERIFY2(WPFormat::read(*bytes, DocType(type), &back, &read, &error), qPrintable(error));
        if (DocType(type) == DocType::Docx) {
            // As the document does after reading: templates and pictures of the package.
            if (const auto hf = Docx::readHeaderFooter(*bytes))
                read.comment = WPHeaderFooter::encode(hf->first, hf->second);
            Docx::restoreImages(*bytes, &back);
        }
    }
    const QStringList expected = describe(source, carry);
    const QStringList actual = describe(back, carry);
    if (expected != actual) {
        for (qsizetype i = 0; i < std::max(expected.size(), actual.size()); ++i)
            if (expected.value(i) != actual.value(i))
                qWarning().noquote() << i << "\n  want" << expected.value(i) << "\n  got " << actual.value(i);
    }
    QCOMPARE(actual, expected);
    if (pageSetup) {
        QCOMPARE(read.paperSize, attrs.paperSize);
        QCOMPARE(read.leftMargin, attrs.leftMargin);
        QCOMPARE(read.rightMargin, attrs.rightMargin);
        QCOMPARE(read.topMargin, attrs.topMargin);
        QCOMPARE(read.bottomMargin, attrs.bottomMargin);
    }
    if (comment)
        QCOMPARE(read.comment, attrs.comment);
}

void FormatRoundTrip::mergedCells_data()
{
    QTest::addColumn<int>("type");
    for (DocType t : {DocType::Rtf, DocType::Doc, DocType::Odt, DocType::WordML, DocType::Docx, DocType::Html})
        QTest::newRow(qPrintable(WPFormat::extension(t))) << int(t);
    QTest::newRow("rtfd") << int(DocType::Rtfd);
}

void FormatRoundTrip::mergedCells()
{
    // A 4 x 4 table: a cell across two columns, one down two rows, and one
    // across both at once; the last row has every column to itself.
    QFETCH(int, type);
    QTextDocument source;
    WPTextModel::Builder b(&source);
    WPTextModel::Table t;
    t.rows = 4;
    t.columns = 4;
    const QList<std::array<int, 4>> spans{{0, 0, 1, 2}, {0, 2, 1, 1}, {0, 3, 2, 1}, {1, 0, 2, 2}, {1, 2, 1, 1},
                                          {2, 2, 1, 1}, {2, 3, 1, 1}, {3, 0, 1, 1}, {3, 1, 1, 1}, {3, 2, 1, 1},
                                          {3, 3, 1, 1}};
    for (const auto& [row, column, rows, columns] : spans) {
        WPTextModel::TableCell c;
        c.row = row;
        c.column = column;
        c.rowSpan = rows;
        c.columnSpan = columns;
        WPTextModel::Run r;
        r.text = QStringLiteral("r%1c%2").arg(row).arg(column);
        c.paragraphs = {WPTextModel::Paragraph{{}, {r}, std::nullopt, -1}};
        t.cells.append(c);
    }
    b.addTable(t);
    QTextDocument back;
    QString error;
    QVERIFY2(writeAndRead(source, DocType(type), &back, &error), qPrintable(error));
    QStringList cells;
    for (const WPTextModel::Paragraph& p : WPTextModel::paragraphs(back))
        if (p.cell)
            cells << QStringLiteral("%1 %2x%3").arg(p.text()).arg(p.cell->rowSpan).arg(p.cell->columnSpan);
    QCOMPARE(cells, (QStringList{QStringLiteral("r0c0 1x2"), QStringLiteral("r0c2 1x1"), QStringLiteral("r0c3 2x1"),
                                 QStringLiteral("r1c0 2x2"), QStringLiteral("r1c2 1x1"), QStringLiteral("r2c2 1x1"),
                                 QStringLiteral("r2c3 1x1"), QStringLiteral("r3c0 1x1"), QStringLiteral("r3c1 1x1"),
                                 QStringLiteral("r3c2 1x1"), QStringLiteral("r3c3 1x1")}));
}

void FormatRoundTrip::pictureWithoutItsBytes_data()
{
    mergedCells_data();
}

void FormatRoundTrip::pictureWithoutItsBytes()
{
    // A picture pasted as an image alone is saved as PNG at the size it is
    // shown, not at one point a pixel.
    QFETCH(int, type);
    QTextDocument source;
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    source.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pasted:1")), image);
    QTextImageFormat shown;
    shown.setName(QStringLiteral("pasted:1"));
    shown.setWidth(WPText::toPixels(24));
    shown.setHeight(WPText::toPixels(12));
    QTextCursor(&source).insertImage(shown);
    QTextDocument back;
    QString error;
    QVERIFY2(writeAndRead(source, DocType(type), &back, &error), qPrintable(error));
    std::optional<WPTextModel::Picture> picture;
    for (const WPTextModel::Paragraph& p : WPTextModel::paragraphs(back))
        for (const WPTextModel::Run& r : p.runs)
            if (r.picture)
                picture = r.picture;
    QVERIFY(picture);
    QCOMPARE(picture->decoded().size(), QSize(8, 4));
    QVERIFY2(std::abs(picture->sizePt.width() - 24) < 0.5 && std::abs(picture->sizePt.height() - 12) < 0.5,
             qPrintable(QStringLiteral("%1 x %2").arg(picture->sizePt.width()).arg(picture->sizePt.height())));
}

void FormatRoundTrip::columnWidths_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QList<qreal>>("widths");
    const QList<qreal> uneven{1, 2, 5};
    for (DocType t : {DocType::Rtf, DocType::Rtfd, DocType::WordML, DocType::Odt})
        QTest::newRow(qPrintable(WPFormat::extension(t) + QStringLiteral(" uneven"))) << int(t) << uneven;
    QTest::newRow("rtf equal") << int(DocType::Rtf) << QList<qreal>{1, 1, 1};
    QTest::newRow("wordml equal") << int(DocType::WordML) << QList<qreal>{1, 1, 1};
}

void FormatRoundTrip::columnWidths()
{
    // A table's columns keep their share of its width, whatever their text.
    QFETCH(int, type);
    QFETCH(QList<qreal>, widths);
    QTextDocument source;
    WPTextModel::Builder b(&source);
    WPTextModel::Table t;
    t.rows = 2;
    t.columns = 3;
    t.columnWidths = widths;
    for (int c = 0; c < 3; ++c) {
        WPTextModel::Run r;
        r.text = c == 0 ? QStringLiteral("a long text in the narrow column") : QStringLiteral("x");
        t.cells.append({0, c, 1, 1, QColor(), {WPTextModel::Paragraph{{}, {r}, std::nullopt, -1}}});
    }
    b.addTable(t);
    QTextDocument back;
    QString error;
    QVERIFY2(writeAndRead(source, DocType(type), &back, &error), qPrintable(error));
    QList<qreal> got;
    for (const WPTextModel::Part& part : WPTextModel::parts(back))
        if (const auto* table = std::get_if<WPTextModel::Table>(&part))
            got = table->columnWidths;
    QCOMPARE(got.size(), widths.size());
    const qreal gotSum = std::accumulate(got.cbegin(), got.cend(), 0.0);
    const qreal sum = std::accumulate(widths.cbegin(), widths.cend(), 0.0);
    for (qsizetype i = 0; i < got.size(); ++i)
        QVERIFY2(std::abs(got[i] / gotSum - widths[i] / sum) < 0.005, qPrintable(QString::number(got[i] / gotSum)));
}

QTEST_MAIN(FormatRoundTrip)
#include "tst_formatroundtrip.moc"
