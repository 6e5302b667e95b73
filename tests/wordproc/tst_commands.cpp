#include "wordproc/WPCommands.h"
#include "wordproc/WPText.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace WPCommands;

namespace {

// A document made of runs: each run is text with a size, a weight and a family.
struct Run {
    QString text;
    qreal size = 12;
    bool bold = false;
    QString family = QStringLiteral("DejaVu Serif");
};

void fill(QTextDocument& doc, const QList<Run>& runs)
{
    QTextCursor c(&doc);
    for (const Run& r : runs) {
        QTextCharFormat f;
        QFont font(r.family);
        font.setPointSizeF(r.size);
        font.setWeight(r.bold ? QFont::Bold : QFont::Normal);
        putFont(f, font);
        c.insertText(r.text, f);
    }
}

QTextCursor select(QTextDocument& doc, int start, int end)
{
    QTextCursor c(&doc);
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    return c;
}

QFont fontAt(const QTextDocument& doc, int position)
{
    return fontOf(formatAt(&doc, position));
}

} // namespace

class TestCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void boldFollowsFirstCharacter_data();
    void boldFollowsFirstCharacter();
    void sizeAndFamilyKeepTheRest();
    void insertionPointChangesOnlyTyping();
    void unformattedTextIsTheDefaultFont();
    void currentAttributesReadTheSelectedCharacter();
    void underlineAndStrikeKeepBothFlags();
    void oneUndoPerCommand_data();
    void oneUndoPerCommand();
    void styles_data();
    void styles();
    void styleInEmptyLastParagraphOnlyTypes();
    void paragraphsTouchedBySelection();
    void absurdSizesAreRefused();
};

void TestCommands::boldFollowsFirstCharacter_data()
{
    QTest::addColumn<bool>("firstBold");
    QTest::addColumn<bool>("expected");
    QTest::newRow("first bold, rest plain -> all plain") << true << false;
    QTest::newRow("first plain, rest bold -> all bold") << false << true;
}

void TestCommands::boldFollowsFirstCharacter()
{
    QFETCH(bool, firstBold);
    QFETCH(bool, expected);
    QTextDocument doc;
    fill(doc, {{QStringLiteral("ab"), 12, firstBold}, {QStringLiteral("cdef"), 12, !firstBold}});
    QTextCursor c = select(doc, 0, 6);
    toggleTrait(c, Trait::Bold);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(fontAt(doc, i).bold(), expected);
}

void TestCommands::sizeAndFamilyKeepTheRest()
{
    QTextDocument doc;
    fill(doc, {{QStringLiteral("small"), 12, true, QStringLiteral("DejaVu Serif")},
               {QStringLiteral("large"), 18, false, QStringLiteral("DejaVu Sans")}});
    QTextCursor c = select(doc, 0, 10);
    setSize(c, 24);
    QCOMPARE(fontAt(doc, 0).pointSizeF(), 24.0);
    QCOMPARE(fontAt(doc, 7).pointSizeF(), 24.0);
    QCOMPARE(fontAt(doc, 0).family(), QStringLiteral("DejaVu Serif"));
    QVERIFY(fontAt(doc, 0).bold());
    QVERIFY(!fontAt(doc, 7).bold());

    setSize(c, 12);
    c = select(doc, 0, 10);
    QTextCursor first = select(doc, 5, 10);
    setSize(first, 18);
    setFamily(c, QStringLiteral("DejaVu Sans Mono"));
    QCOMPARE(fontAt(doc, 0).family(), QStringLiteral("DejaVu Sans Mono"));
    QCOMPARE(fontAt(doc, 0).pointSizeF(), 12.0);
    QCOMPARE(fontAt(doc, 7).pointSizeF(), 18.0);
}

void TestCommands::insertionPointChangesOnlyTyping()
{
    QTextDocument doc;
    fill(doc, {{QStringLiteral("plain")}});
    doc.clearUndoRedoStacks();
    QTextCursor c(&doc);
    c.movePosition(QTextCursor::End);
    toggleUnderline(c, false);
    toggleTrait(c, Trait::Italic);
    QVERIFY(!doc.isUndoAvailable());
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(underlineStyle(formatAt(&doc, i)), 0);
        QVERIFY(!fontAt(doc, i).italic());
    }
    c.insertText(QStringLiteral("x"));
    QCOMPARE(underlineStyle(formatAt(&doc, 5)), 1);
    QVERIFY(fontAt(doc, 5).italic());
    QCOMPARE(fontAt(doc, 5).family(), QStringLiteral("DejaVu Serif"));
}

void TestCommands::unformattedTextIsTheDefaultFont()
{
    QTextDocument doc;
    QTextCursor(&doc).insertText(QStringLiteral("bare"));
    const QFont f = fontAt(doc, 1);
    QCOMPARE(f.family(), defaultFont().family());
    QCOMPARE(f.pointSizeF(), 12.0);
    QVERIFY(!f.bold());
}

void TestCommands::currentAttributesReadTheSelectedCharacter()
{
    QTextDocument doc;
    fill(doc, {{QStringLiteral("a"), 10}, {QStringLiteral("b"), 20}});
    // Qt's format "at" a position is the one before it; the toolbar wants
    // the first selected character.
    QCOMPARE(fontOf(currentAttributes(select(doc, 1, 2))).pointSizeF(), 20.0);
    QCOMPARE(fontOf(currentAttributes(select(doc, 0, 1))).pointSizeF(), 10.0);
    // A selection starting at the very end shows the typing format.
    QTextCursor end(&doc);
    end.movePosition(QTextCursor::End);
    QTextCharFormat typing;
    putFont(typing, QFont(QStringLiteral("DejaVu Sans"), 30));
    end.setCharFormat(typing);
    QCOMPARE(fontOf(currentAttributes(end)).pointSizeF(), 30.0);
}

void TestCommands::underlineAndStrikeKeepBothFlags()
{
    QTextDocument doc;
    fill(doc, {{QStringLiteral("text")}});
    QTextCursor c = select(doc, 0, 4);
    toggleUnderline(c, false);
    toggleStrike(c, false);
    const QTextCharFormat f = formatAt(&doc, 2);
    QCOMPARE(f.intProperty(WPText::UnderlineStyle), int(WPText::StyleSingle));
    QVERIFY(f.fontUnderline());
    QCOMPARE(f.intProperty(WPText::StrikeStyle), int(WPText::StyleSingle));
    QVERIFY(f.fontStrikeOut());
    toggleUnderline(c, true);
    QCOMPARE(underlineStyle(formatAt(&doc, 2)), 0);
    QVERIFY(!formatAt(&doc, 2).fontUnderline());
    QCOMPARE(strikeStyle(formatAt(&doc, 2)), 1);
}

void TestCommands::oneUndoPerCommand_data()
{
    QTest::addColumn<int>("command");
    QTest::newRow("bold") << 0;
    QTest::newRow("size") << 1;
    QTest::newRow("colour") << 2;
    QTest::newRow("highlight") << 3;
    QTest::newRow("alignment") << 4;
    QTest::newRow("line spacing") << 5;
    QTest::newRow("style") << 6;
    QTest::newRow("indent") << 7;
    QTest::newRow("bigger") << 8;
    QTest::newRow("ruler indents") << 9;
}

void TestCommands::oneUndoPerCommand()
{
    QFETCH(int, command);
    QTextDocument doc;
    fill(doc, {{QStringLiteral("one ")}, {QStringLiteral("two"), 18, true}});
    QTextCursor(&doc).insertBlock();
    fill(doc, {{QStringLiteral("three")}});
    const QString before = doc.toHtml();
    doc.clearUndoRedoStacks();
    doc.setModified(false);
    QTextCursor c = select(doc, 1, doc.characterCount() - 2);
    switch (command) {
    case 0: toggleTrait(c, Trait::Bold); break;
    case 1: setSize(c, 30); break;
    case 2: setForeground(c, QColor(Qt::red)); break;
    case 3: setHighlight(c, QColor(Qt::yellow)); break;
    case 4: setAlignment(c, Qt::AlignRight); break;
    case 5: setLineSpacing(c, 2.0); break;
    case 6: applyStyle(c, QStringLiteral("Heading 1")); break;
    case 7: shiftIndent(c, 36); break;
    case 8: stepSize(c, 1); break;
    case 9: setIndents(c, 36, 18); break;
    }
    QVERIFY(doc.isModified());
    QVERIFY(doc.toHtml() != before);
    doc.undo();
    QVERIFY(!doc.isUndoAvailable());
    QCOMPARE(doc.toHtml(), before);
}

void TestCommands::styles_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<qreal>("size");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QColor>("color");
    QTest::newRow("Title") << "Title" << 26.0 << true << false << QColor(Qt::black);
    QTest::newRow("Heading 1") << "Heading 1" << 20.0 << true << false << QColor(Qt::black);
    QTest::newRow("Heading 2") << "Heading 2" << 16.0 << true << false << QColor(Qt::black);
    QTest::newRow("Heading 3") << "Heading 3" << 13.0 << true << false << QColor(Qt::black);
    QTest::newRow("Quote") << "Quote" << 12.0 << false << true << QColor(0x55, 0x55, 0x55);
    QTest::newRow("Body") << "Body" << 12.0 << false << false << QColor(Qt::black);
}

void TestCommands::styles()
{
    QFETCH(QString, style);
    QFETCH(qreal, size);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(QColor, color);
    QTextDocument doc;
    // 18-point red Georgia-like text with an underline that the style keeps.
    QTextCharFormat f;
    putFont(f, QFont(QStringLiteral("DejaVu Serif"), 18));
    f.setForeground(QColor(Qt::red));
    f.setFontUnderline(true);
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("first"), f);
    c.insertBlock();
    c.insertText(QStringLiteral("second"), f);
    QTextCursor in = select(doc, 2, 3);
    applyStyle(in, style);
    for (int i : {0, 4}) {
        const QFont font = fontAt(doc, i);
        QCOMPARE(font.family(), defaultFont().family());
        QCOMPARE(font.pointSizeF(), size);
        QCOMPARE(font.bold(), bold);
        QCOMPARE(font.italic(), italic);
        QCOMPARE(formatAt(&doc, i).foreground().color(), color);
        QVERIFY(formatAt(&doc, i).fontUnderline());
    }
    // The other paragraph is untouched.
    QCOMPARE(fontAt(doc, 7).pointSizeF(), 18.0);
    QCOMPARE(formatAt(&doc, 7).foreground().color(), QColor(Qt::red));
}

void TestCommands::styleInEmptyLastParagraphOnlyTypes()
{
    QTextDocument doc;
    fill(doc, {{QStringLiteral("text")}});
    QTextCursor c(&doc);
    c.movePosition(QTextCursor::End);
    c.insertBlock();
    doc.clearUndoRedoStacks();
    applyStyle(c, QStringLiteral("Title"));
    QVERIFY(!doc.isUndoAvailable());
    QCOMPARE(fontAt(doc, 0).pointSizeF(), 12.0);
    c.insertText(QStringLiteral("T"));
    QCOMPARE(fontAt(doc, 5).pointSizeF(), 26.0);
}

void TestCommands::paragraphsTouchedBySelection()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("one"));
    c.insertBlock();
    c.insertText(QStringLiteral("two"));
    c.insertBlock();
    c.insertText(QStringLiteral("three"));
    // From inside "one" to the very start of "three": "three" is not touched.
    QTextCursor sel = select(doc, 1, 8);
    setAlignment(sel, Qt::AlignHCenter);
    QCOMPARE(doc.findBlockByNumber(0).blockFormat().alignment(), Qt::AlignHCenter);
    QCOMPARE(doc.findBlockByNumber(1).blockFormat().alignment(), Qt::AlignHCenter);
    QVERIFY(!doc.findBlockByNumber(2).blockFormat().hasProperty(QTextFormat::BlockAlignment));
    setLineSpacing(sel, 1.5);
    QCOMPARE(lineSpacing(doc.findBlockByNumber(1).blockFormat()), 1.5);
    QCOMPARE(lineSpacing(doc.findBlockByNumber(2).blockFormat()), 1.0);
    shiftIndent(sel, -36);
    QCOMPARE(doc.findBlockByNumber(0).blockFormat().leftMargin(), 0.0);
    // A hanging indent from the ruler: the first line further left.
    setIndents(sel, 36, 0);
    const QTextBlockFormat hanging = doc.findBlockByNumber(1).blockFormat();
    QCOMPARE(hanging.leftMargin(), WPText::toPixels(36));
    QCOMPARE(hanging.textIndent(), -WPText::toPixels(36));
    setIndents(sel, qQNaN(), 5);
    QCOMPARE(doc.findBlockByNumber(1).blockFormat().leftMargin(), WPText::toPixels(36));
}

void TestCommands::absurdSizesAreRefused()
{
    QTextDocument doc;
    fill(doc, {{QStringLiteral("abc")}});
    QTextCursor c = select(doc, 0, 3);
    doc.clearUndoRedoStacks();
    for (qreal bad : {0.0, -5.0, 1e12, qQNaN(), qInf()})
        setSize(c, bad);
    QCOMPARE(fontAt(doc, 1).pointSizeF(), 12.0);
    QVERIFY(!doc.isUndoAvailable());
    for (int i = 0; i < 3; ++i)
        stepSize(c, -1);
    QCOMPARE(fontAt(doc, 1).pointSizeF(), 9.0);
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
