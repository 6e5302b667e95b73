#include "wordproc/WPCommands.h"
#include "wordproc/WPFind.h"
#include "wordproc/WPInsert.h"
#include "wordproc/WPLinks.h"
#include "wordproc/WPTableEdit.h"
#include "wordproc/WPText.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>

namespace {

QByteArray png(int width, int height, qreal dpi)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    if (dpi > 0) {
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The paragraphs outside tables, and "[table r×c]" for each table.
QStringList outline(const QTextDocument& doc)
{
    QStringList out;
    QTextTable* last = nullptr;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QTextCursor c(b);
        if (QTextTable* t = c.currentTable()) {
            if (t != last)
                out.append(QStringLiteral("[table %1x%2]").arg(t->rows()).arg(t->columns()));
            last = t;
            continue;
        }
        out.append(b.text());
    }
    return out;
}

} // namespace

class TestInsert : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tablePlacement_data();
    void tablePlacement();
    void tableFormat();
    void paragraphAfterTable_data();
    void paragraphAfterTable();
    void tableEdits();
    void pictureSize_data();
    void pictureSize();
    void pictureInsertKeepsOriginalBytes();
    void notAPictureChangesNothing();
    void appendParagraph_data();
    void appendParagraph();
    void replaceAllIsOneStep();
    void linkAddresses_data();
    void linkAddresses();
    void linkDetection();
};

void TestInsert::tablePlacement_data()
{
    QTest::addColumn<QStringList>("paragraphs");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("middle of a line starts a new line")
        << QStringList{"abcdef"} << 3 << QStringList{"abc", "[table 3x3]", "def"};
    QTest::newRow("start of a later line adds no empty line")
        << QStringList{"first", "second"} << 6 << QStringList{"first", "[table 3x3]", "second"};
    QTest::newRow("empty last line: the table follows the text")
        << QStringList{"first", ""} << 6 << QStringList{"first", "[table 3x3]", ""};
    QTest::newRow("end of a line")
        << QStringList{"first", "second"} << 5 << QStringList{"first", "[table 3x3]", "", "second"};
}

void TestInsert::tablePlacement()
{
    QFETCH(QStringList, paragraphs);
    QFETCH(int, position);
    QFETCH(QStringList, expected);
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(paragraphs.join(QChar::ParagraphSeparator));
    const QString before = doc.toPlainText();
    doc.clearUndoRedoStacks();
    c.setPosition(position);
    WPInsert::insertTable(c, 3, 3);
    QCOMPARE(outline(doc), expected);
    // The caret waits right after the table, not in its heading.
    QVERIFY(!c.currentTable());
    QTextCursor justBefore(&doc);
    justBefore.setPosition(c.position() - 1);
    QVERIFY(justBefore.currentTable());
    doc.undo();
    QVERIFY(!doc.isUndoAvailable());
    QCOMPARE(doc.toPlainText(), before);
}

void TestInsert::tableFormat()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat f;
    WPCommands::putFont(f, QFont(QStringLiteral("DejaVu Serif"), 14));
    c.insertText(QStringLiteral("x"), f);
    QTextTable* table = WPInsert::insertTable(c, 2, 4);
    QVERIFY(table);
    const QTextTableFormat tf = table->format();
    QVERIFY(tf.borderCollapse());
    QCOMPARE(tf.columns(), 4);
    QCOMPARE(tf.cellPadding(), WPText::toPixels(5));
    for (const QTextLength& w : tf.columnWidthConstraints()) {
        QCOMPARE(w.type(), QTextLength::PercentageLength);
        QCOMPARE(w.rawValue(), 25.0);
    }
    for (int col = 0; col < 4; ++col) {
        const QTextTableCell head = table->cellAt(0, col);
        QCOMPARE(QTextCursor(head.firstCursorPosition()).block().text(), QStringLiteral("Column %1").arg(col + 1));
        const QTextCharFormat cf = WPCommands::formatAt(&doc, head.firstPosition());
        QVERIFY(WPCommands::fontOf(cf).bold());
        QCOMPARE(WPCommands::fontOf(cf).family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(head.format().background().color(), QColor::fromRgbF(0.9f, 0.95f, 0.95f));
        QVERIFY(table->cellAt(1, col).firstCursorPosition().block().text().isEmpty());
        QCOMPARE(table->cellAt(1, col).format().background().style(), Qt::NoBrush);
    }
}

void TestInsert::paragraphAfterTable_data()
{
    QTest::addColumn<bool>("listItem");
    QTest::addColumn<int>("position"); // -1: the end
    QTest::newRow("end of a paragraph") << false << -1;
    QTest::newRow("middle of a paragraph") << false << 4;
    QTest::newRow("end of a list item") << true << -1;
    QTest::newRow("start of a second paragraph") << false << 6;
}

// Text typed after a new table is laid out like the paragraph the table went
// into, without joining its list.
void TestInsert::paragraphAfterTable()
{
    QFETCH(bool, listItem);
    QFETCH(int, position);
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextBlockFormat spaced;
    spaced.setLineHeight(115, QTextBlockFormat::ProportionalHeight);
    spaced.setAlignment(Qt::AlignJustify);
    spaced.setBottomMargin(6);
    c.setBlockFormat(spaced);
    if (listItem)
        c.createList(QTextListFormat::ListDisc);
    c.insertText(QStringLiteral("Dear,\nThe figures by region:"));
    if (position >= 0)
        c.setPosition(position);
    WPInsert::insertTable(c, 2, 2);
    QVERIFY(!c.currentTable());
    const QTextBlockFormat after = c.blockFormat();
    QCOMPARE(after.lineHeight(), 115.0);
    QCOMPARE(after.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
    QCOMPARE(after.alignment(), Qt::AlignJustify);
    QCOMPARE(after.bottomMargin(), 6.0);
    QVERIFY(!c.block().textList());
}

void TestInsert::tableEdits()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextTable* table = WPInsert::insertTable(c, 2, 2);
    c = table->cellAt(0, 0).firstCursorPosition();
    QVERIFY(WPTableEdit::addRow(c, true));
    QVERIFY(WPTableEdit::addColumn(c, true));
    QCOMPARE(table->rows(), 3);
    QCOMPARE(table->columns(), 3);
    QCOMPARE(table->format().columnWidthConstraints().size(), 3);
    QVERIFY(WPTableEdit::removeRow(c));
    c = table->cellAt(0, 0).firstCursorPosition();
    QVERIFY(WPTableEdit::removeColumn(c));
    QCOMPARE(table->rows(), 2);
    QCOMPARE(table->columns(), 2);
    c = table->cellAt(1, 1).firstCursorPosition();
    QVERIFY(WPTableEdit::setCellBackground(c, QColor(Qt::yellow)));
    QCOMPARE(table->cellAt(c).format().background().color(), QColor(Qt::yellow));
    QVERIFY(WPTableEdit::setBorders(c, false));
    QCOMPARE(table->format().border(), 0.0);
    QTextCursor outside(&doc);
    outside.movePosition(QTextCursor::End);
    QVERIFY(!WPTableEdit::addRow(outside, true));
    QVERIFY(!WPTableEdit::removeColumn(outside));
}

void TestInsert::pictureSize_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSizeF>("natural");
    QTest::addColumn<QSizeF>("shown");
    QTest::newRow("1200 points wide scales to 468") << png(1200, 600, 72) << QSizeF(1200, 600) << QSizeF(468, 234);
    QTest::newRow("200 points wide keeps its size") << png(200, 100, 72) << QSizeF(200, 100) << QSizeF(200, 100);
    QTest::newRow("144 dpi: 800 pixels are 400 points") << png(800, 200, 144) << QSizeF(400, 100)
                                                        << QSizeF(400, 100);
    QTest::newRow("144 dpi: 1200 pixels are 600 points, then fitted")
        << png(1200, 400, 144) << QSizeF(600, 200) << QSizeF(468, 156);
    QTest::newRow("exactly the text width") << png(468, 10, 72) << QSizeF(468, 10) << QSizeF(468, 10);
}

void TestInsert::pictureSize()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSizeF, natural);
    QFETCH(QSizeF, shown);
    const std::optional<QSizeF> size = WPInsert::picturePointSize(bytes);
    QVERIFY(size);
    QCOMPARE(*size, natural);
    QCOMPARE(WPInsert::fitPicture(*size, 468), shown);
}

void TestInsert::pictureInsertKeepsOriginalBytes()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("before "));
    const QByteArray bytes = png(1200, 600, 72);
    QVERIFY(WPInsert::insertPicture(c, bytes, QStringLiteral("photo.png"), 468));
    const QTextCharFormat f = WPCommands::formatAt(&doc, 7);
    QVERIFY(f.isImageFormat());
    const QTextImageFormat image = f.toImageFormat();
    QVERIFY(image.name().startsWith(QLatin1String("wpimage:")));
    QCOMPARE(image.property(WPText::PictureData).toByteArray(), bytes);
    QCOMPARE(image.stringProperty(WPText::PictureFileName), QStringLiteral("photo.png"));
    QCOMPARE(image.doubleProperty(WPText::PictureWidthPt), 468.0);
    QCOMPARE(image.doubleProperty(WPText::PictureHeightPt), 234.0);
    QCOMPARE(image.width(), WPText::toPixels(468));
    QVERIFY(!doc.resource(QTextDocument::ImageResource, QUrl(image.name())).isNull());
    // Typing after the picture is plain text again.
    c.insertText(QStringLiteral("after"));
    QVERIFY(!WPCommands::formatAt(&doc, 9).isImageFormat());
}

void TestInsert::notAPictureChangesNothing()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("text"));
    doc.clearUndoRedoStacks();
    QByteArray truncated = png(50, 50, 72);
    truncated.truncate(40);
    for (const QByteArray& bad : {QByteArray("not an image"), QByteArray(), truncated})
        QVERIFY(!WPInsert::insertPicture(c, bad, QStringLiteral("x.png"), 468));
    QCOMPARE(doc.toPlainText(), QStringLiteral("text"));
    QVERIFY(!doc.isUndoAvailable());
}

void TestInsert::appendParagraph_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty document") << QString() << QStringLiteral("Sent\nSent\n");
    QTest::newRow("ends with a line feed") << QStringLiteral("Notes\n") << QStringLiteral("Notes\nSent\nSent\n");
    QTest::newRow("ends without one") << QStringLiteral("Notes") << QStringLiteral("Notes\nSent\nSent\n");
}

void TestInsert::appendParagraph()
{
    QFETCH(QString, initial);
    QFETCH(QString, expected);
    QTextDocument doc;
    QTextCursor(&doc).insertText(initial);
    QTextDocumentFragment fragment = QTextDocumentFragment::fromHtml(QStringLiteral("<i>Sent</i>"));
    WPInsert::appendParagraph(&doc, fragment);
    WPInsert::appendParagraph(&doc, fragment);
    QCOMPARE(doc.toPlainText(), expected);
    QVERIFY(WPCommands::fontOf(WPCommands::formatAt(&doc, expected.indexOf(QLatin1String("Sent")))).italic());
}

void TestInsert::replaceAllIsOneStep()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("cat "), bold);
    c.insertText(QStringLiteral("Cat cat dog"));
    doc.clearUndoRedoStacks();
    QCOMPARE(WPFind::findAll(doc, QStringLiteral("cat")).size(), 3);
    QCOMPARE(WPFind::findAll(doc, QStringLiteral("cat"), QTextDocument::FindCaseSensitively).size(), 2);
    QCOMPARE(WPFind::replaceAll(&doc, QStringLiteral("cat"), QStringLiteral("bird")), 3);
    QCOMPARE(doc.toPlainText(), QStringLiteral("bird bird bird dog"));
    QVERIFY(WPCommands::fontOf(WPCommands::formatAt(&doc, 1)).bold());
    doc.undo();
    QVERIFY(!doc.isUndoAvailable());
    QCOMPARE(doc.toPlainText(), QStringLiteral("cat Cat cat dog"));
    doc.redo();
    QCOMPARE(WPFind::replaceAll(&doc, QString(), QStringLiteral("x")), 0);
    // Wrapping search.
    QTextCursor end(&doc);
    end.movePosition(QTextCursor::End);
    QCOMPARE(WPFind::findNext(doc, QStringLiteral("bird"), end).selectionStart(), 0);
}

void TestInsert::linkAddresses_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("href");
    QTest::newRow("https") << "https://example.org/a?b=1" << "https://example.org/a?b=1";
    QTest::newRow("www gets a scheme") << "www.example.org" << "https://www.example.org";
    QTest::newRow("sentence end is not part of it") << "https://example.org." << "https://example.org";
    QTest::newRow("closing bracket") << "www.example.org)," << "https://www.example.org";
    QTest::newRow("plain word") << "example" << "";
    QTest::newRow("scheme only") << "https://" << "";
    QTest::newRow("no dot in host") << "http://localhost" << "";
    QTest::newRow("other scheme") << "javascript:alert(1)" << "";
    QTest::newRow("mail address") << "me@example.org" << "";
}

void TestInsert::linkAddresses()
{
    QFETCH(QString, word);
    QFETCH(QString, href);
    QCOMPARE(WPLinks::addressOf(word), href);
}

void TestInsert::linkDetection()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("see www.example.org. "));
    QVERIFY(WPLinks::detectBefore(&doc, 20));
    const QTextCharFormat link = WPCommands::formatAt(&doc, 5);
    QVERIFY(link.isAnchor());
    QCOMPARE(link.anchorHref(), QStringLiteral("https://www.example.org"));
    QVERIFY(!WPCommands::formatAt(&doc, 19).isAnchor());
    QVERIFY(!WPCommands::formatAt(&doc, 2).isAnchor());
    // Once is enough.
    QVERIFY(!WPLinks::detectBefore(&doc, 20));
    QVERIFY(!WPLinks::detectBefore(&doc, 3));
}

QTEST_MAIN(TestInsert)
#include "tst_commands_insert.moc"
