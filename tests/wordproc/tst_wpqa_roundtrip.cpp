#include "DocxTestFiles.h"
#include "TestEnvironment.h"
#include "WPTestFiles.h"
#include "wordproc/WPCommands.h"
#include "wordproc/WPDocument.h"
#include "wordproc/WPInsert.h"
#include "wordproc/docx/Docx.h"
#include "wordproc/docx/DocxWriter.h"
#include "wordproc/WPLinks.h"
#include "wordproc/WPLists.h"
#include "wordproc/WPTableEdit.h"
#include "wordproc/WPText.h"
#include "wordproc/WPTextModel.h"

#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

// Documents made with the editor's own commands, saved as DOCX and opened
// again: everything the editor can make must come back as it was.

namespace {

const QString docx = WPDocument::kDocxType;

QByteArray png(int w, int h, QColor colour, int dotsPerInch)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    image.setDotsPerMeterX(qRound(dotsPerInch / 0.0254));
    image.setDotsPerMeterY(qRound(dotsPerInch / 0.0254));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void typeText(QTextCursor& c, const QString& text) { c.insertText(text); }

// Types `text`, selects it and applies `apply` to the selection.
void typeFormatted(QTextCursor& c, const QString& text, const std::function<void(QTextCursor&)>& apply)
{
    const int start = c.position();
    c.insertText(text);
    c.setPosition(start);
    c.setPosition(start + int(text.size()), QTextCursor::KeepAnchor);
    apply(c);
    c.clearSelection();
    c.movePosition(QTextCursor::End);
    c.setCharFormat(QTextCharFormat());
}

void newParagraph(QTextCursor& c)
{
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
}

void selectParagraph(QTextCursor& c)
{
    c.movePosition(QTextCursor::StartOfBlock);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
}

// Types the items as paragraphs and makes them a list, as the toolbar does.
void typeList(QTextCursor& c, const QStringList& items, WPText::ListKindValue kind)
{
    const int start = c.position();
    typeText(c, items.join(QChar::ParagraphSeparator));
    c.setPosition(start, QTextCursor::KeepAnchor);
    WPLists::toggleList(c, kind);
    c.movePosition(QTextCursor::End);
    newParagraph(c);
}

// Everything the editor makes, in one document.
void buildEverything(WPDocument& doc)
{
    QTextDocument* text = doc.storage();
    text->setDefaultFont(WPCommands::defaultFont());
    QTextCursor c(text);

    typeText(c, QStringLiteral("Quarterly Report"));
    selectParagraph(c);
    WPCommands::applyStyle(c, QStringLiteral("Title"));
    c.movePosition(QTextCursor::End);
    newParagraph(c);
    typeText(c, QStringLiteral("Introduction"));
    selectParagraph(c);
    WPCommands::applyStyle(c, QStringLiteral("Heading 1"));
    c.movePosition(QTextCursor::End);
    newParagraph(c);

    typeFormatted(c, QStringLiteral("bold "), [](QTextCursor& k) { WPCommands::toggleTrait(k, WPCommands::Trait::Bold); });
    typeFormatted(c, QStringLiteral("italic "),
                  [](QTextCursor& k) { WPCommands::toggleTrait(k, WPCommands::Trait::Italic); });
    typeFormatted(c, QStringLiteral("under "), [](QTextCursor& k) { WPCommands::toggleUnderline(k, false); });
    typeFormatted(c, QStringLiteral("double "), [](QTextCursor& k) {
        WPCommands::changeChars(k, WPCommands::selectionRanges(k), [](QTextCharFormat& f) {
            f.setProperty(WPText::UnderlineStyle, int(WPText::StyleDouble));
            f.setFontUnderline(true);
        });
    });
    typeFormatted(c, QStringLiteral("struck "), [](QTextCursor& k) { WPCommands::toggleStrike(k, false); });
    typeFormatted(c, QStringLiteral("big "), [](QTextCursor& k) { WPCommands::setSize(k, 18); });
    typeFormatted(c, QStringLiteral("red "), [](QTextCursor& k) { WPCommands::setForeground(k, QColor(200, 0, 0)); });
    typeFormatted(c, QStringLiteral("marked"),
                  [](QTextCursor& k) { WPCommands::setHighlight(k, QColor(255, 255, 0)); });
    WPCommands::setAlignment(c, Qt::AlignHCenter);
    WPCommands::setLineSpacing(c, 1.15);
    newParagraph(c);

    typeText(c, QStringLiteral("An indented paragraph that goes on for a while."));
    WPCommands::setAlignment(c, Qt::AlignLeft);
    WPCommands::setLineSpacing(c, 1.0);
    WPCommands::setIndents(c, 36, 54);
    newParagraph(c);
    WPCommands::setIndents(c, 0, 0);
    typeText(c, QStringLiteral("Well said."));
    selectParagraph(c);
    WPCommands::applyStyle(c, QStringLiteral("Quote"));
    c.movePosition(QTextCursor::End);
    newParagraph(c);
    c.setCharFormat(QTextCharFormat());

    typeList(c, {QStringLiteral("first point"), QStringLiteral("second point")}, WPText::ListBullet);
    // A nested item: the toolbar's indent on a list paragraph.
    c.movePosition(QTextCursor::PreviousBlock);
    WPCommands::shiftIndent(c, 36);
    c.movePosition(QTextCursor::End);
    typeList(c, {QStringLiteral("step one"), QStringLiteral("step two")}, WPText::ListNumber);
    typeText(c, QStringLiteral("After the lists."));
    newParagraph(c);

    QTextTable* table = WPInsert::insertTable(c, 3, 3);
    QTextCursor cell = table->cellAt(1, 0).firstCursorPosition();
    cell.insertText(QStringLiteral("merged"));
    table->mergeCells(1, 0, 1, 2);
    cell = table->cellAt(1, 2).firstCursorPosition();
    cell.insertText(QStringLiteral("tall"));
    table->mergeCells(1, 2, 2, 1);
    cell = table->cellAt(2, 1).firstCursorPosition();
    WPInsert::insertPicture(cell, png(30, 30, Qt::green, 72), QStringLiteral("cell.png"), doc.pageSetup().textWidth());
    cell = table->cellAt(2, 0).firstCursorPosition();
    cell.insertText(QStringLiteral("shaded"));
    WPTableEdit::setCellBackground(cell, QColor(0xcc, 0xee, 0xff));
    c.movePosition(QTextCursor::End);

    typeText(c, QStringLiteral("Pictures: "));
    WPInsert::insertPicture(c, png(60, 40, Qt::red, 72), QStringLiteral("plain.png"), doc.pageSetup().textWidth());
    typeText(c, QStringLiteral(" and "));
    WPInsert::insertPicture(c, png(120, 80, Qt::blue, 144), QStringLiteral("retina.png"),
                            doc.pageSetup().textWidth());
    newParagraph(c);
    typeText(c, QStringLiteral("See https://example.org/page "));
    WPLinks::detectBefore(text, c.position() - 1);
    typeText(c, QStringLiteral("for more."));

    doc.setHeaderFooter(QStringLiteral("{title}"), QStringLiteral("Page {page} of {pages}"));
    WPPageSetup setup;
    setup.paperSize = QSizeF(792, 612);
    setup.topMargin = 54;
    setup.bottomMargin = 54;
    setup.leftMargin = 90;
    setup.rightMargin = 90;
    doc.setPageSetup(setup);
}

// The document's DOCX bytes, and a document read back from them the way
// opening a DOCX file does.
QByteArray saveDocx(const WPDocument& doc) { return Docx::write(*doc.storage(), doc.documentAttributes()); }

bool openDocx(const QByteArray& bytes, WPDocument& into, QString* error)
{
    into.storage()->setDefaultFont(WPCommands::defaultFont());
    WPDocAttributes attributes;
    if (!Docx::read(bytes, into.storage(), &attributes, error))
        return false;
    into.apply(attributes);
    if (const auto hf = Docx::readHeaderFooter(bytes))
        into.setHeaderFooter(hf->first, hf->second);
    Docx::restoreImages(bytes, into.storage());
    return true;
}

// What a reader cannot tell apart is described alike: black text is text
// without a colour, a line height of 1 is single spacing, and a link's
// target does not travel in DOCX (its text, colour and underline do).
QString describe(const WPTextModel::Run& r)
{
    const bool black = r.foreground.isValid() && r.foreground.rgb() == QColor(Qt::black).rgb();
    return QStringLiteral("'%1' %2 %3 b%4 i%5 u%6 s%7 fg%8 bg%9 pic%10")
        .arg(r.text, r.picture ? QString() : r.family)
        .arg(r.pointSize)
        .arg(r.bold)
        .arg(r.italic)
        .arg(r.underline)
        .arg(r.strike)
        .arg(r.foreground.isValid() && !black ? r.foreground.name() : QStringLiteral("-"),
             r.background.isValid() ? r.background.name() : QStringLiteral("-"))
        .arg(r.picture ? QStringLiteral("%1x%2 %3").arg(r.picture->sizePt.width()).arg(r.picture->sizePt.height()).arg(r.picture->data.size())
                       : QStringLiteral("-"));
}

QString describe(const WPTextModel::Paragraph& p)
{
    QStringList tabs;
    for (qreal t : p.style.tabStops)
        tabs << QString::number(t);
    QString s = QStringLiteral("al%1 head%2 first%3 lh%4 tabs[%5] list%6")
                    .arg(int(p.style.alignment))
                    .arg(p.style.headIndent)
                    .arg(p.style.firstLineHeadIndent)
                    .arg(p.style.lineHeightMultiple == 1 ? 0 : p.style.lineHeightMultiple)
                    .arg(tabs.join(u','))
                    .arg(p.style.listKind);
    if (p.cell)
        s += QStringLiteral(" cell %1x%2 @%3,%4 span%5x%6 bg%7")
                 .arg(p.cell->tableRows)
                 .arg(p.cell->tableColumns)
                 .arg(p.cell->row)
                 .arg(p.cell->column)
                 .arg(p.cell->rowSpan)
                 .arg(p.cell->columnSpan)
                 .arg(p.cell->background.isValid() ? p.cell->background.name() : QStringLiteral("-"));
    for (const auto& r : p.runs)
        s += QStringLiteral("\n    ") + describe(r);
    return s;
}

QStringList describe(const QTextDocument& doc)
{
    QStringList out;
    for (const auto& p : WPTextModel::paragraphs(doc))
        out << describe(p);
    return out;
}

} // namespace

class WpqaRoundTripTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rowSpansBecomeVerticalMerges_data();
    void rowSpansBecomeVerticalMerges();
    void editorDocumentComesBackFromDocx();
    void resavingGivesTheSameBytes();
    void pythonDocxReadsWhatWeWrite();
    void pdfShowsHeaderFooterAndPageCount();

private:
    QTemporaryDir m_dir;
};

using TableCell = DocxWriter::TableBuild::Cell;

void WpqaRoundTripTest::rowSpansBecomeVerticalMerges_data()
{
    QTest::addColumn<QList<TableCell>>("cells");
    QTest::addColumn<QStringList>("rows");
    const QString a = QStringLiteral("<w:p>a</w:p>");
    const auto tc = [](const QString& props, const QString& body) {
        return QStringLiteral("<w:tc><w:tcPr>") + props + QStringLiteral("</w:tcPr>") + body + QStringLiteral("</w:tc>");
    };
    const QString w1 = QStringLiteral("<w:tcW w:w=\"4680\" w:type=\"dxa\"/>");
    const QString w2 = QStringLiteral("<w:tcW w:w=\"9360\" w:type=\"dxa\"/><w:gridSpan w:val=\"2\"/>");
    const QString restart = QStringLiteral("<w:vMerge w:val=\"restart\"/>");
    const QString cont = QStringLiteral("<w:vMerge/>");
    const QString empty = QStringLiteral("<w:p/>");
    QTest::newRow("no spans")
        << QList<TableCell>{{0, 0, 1, a, {}}} << QStringList{tc(w1, a) + tc(w1, empty)};
    QTest::newRow("two rows down")
        << QList<TableCell>{{0, 0, 1, a, {}, 2}, {0, 1, 1, a, {}}, {1, 1, 1, a, {}}}
        << QStringList{tc(w1 + restart, a) + tc(w1, a), tc(w1 + cont, empty) + tc(w1, a)};
    QTest::newRow("span to a row of its own")
        << QList<TableCell>{{0, 1, 1, a, {}, 3}}
        << QStringList{tc(w1, empty) + tc(w1 + restart, a), tc(w1, empty) + tc(w1 + cont, empty),
                       tc(w1, empty) + tc(w1 + cont, empty)};
    QTest::newRow("both ways, shaded")
        << QList<TableCell>{{0, 0, 2, a, QColor(0x11, 0x22, 0x33), 2}}
        << QStringList{tc(w2 + restart + QStringLiteral("<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"112233\"/>"), a),
                       tc(w2 + cont, empty)};
}

void WpqaRoundTripTest::rowSpansBecomeVerticalMerges()
{
    QFETCH(QList<TableCell>, cells);
    QFETCH(QStringList, rows);
    DocxWriter::Ctx ctx;
    ctx.contentWidthTwips = 9360;
    DocxWriter::TableBuild t;
    t.declaredColumns = 2;
    t.cells = cells;
    const QString xml = t.xml(ctx);
    const int first = int(xml.indexOf(QLatin1String("<w:tr>")));
    QCOMPARE(xml.mid(first), QStringLiteral("<w:tr>") + rows.join(QStringLiteral("</w:tr><w:tr>"))
                                 + QStringLiteral("</w:tr></w:tbl><w:p/>"));
}

void WpqaRoundTripTest::editorDocumentComesBackFromDocx()
{
    WPDocument doc;
    buildEverything(doc);
    const QByteArray bytes = saveDocx(doc);
    QString error;
    WPDocument back;
    QVERIFY2(openDocx(bytes, back, &error), qPrintable(error));
    const QStringList before = describe(*doc.storage());
    const QStringList after = describe(*back.storage());
    for (int i = 0; i < std::min(before.size(), after.size()); ++i)
        QCOMPARE(after.at(i), before.at(i));
    QCOMPARE(after.size(), before.size());
    QVERIFY(before.join(u'\n').contains(QLatin1String("head72 first36 lh0 tabs[11,36] list1")));
    QCOMPARE(back.headerText(), doc.headerText());
    QCOMPARE(back.footerText(), doc.footerText());
    QCOMPARE(back.pageSetup(), doc.pageSetup());
}

void WpqaRoundTripTest::resavingGivesTheSameBytes()
{
    WPDocument doc;
    buildEverything(doc);
    QString error;
    const QByteArray first = saveDocx(doc);
    WPDocument back;
    QVERIFY2(openDocx(first, back, &error), qPrintable(error));
    const QByteArray second = saveDocx(back);
    QCOMPARE(second.size(), first.size());
    QVERIFY(second == first);
}

void WpqaRoundTripTest::pythonDocxReadsWhatWeWrite()
{
    WPDocument doc;
    buildEverything(doc);
    const QString path = m_dir.filePath(QStringLiteral("python.docx"));
    QVERIFY(writeFile(path, saveDocx(doc)));
    const QString script = QStringLiteral(R"(
import sys, docx
d = docx.Document(sys.argv[1])
s = d.sections[0]
print(int(s.page_width.pt), int(s.page_height.pt), s.orientation, int(s.left_margin.pt), int(s.top_margin.pt))
for p in d.paragraphs:
    print('P', repr(p.text))
t = d.tables[0]
print('T', len(t.rows), len(t.columns), repr(t.cell(1, 0).text), repr(t.cell(2, 0).text), repr(t.cell(2, 2).text))
print('H', repr(s.header.paragraphs[0].text) if s.header.paragraphs else '-')
)");
    const QString py = DocxTestFiles::python();
    if (py.isEmpty() || !DocxTestFiles::hasModule(py, QStringLiteral("docx")))
        QSKIP("python3-docx is not installed");
    QProcess python;
    python.start(py, {QStringLiteral("-c"), script, path});
    QVERIFY(python.waitForFinished(30000));
    const QString out = QString::fromUtf8(python.readAllStandardOutput());
    QVERIFY2(python.exitCode() == 0, qPrintable(QString::fromUtf8(python.readAllStandardError())));
    QVERIFY2(out.startsWith(QStringLiteral("792 612 LANDSCAPE (1) 90 54")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("P 'Quarterly Report'")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("P '\\t•\\tfirst point'")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("P '\\t1.\\tstep one'")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("T 3 3 'merged' 'shaded' 'tall'")), qPrintable(out));
}

void WpqaRoundTripTest::pdfShowsHeaderFooterAndPageCount()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    WPDocument doc;
    buildEverything(doc);
    QTextCursor c(doc.storage());
    c.movePosition(QTextCursor::End);
    for (int i = 0; i < 60; ++i)
        c.insertText(QStringLiteral("\nLine %1 of filler text.").arg(i));
    doc.setFilePath(m_dir.filePath(QStringLiteral("Budget.docx")));
    const QString pdf = m_dir.filePath(QStringLiteral("out.pdf"));
    QVERIFY(doc.exportPDF(pdf));
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    const int pages = int(text.count(QChar(u'\f')));
    QVERIFY2(pages >= 2, qPrintable(text));
    for (int n = 1; n <= pages; ++n)
        QVERIFY2(text.contains(QStringLiteral("Page %1 of %2").arg(n).arg(pages)), qPrintable(text));
    QVERIFY(doc.printTitle().startsWith(QStringLiteral("Budget")));
    QVERIFY2(text.count(doc.printTitle()) == pages, qPrintable(text));
}

QTEST_MAIN(WpqaRoundTripTest)
#include "tst_wpqa_roundtrip.moc"
