// Tables through every format: grids built from other programs' cell
// edges, shading, column widths and tables inside cells.
#include "tst_formatsupport.h"

#include "wordproc/WPFormat.h"
#include "wordproc/WPTextModel.h"
#include "wordproc/formats/Rtf.h"

#include <QTemporaryDir>
#include <numeric>
#include <QtTest>

using namespace FormatTest;
using WPFormat::DocType;
using WPTextModel::Paragraph;
using WPTextModel::Table;
using WPTextModel::TableCell;

namespace {

bool writeAndRead(const QTextDocument& source, DocType type, QTextDocument* back, WPDocAttributes* attrs, QString* error)
{
    if (type == DocType::Rtfd) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.rtfd"));
        return WPFormat::writeRtfd(source, {}, path, error) && WPFormat::readRtfd(path, back, attrs, error);
    }
    const std::optional<QByteArray> bytes = WPFormat::write(source, type, {}, error);
    return bytes && WPFormat::read(*bytes, type, back, attrs, error);
}

Paragraph textParagraph(const QString& text)
{
    Paragraph p;
    WPTextModel::Run r;
    r.text = text;
    p.runs.append(r);
    return p;
}

// Each cell as "row,column rows x columns [texts]", a nested table's cells
// inside braces in its place.
QString grid(const Table& table)
{
    QStringList cells;
    for (const TableCell& c : table.cells) {
        QStringList texts;
        for (const Paragraph& p : c.paragraphs)
            texts << (p.table ? QStringLiteral("{%1}").arg(grid(*p.table)) : p.text());
        cells << QStringLiteral("%1,%2 %3x%4 [%5]").arg(c.row).arg(c.column).arg(c.rowSpan).arg(c.columnSpan).arg(texts.join(QLatin1Char('|')));
    }
    return cells.join(QStringLiteral("; "));
}

QList<Table> tablesOf(const QTextDocument& doc)
{
    QList<Table> out;
    for (const WPTextModel::Part& part : WPTextModel::parts(doc))
        if (const auto* t = std::get_if<Table>(&part))
            out << *t;
    return out;
}

} // namespace

class TablesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rtfCellsPlacedByTheirEdges_data();
    void rtfCellsPlacedByTheirEdges();
    void shadingAndWidthsRoundTrip_data();
    void shadingAndWidthsRoundTrip();
    void nestedTablesRoundTrip_data();
    void nestedTablesRoundTrip();
    void nestingDeeperThanKeptIsNamed_data();
    void nestingDeeperThanKeptIsNamed();
};

void TablesTest::rtfCellsPlacedByTheirEdges_data()
{
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QString>("expected");
    auto row = [](const QList<int>& edges, const QStringList& texts, const QByteArray& before = {}) {
        QByteArray out = "\\trowd";
        for (qsizetype i = 0; i < edges.size(); ++i)
            out += (i < before.size() && before[i] == 'v' ? "\\clvmgf" : i < before.size() && before[i] == 'c' ? "\\clvmrg" : "")
                 + QByteArray("\\cellx") + QByteArray::number(edges[i]);
        for (const QString& t : texts)
            out += "\\pard\\intbl " + t.toUtf8() + "\\cell";
        return out + "\\row";
    };
    const QByteArray four = row({1000, 2000, 3000, 4000}, {"a", "b", "c", "d"});
    QTest::newRow("first two merged in the last row")
        << four + four + row({2000, 3000, 4000}, {"i", "j", "k"})
        << "0,0 1x1 [a]; 0,1 1x1 [b]; 0,2 1x1 [c]; 0,3 1x1 [d]; 1,0 1x1 [a]; 1,1 1x1 [b]; 1,2 1x1 [c]; 1,3 1x1 [d]; "
           "2,0 1x2 [i]; 2,2 1x1 [j]; 2,3 1x1 [k]";
    QTest::newRow("middle two merged, title across all")
        << row({4000}, {"T"}) + row({1000, 3000, 4000}, {"x", "y", "z"}) + four
        << "0,0 1x4 [T]; 1,0 1x1 [x]; 1,1 1x2 [y]; 1,3 1x1 [z]; 2,0 1x1 [a]; 2,1 1x1 [b]; 2,2 1x1 [c]; 2,3 1x1 [d]";
    QTest::newRow("merged down beside a wide cell")
        << row({1000, 2000, 3000}, {"a", "b", "c"}, "..v") + row({2000, 3000}, {"w", ""}, ".c")
        << "0,0 1x1 [a]; 0,1 1x1 [b]; 0,2 2x1 [c]; 1,0 1x2 [w]";
    QTest::newRow("edges a hair apart are one")
        << row({1000, 2000}, {"a", "b"}) + row({1001, 2000}, {"c", "d"})
        << "0,0 1x1 [a]; 0,1 1x1 [b]; 1,0 1x1 [c]; 1,1 1x1 [d]";
    QTest::newRow("a row indented by its left edge")
        << row({1000, 2000, 3000}, {"a", "b", "c"}) + "\\trowd\\trleft1000\\cellx3000\\pard\\intbl w\\cell\\row"
        << "0,0 1x1 [a]; 0,1 1x1 [b]; 0,2 1x1 [c]; 1,0 1x1 []; 1,1 1x2 [w]";
}

void TablesTest::rtfCellsPlacedByTheirEdges()
{
    QFETCH(QByteArray, rows);
    QFETCH(QString, expected);
    QTextDocument doc;
    QVERIFY(Rtf::read("{\\rtf1" + rows + "\\pard After\\par}", &doc, nullptr, nullptr));
    const QList<Table> tables = tablesOf(doc);
    QCOMPARE(tables.size(), 1);
    QCOMPARE(grid(tables.first()), expected);
}

void TablesTest::shadingAndWidthsRoundTrip_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QList<qreal>>("widths");
    QTest::addColumn<bool>("keepsWidths");
    const QList<qreal> uneven{1, 3, 2};
    const QList<qreal> equal{1, 1, 1}; // a table inserted in the editor
    for (DocType t : {DocType::Rtf, DocType::Rtfd, DocType::Odt, DocType::WordML, DocType::Doc}) {
        QTest::newRow(qPrintable(WPFormat::extension(t) + QStringLiteral(" uneven"))) << int(t) << uneven << true;
        QTest::newRow(qPrintable(WPFormat::extension(t) + QStringLiteral(" equal"))) << int(t) << equal << true;
    }
    // DOCX writes its tables as grids of equal columns.
    QTest::newRow("docx") << int(DocType::Docx) << equal << true;
    QTest::newRow("html") << int(DocType::Html) << uneven << false;
}

void TablesTest::shadingAndWidthsRoundTrip()
{
    // A shaded header row over plain rows; the columns keep their shares.
    QFETCH(int, type);
    QFETCH(QList<qreal>, widths);
    QFETCH(bool, keepsWidths);
    Table t;
    t.rows = 2;
    t.columns = 3;
    t.columnWidths = widths;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            t.cells.append({r, c, 1, 1, r == 0 ? QColor(0xc0, 0xd0, 0xff) : QColor(),
                            {textParagraph(QStringLiteral("%1%2").arg(r).arg(c))}});
    QTextDocument source;
    WPTextModel::Builder(&source).addTable(t);
    QTextDocument back;
    QString error;
    QVERIFY2(writeAndRead(source, DocType(type), &back, nullptr, &error), qPrintable(error));
    const QList<Table> tables = tablesOf(back);
    QCOMPARE(tables.size(), 1);
    QStringList shades;
    for (const TableCell& c : tables.first().cells)
        shades << (c.background.isValid() ? c.background.name() : QStringLiteral("-"));
    QCOMPARE(shades.join(QLatin1Char(' ')), QStringLiteral("#c0d0ff #c0d0ff #c0d0ff - - -"));
    if (!keepsWidths)
        return;
    const QList<qreal> got = tables.first().columnWidths;
    QCOMPARE(got.size(), widths.size());
    const qreal gotSum = std::accumulate(got.cbegin(), got.cend(), 0.0);
    const qreal sum = std::accumulate(widths.cbegin(), widths.cend(), 0.0);
    for (qsizetype i = 0; i < got.size(); ++i)
        QVERIFY2(std::abs(got[i] / gotSum - widths[i] / sum) < 0.005, qPrintable(QString::number(got[i] / gotSum)));
}

void TablesTest::nestedTablesRoundTrip_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("expected");
    const QString nested = QStringLiteral("0,0 1x1 [left]; 0,1 1x1 [before|{0,0 1x1 [a]; 0,1 1x1 [b|{0,0 1x1 [deep]}]; "
                                          "1,0 1x2 [cd]}|after]");
    for (DocType t : {DocType::Rtf, DocType::Rtfd, DocType::Odt, DocType::WordML})
        QTest::newRow(qPrintable(WPFormat::extension(t))) << int(t) << nested;
    // Qt's HTML reader gives a table in a cell a paragraph after it.
    QTest::newRow("html") << int(DocType::Html) << QString(nested).replace(QStringLiteral("}|after"), QStringLiteral("}||after"));
    // These write a nested table's text into the cell that holds it.
    const QString flat = QStringLiteral("0,0 1x1 [left]; 0,1 1x1 [before|a|b|deep|cd|after]");
    QTest::newRow("docx") << int(DocType::Docx) << flat;
    QTest::newRow("doc") << int(DocType::Doc) << flat;
}

void TablesTest::nestedTablesRoundTrip()
{
    QFETCH(int, type);
    QFETCH(QString, expected);
    // Outer 1x2; its second cell holds text, a 2x2 table with a table of
    // its own in one cell, and text after it.
    Table innermost;
    innermost.rows = 1;
    innermost.columns = 1;
    innermost.cells = {{0, 0, 1, 1, QColor(), {textParagraph(QStringLiteral("deep"))}}};
    Table inner;
    inner.rows = 2;
    inner.columns = 2;
    Paragraph holder;
    holder.table = std::make_shared<const Table>(innermost);
    inner.cells = {{0, 0, 1, 1, QColor(Qt::yellow), {textParagraph(QStringLiteral("a"))}},
                   {0, 1, 1, 1, QColor(), {textParagraph(QStringLiteral("b")), holder}},
                   {1, 0, 1, 2, QColor(), {textParagraph(QStringLiteral("cd"))}}};
    Table outer;
    outer.rows = 1;
    outer.columns = 2;
    Paragraph innerHolder;
    innerHolder.table = std::make_shared<const Table>(inner);
    outer.cells = {{0, 0, 1, 1, QColor(), {textParagraph(QStringLiteral("left"))}},
                   {0, 1, 1, 1, QColor(), {textParagraph(QStringLiteral("before")), innerHolder, textParagraph(QStringLiteral("after"))}}};
    QTextDocument source;
    WPTextModel::Builder builder(&source);
    builder.addParagraph(textParagraph(QStringLiteral("top")));
    builder.addTable(outer);
    builder.addParagraph(textParagraph(QStringLiteral("end")));
    const QString nested = QStringLiteral("0,0 1x1 [left]; 0,1 1x1 [before|{0,0 1x1 [a]; 0,1 1x1 [b|{0,0 1x1 [deep]}]; "
                                          "1,0 1x2 [cd]}|after]");
    QCOMPARE(grid(tablesOf(source).value(0)), nested);

    QTextDocument back;
    QString error;
    QVERIFY2(writeAndRead(source, DocType(type), &back, nullptr, &error), qPrintable(error));
    const QList<Table> tables = tablesOf(back);
    QCOMPARE(tables.size(), 1);
    QCOMPARE(grid(tables.first()), expected);
    if (const Table* got = tables.first().cells.value(1).paragraphs.value(1).table.get())
        QCOMPARE(got->cells.first().background, QColor(Qt::yellow));
}

void TablesTest::nestingDeeperThanKeptIsNamed_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("data");
    const int levels = WPTextModel::kMaxTableNesting + 2;
    // RTF: each level's text in a cell of its own, innermost first.
    QByteArray rtf = "{\\rtf1\\trowd\\cellx9000 ";
    for (int level = levels; level >= 2; --level)
        rtf += "\\pard\\intbl\\itap" + QByteArray::number(level) + " L" + QByteArray::number(level)
             + "\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}{\\nonesttables\\par}";
    rtf += "\\pard\\intbl L1\\cell\\row\\pard end\\par}";
    QTest::newRow("rtf") << int(DocType::Rtf) << rtf;
    QByteArray xml = "<?xml version=\"1.0\"?><w:wordDocument xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\"><w:body>";
    for (int level = 1; level <= levels; ++level)
        xml += "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>L" + QByteArray::number(level) + "</w:t></w:r></w:p>";
    for (int level = 1; level <= levels; ++level)
        xml += "</w:tc></w:tr></w:tbl>";
    xml += "<w:p><w:r><w:t>end</w:t></w:r></w:p></w:body></w:wordDocument>";
    QTest::newRow("wordml") << int(DocType::WordML) << xml;
}

void TablesTest::nestingDeeperThanKeptIsNamed()
{
    // Every level's text stays; the levels past the limit join their cell
    // and the notice bar says so.
    QFETCH(int, type);
    QFETCH(QByteArray, data);
    QTextDocument doc;
    WPDocAttributes attrs;
    QString error;
    QVERIFY2(WPFormat::read(data, DocType(type), &doc, &attrs, &error), qPrintable(error));
    QCOMPARE(attrs.notKept.value(QStringLiteral("deeply nested table")), 1);
    const QString text = doc.toPlainText();
    for (int level = 1; level <= WPTextModel::kMaxTableNesting + 2; ++level)
        QVERIFY2(text.contains(QStringLiteral("L%1").arg(level)), qPrintable(text));
    const QList<Table> tables = tablesOf(doc);
    QCOMPARE(tables.size(), 1);
    int depth = 0;
    for (const Table* t = &tables.first(); t;) {
        ++depth;
        const Table* next = nullptr;
        for (const Paragraph& p : t->cells.first().paragraphs)
            if (p.table)
                next = p.table.get();
        t = next;
    }
    QCOMPARE(depth, WPTextModel::kMaxTableNesting);
}

QTEST_MAIN(TablesTest)
#include "tst_tables.moc"
