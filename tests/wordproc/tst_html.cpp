// HTML: pictures embedded in the page, nothing loaded from elsewhere, lists
// of other pages, and Qt's extra paragraph after tables.
#include "tst_formatsupport.h"

#include "wordproc/WPFormat.h"
#include "wordproc/WPTextModel.h"
#include "wordproc/formats/Html.h"
#include "wordproc/formats/HtmlTags.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QTextTable>
#include <QtTest>

using namespace FormatTest;

class HtmlTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pages_data();
    void pages();
    void nothingIsLoadedFromOutside();
    void savedPageHoldsItsPictures();
    void readPicturesAndListsSurviveASave();
    void tagsHaveOneStyleEach();
    void deepNestingKeepsTheText_data();
    void deepNestingKeepsTheText();
    void wideTablesKeepTheirText_data();
    void wideTablesKeepTheirText();
    void manyCellsKeepTheirText_data();
    void manyCellsKeepTheirText();
    void tagsAreTakenApartAsQtDoes_data();
    void tagsAreTakenApartAsQtDoes();
};

void HtmlTest::pages_data()
{
    const QByteArray png = pngBytes(3, 2, Qt::red).toBase64();
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("data picture") << "<p>a<img src=\"data:image/png;base64," + png + "\" width=\"30\" height=\"20\">b</p>"
                                  << QStringList{QStringLiteral(" [a|][IMG 3x2 22.5x15pt][b|]")};
    QTest::newRow("bulleted list") << QByteArray("<ul><li>one</li><li>two</li></ul>")
                                   << QStringList{QStringLiteral("list=1 [\t•\tone|]"), QStringLiteral("list=1 [\t•\ttwo|]")};
    QTest::newRow("numbered list") << QByteArray("<ol><li>one</li><li>two</li></ol><p>after</p>")
                                   << QStringList{QStringLiteral("list=2 [\t1.\tone|]"), QStringLiteral("list=2 [\t2.\ttwo|]"),
                                                  QStringLiteral("list=0 [after|]")};
    QTest::newRow("nested and separate lists count apart")
        << QByteArray("<ol><li>a</li><li>b<ol><li>x</li><li>y</li></ol></li><li>c</li></ol><ol><li>d</li></ol>")
        << QStringList{QStringLiteral("list=2 [\t1.\ta|]"), QStringLiteral("list=2 [\t2.\tb|]"), QStringLiteral("list=2 [\t1.\tx|]"),
                       QStringLiteral("list=2 [\t2.\ty|]"), QStringLiteral("list=2 [\t3.\tc|]"), QStringLiteral("list=2 [\t1.\td|]")};
    QTest::newRow("table then text") << QByteArray("<table><tr><td>c</td></tr></table><p>after</p>")
                                     << QStringList{QStringLiteral("list=0 "), QStringLiteral("TABLE 1x1"),
                                                    QStringLiteral("  cell 0,0: list=0 [c|]"), QStringLiteral("list=0 [after|]")};
    // Tables Qt's reader followed by nothing, by another table, or by lists
    // left open: each table stays, and so does every word.
    QTest::newRow("tables back to back")
        << QByteArray("<table><tr><td colspan=2>a</td></tr><tr><td>b</td><td rowspan=2>c</td></tr></table>"
                      "<table><tr><td>d</td></tr></table><p>after</p>")
        << QStringList{QStringLiteral("list=0 "), QStringLiteral("TABLE 2x2"), QStringLiteral("  cell 0,0: list=0 [a|]"),
                       QStringLiteral("  cell 1,0: list=0 [b|]"), QStringLiteral("  cell 1,1: list=0 [c|]"),
                       QStringLiteral("list=0 "), QStringLiteral("TABLE 1x1"), QStringLiteral("  cell 0,0: list=0 [d|]"),
                       QStringLiteral("list=0 [after|]")};
    QTest::newRow("tables around broken lists")
        << QByteArray("<table><tr><td rowspan=2>a</td><td>b</td></tr></table><ul><li>x<ol><li>y</table>"
                      "<table><tr><td colspan=3>c</td></tr></table>z")
        << QStringList{QStringLiteral("list=0 "), QStringLiteral("TABLE 1x2"), QStringLiteral("  cell 0,0: list=0 [a|]"),
                       QStringLiteral("  cell 0,1: list=0 [b|]"), QStringLiteral("list=1 [\t•\tx|]"),
                       QStringLiteral("list=2 [\t1.\ty|]"), QStringLiteral("TABLE 1x3"), QStringLiteral("  cell 0,0: list=0 [c|]"),
                       QStringLiteral("list=0 [z|]")};
    QTest::newRow("underline and strike") << QByteArray("<p><u>u</u><s>s</s></p>") << QStringList{QStringLiteral(" [u|u1][s|s1]")};
}

void HtmlTest::pages()
{
    QFETCH(QByteArray, html);
    QFETCH(QStringList, expected);
    QTextDocument doc;
    Html::read("<html><body>" + html + "</body></html>", &doc, nullptr);
    const unsigned carry = QTest::currentDataTag() == QLatin1String("data picture") ? unsigned(Pictures)
                         : QTest::currentDataTag() == QLatin1String("underline and strike") ? unsigned(Traits)
                                                                                               : unsigned(Lists | Tables);
    QCOMPARE(describe(doc, carry), expected);
}

void HtmlTest::nothingIsLoadedFromOutside()
{
    QTemporaryDir dir;
    const QString secret = dir.filePath(QStringLiteral("secret.png"));
    QFile f(secret);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(pngBytes(2, 2, Qt::black));
    f.close();
    const QByteArray url = QUrl::fromLocalFile(secret).toEncoded();
    const QByteArray html = "<html><head><link rel=\"stylesheet\" href=\"" + url + "\"></head><body background=\"" + url
                          + "\"><p>x<img src=\"" + url + "\"><img src=\"" + secret.toUtf8() + "\"><img src=\"/dev/zero\"></p>"
                            "<table background=\"" + url + "\"><tr><td>t</td></tr></table></body></html>";
    QTextDocument doc;
    Html::read(html, &doc, nullptr);
    // Laying the text out loads what is still named; nothing is.
    QVERIFY(doc.documentLayout()->documentSize().height() > 0);
    QCOMPARE(doc.toPlainText().remove(QChar::ObjectReplacementCharacter), QStringLiteral("x\nt\n"));
    QVERIFY(!doc.toHtml().contains(QLatin1String("secret")));
    QVERIFY(!doc.toHtml().contains(QLatin1String("/dev/zero")));
}

void HtmlTest::savedPageHoldsItsPictures()
{
    QTextDocument doc;
    fillSample(&doc);
    const QByteArray html = *WPFormat::write(doc, WPFormat::DocType::Html, {}, nullptr);
    QVERIFY(html.contains("src=\"data:image/png;base64,"));
    QVERIFY(!html.contains("wpimage:"));
    QVERIFY(html.contains("<meta charset=\"utf-8\""));
}

void HtmlTest::readPicturesAndListsSurviveASave()
{
    // Pictures as other readers make them (named by their bytes) and list
    // paragraphs: the page embeds the one and has real lists for the other.
    QTextDocument doc;
    WPTextModel::Builder b(&doc);
    WPTextModel::Paragraph picture;
    WPTextModel::Run r;
    r.text = QString(QChar::ObjectReplacementCharacter);
    r.picture = WPTextModel::Picture{pngBytes(4, 3, Qt::blue), QStringLiteral("image1.png"), QSizeF(40, 30), {}};
    picture.runs = {r};
    b.addParagraph(picture);
    auto item = [&b](int kind, const QString& text) {
        WPTextModel::Paragraph p;
        WPTextModel::Run run;
        run.text = FormatSupport::markerFor(kind, 1) + text;
        p.runs = {run};
        p.style.listKind = kind;
        p.style.headIndent = WPText::kListHeadIndent;
        p.style.tabStops = {WPText::kListTab1, WPText::kListTab2};
        b.addParagraph(p);
    };
    item(WPText::ListBullet, QStringLiteral("dot"));
    item(WPText::ListNumber, QStringLiteral("first"));
    item(WPText::ListNumber, QStringLiteral("second"));
    const QByteArray html = Html::write(doc, {});
    QVERIFY(html.contains("src=\"data:image/png;base64,"));
    QVERIFY(!html.contains("wpimage:"));
    QVERIFY(html.contains("<ul") && html.contains("<ol"));
    QTextDocument back;
    Html::read(html, &back, nullptr);
    QCOMPARE(describe(back, Lists | Pictures),
             (QStringList{QStringLiteral("list=0 [IMG 4x3 40x30pt]"), QStringLiteral("list=1 [\t•\tdot|]"),
                          QStringLiteral("list=2 [\t1.\tfirst|]"), QStringLiteral("list=2 [\t2.\tsecond|]")}));
}

// A list item of coloured text: the page has one style attribute per tag,
// holding both the colour and the item's spacing.
void HtmlTest::tagsHaveOneStyleEach()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextBlockFormat item;
    item.setProperty(WPText::ListKind, WPText::ListBullet);
    QTextCharFormat red;
    red.setForeground(QColor(Qt::red));
    c.setBlockFormat(item);
    c.setBlockCharFormat(red);
    c.insertText(FormatSupport::markerFor(WPText::ListBullet, 1) + QStringLiteral("red item"), red);
    const QString html = QString::fromUtf8(Html::write(doc, {}));
    static const QRegularExpression tag(QStringLiteral("<[a-z]+[^>]*>"));
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QString t = it.next().captured();
        QVERIFY2(t.count(QStringLiteral(" style=")) <= 1, qPrintable(t));
    }
    QVERIFY(html.contains(QStringLiteral("color:#ff0000")));
    QTextDocument back;
    Html::read(html.toUtf8(), &back, nullptr);
    QCOMPARE(describe(back, Lists | Colors).value(0).left(9), QStringLiteral("list=1 [\t"));
}

void HtmlTest::deepNestingKeepsTheText_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<int>("tableDepth");
    QTest::newRow("3000 nested tables") << "<table><tr><td>a" + QByteArray("<table><tr><td>").repeated(3000) + "deep" << 8;
    QTest::newRow("50000 nested inline tags") << "<p>a" + QByteArray("<b><i>").repeated(50000) + "deep</p>" << 0;
    QTest::newRow("20000 nested lists") << "<p>a</p>" + QByteArray("<ul><li>").repeated(20000) + "deep" << 0;
    QTest::newRow("closed again") << "<p>a</p>" + QByteArray("<div>").repeated(5000) + "deep" + QByteArray("</div>").repeated(5000) + "<p><b>after</b></p>" << 0;
    QTest::newRow("tables within the bounds") << "<p>a</p>" + QByteArray("<table><tr><td>").repeated(8) + "deep" + QByteArray("</td></tr></table>").repeated(8) << 8;
}

void HtmlTest::deepNestingKeepsTheText()
{
    QFETCH(QByteArray, html);
    QFETCH(int, tableDepth);
    QElapsedTimer timer;
    timer.start();
    QTextDocument doc;
    Html::read("<html><body>" + html + "</body></html>", &doc, nullptr);
    QVERIFY(doc.toPlainText().trimmed().startsWith(QLatin1Char('a')));
    QVERIFY(doc.toPlainText().contains(QLatin1String("deep")));
    int depth = 0;
    for (QTextFrame* frame = QTextCursor(doc.find(QStringLiteral("deep"))).currentFrame(); frame && frame != doc.rootFrame();
         frame = frame->parentFrame())
        depth += qobject_cast<QTextTable*>(frame) ? 1 : 0;
    QCOMPARE(depth, tableDepth);
    QVERIFY(!Html::write(doc, {}).isEmpty());
    // Guards against runaway work, not a speed target: generous enough for a
    // sanitizer build on a busy machine.
    QVERIFY(timer.elapsed() < 60000);
}

static QByteArray cells(int from, int to, const QByteArray& attributes = {})
{
    QByteArray row;
    for (int i = from; i <= to; ++i)
        row += "<td" + attributes + ">c" + QByteArray::number(i) + "</td>";
    return row;
}

// The first cell text ("c12") of the page missing from what was read.
static QString firstCellTextLost(const QByteArray& html, const QTextDocument& doc)
{
    static const QRegularExpression cellText(QStringLiteral("\\bc[0-9]+\\b"));
    QSet<QString> read;
    for (QRegularExpressionMatchIterator it = cellText.globalMatch(doc.toPlainText()); it.hasNext();)
        read.insert(it.next().captured());
    for (QRegularExpressionMatchIterator it = cellText.globalMatch(QString::fromLatin1(html)); it.hasNext();) {
        const QString text = it.next().captured();
        if (!read.contains(text))
            return text;
    }
    return {};
}

void HtmlTest::wideTablesKeepTheirText_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("lastCell"); // text of the first row's last cell, "" to skip
    QTest::newRow("within the bound") << "<table><tr>" + cells(1, 63) + "</tr></table>" << 63 << "c63";
    QTest::newRow("cells beyond join the last") << "<table><tr>" + cells(1, 66) + "</tr></table>" << 63 << "c63\nc64\nc65\nc66";
    QTest::newRow("end tags left out") << "<table><tr>" + cells(1, 65).replace("</td>", "") + "</table>" << 63 << "c63\nc64\nc65";
    QTest::newRow("huge colspan") << QByteArray("<table><tr><td colspan=\"100000\">a</td></tr><tr><td>b</td></tr></table>") << 63 << "";
    QTest::newRow("colspan past the end") << "<table><tr>" + cells(1, 60) + "<td colspan='9'>w</td><td>x</td></tr></table>" << 63 << "w\nx";
    QTest::newRow("rows covered from above") << "<table><tr>" + cells(1, 3, " rowspan=2") + cells(4, 62) + "</tr><tr>" + cells(101, 62 + 100)
                                                + "</tr></table>" << 63 << "";
    QTest::newRow("inner table counts its own") << "<table><tr><td><table><tr>" + cells(1, 70) + "</tr></table></td><td>b</td></tr></table>"
                                                << 2 << "b";
    QTest::newRow("20000 columns") << "<table><tr>" + cells(1, 20000) + "</tr></table>" << 63 << "";
    // Spans written in every way Qt's reader takes them.
    const QByteArray after = "<td>c2</td></tr><tr><td>c3</td></tr></table>";
    QTest::newRow("spaces inside the quotes") << "<table><tr><td colspan=\" 100000 \">c1</td>" + after << 63 << "";
    QTest::newRow("digits as entities") << "<table><tr><td colspan=\"&#49;00000\">c1</td>" + after << 63 << "";
    QTest::newRow("no-break space is no number") << "<table><tr><td colspan=&nbsp;100000>c1</td>" + after << 2 << "";
    QTest::newRow("name in quotes") << "<table><tr><td \"colspan\"=100000>c1</td>" + after << 63 << "";
    QTest::newRow("space after <") << "<table><tr>< td colspan=100000>c1</td>" + after << 63 << "";
    QTest::newRow("two spans in one cell") << "<table><tr><td colspan=100000 colspan=90000>c1</td>" + after << 63 << "";
    QTest::newRow("quote inside a bare value") << QByteArray("<table><tr><td title=x'>c1</td><td colspan=100000>c2</td><td title='>'>c3</td></tr></table>")
                                               << 63 << "";
    QTest::newRow("cell spans in rows of one table") << "<table>" + QByteArray("<tr><td colspan='100000'>c1</td></tr>").repeated(50)
                                                            + "</table>" << 63 << "";
}

void HtmlTest::wideTablesKeepTheirText()
{
    QFETCH(QByteArray, html);
    QFETCH(int, columns);
    QFETCH(QString, lastCell);
    QElapsedTimer timer;
    timer.start();
    QTextDocument doc;
    Html::read("<html><body>" + html + "</body></html>", &doc, nullptr);
    QTextTable* outer = nullptr;
    int widest = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (QTextTable* t = QTextCursor(b).currentTable()) {
            widest = std::max(widest, t->columns());
            if (!outer && !qobject_cast<QTextTable*>(t->parentFrame()))
                outer = t;
        }
    }
    QVERIFY(outer);
    QCOMPARE(outer->columns(), columns);
    QVERIFY(widest <= 63);
    // Bounded before Qt first reads it, not only once Qt has built it.
    QTextDocument direct;
    direct.setHtml(Html::bounded(QString::fromLatin1("<html><body>" + html + "</body></html>")));
    for (QTextBlock b = direct.begin(); b.isValid(); b = b.next()) {
        if (const QTextTable* t = QTextCursor(b).currentTable())
            QVERIFY2(t->columns() <= 63, qPrintable(QString::number(t->columns())));
    }
    // No cell's text is lost.
    const QString lost = firstCellTextLost(html, doc);
    QVERIFY2(lost.isEmpty(), qPrintable(lost));
    if (!lastCell.isEmpty()) {
        const QTextTableCell cell = outer->cellAt(0, outer->columns() - 1);
        QTextCursor c = cell.firstCursorPosition();
        c.setPosition(cell.lastPosition(), QTextCursor::KeepAnchor);
        QCOMPARE(c.selection().toPlainText(), lastCell);
    }
    // Guards against runaway work, not a speed target.
    QVERIFY(timer.elapsed() < 60000);
}

static QByteArray grid(int rows, int columns)
{
    QByteArray table = "<table>";
    for (int r = 0; r < rows; ++r)
        table += "<tr>" + cells(r * columns + 1, r * columns + columns) + "</tr>";
    return table + "</table>";
}

void HtmlTest::manyCellsKeepTheirText_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<int>("rows"); // of the first table, 0 for no table at all
    QTest::addColumn<int>("columns");
    QTest::newRow("real-size table") << grid(120, 40) << 120 << 40;
    QTest::newRow("past the page's ceiling") << grid(330, 63) << 318 << 63;
    QTest::newRow("ceiling shared by tables") << grid(300, 60) + grid(100, 10) << 300 << 60;
    QTest::newRow("cells outside a table") << QByteArray("<td colspan='100000'>c1</td><td rowspan=3>c2</td><tr><td>c3") << 0 << 0;
}

void HtmlTest::manyCellsKeepTheirText()
{
    QFETCH(QByteArray, html);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QTextDocument doc;
    Html::read("<html><body>" + html + "</body></html>", &doc, nullptr);
    QList<QTextTable*> tables;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (QTextTable* t = QTextCursor(b).currentTable(); t && !tables.contains(t))
            tables.append(t);
    }
    QCOMPARE(tables.isEmpty() ? 0 : tables.first()->rows(), rows);
    QCOMPARE(tables.isEmpty() ? 0 : tables.first()->columns(), columns);
    const QString lost = firstCellTextLost(html, doc);
    QVERIFY2(lost.isEmpty(), qPrintable(lost));
}

void HtmlTest::tagsAreTakenApartAsQtDoes_data()
{
    QTest::addColumn<QString>("cell"); // a cell's start tag and its text
    QTest::newRow("plain") << QStringLiteral("<td colspan=3>t");
    QTest::newRow("quoted, spaces inside") << QStringLiteral("<td colspan=' 4 '>t");
    QTest::newRow("entity digits") << QStringLiteral("<td colspan=\"&#53;\">t");
    QTest::newRow("hex entity digits") << QStringLiteral("<td colspan=&#x36;>t");
    QTest::newRow("entities stay raw in single quotes") << QStringLiteral("<td colspan='&#53;'>t");
    QTest::newRow("quoted name") << QStringLiteral("<td 'COLSPAN'=2>t");
    QTest::newRow("space before the name") << QStringLiteral("<  td colspan=2>t");
    QTest::newRow("tab before the attributes") << QStringLiteral("<td\tcolspan=5>t");
    QTest::newRow("stray quote in a bare value") << QStringLiteral("<td title=a'b colspan=3>t");
    QTest::newRow("escaped single quote") << QStringLiteral("<td title='a\\'>b' colspan=3>t");
    QTest::newRow("> inside quotes") << QStringLiteral("<td title=\"a>b\" colspan=4>t");
    QTest::newRow("closing slash ends the attributes") << QStringLiteral("<td / colspan=4>t");
    QTest::newRow("last number wins") << QStringLiteral("<td colspan=2 colspan=x colspan=3 colspan=>t");
    QTest::newRow("a sign") << QStringLiteral("<td colspan=+2>t");
    QTest::newRow("last number is one") << QStringLiteral("<td colspan=4 colspan=0001>t");
    QTest::newRow("not a number") << QStringLiteral("<td colspan=2x>t");
    QTest::newRow("too big for a number") << QStringLiteral("<td colspan=99999999999>t");
}

static int qtColumns(const QString& cell, QString* firstCellText)
{
    QTextDocument doc;
    doc.setHtml(QStringLiteral("<table><tr>") + cell + QStringLiteral("</td><td>b</td></tr></table>"));
    const QList<QTextFrame*> frames = doc.rootFrame()->childFrames();
    const QTextTable* table = frames.isEmpty() ? nullptr : qobject_cast<QTextTable*>(frames.first());
    if (!table)
        return 0;
    const QTextTableCell first = table->cellAt(0, 0);
    QTextCursor text = first.firstCursorPosition();
    text.setPosition(first.lastPosition(), QTextCursor::KeepAnchor);
    *firstCellText = text.selectedText();
    return table->columns();
}

// The span, the places of the values and the end of a cell's tag agree
// with what Qt makes of it.
void HtmlTest::tagsAreTakenApartAsQtDoes()
{
    QFETCH(QString, cell);
    const HtmlTags::Tag tag = HtmlTags::read(cell, 0);
    QCOMPARE(tag.name, QStringLiteral("td"));
    int span = 1;
    bool spanFound = false;
    QString rewritten = cell;
    for (auto a = tag.attributes.crbegin(); a != tag.attributes.crend(); ++a) {
        bool ok = false;
        const int value = a->key == QLatin1String("colspan") ? a->value.toInt(&ok) : 0;
        if (ok && !spanFound)
            span = std::max(1, value);
        spanFound = spanFound || ok;
        if (a->key == QLatin1String("colspan") && a->valueStart >= 0)
            rewritten.replace(a->valueStart, a->valueEnd - a->valueStart, QStringLiteral("1"));
    }
    QString text;
    QCOMPARE(qtColumns(cell, &text) - 1, span);
    QCOMPARE(text, cell.mid(tag.end));
    // Every value rewritten where it was found: Qt sees a single column.
    QCOMPARE(qtColumns(rewritten, &text), 2);
    QCOMPARE(text, cell.mid(tag.end));
}

QTEST_MAIN(HtmlTest)
#include "tst_html.moc"
