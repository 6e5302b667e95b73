#include "wordproc/WPCommands.h"
#include "wordproc/WPLists.h"
#include "wordproc/WPText.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

// Paragraphs are written as text lines; a leading "*" or "#" makes the line
// an existing bulleted or numbered list paragraph (marker included).
namespace {

const QChar kB = QChar(WPText::kBullet);

void build(QTextDocument& doc, const QStringList& lines)
{
    QTextCursor c(&doc);
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            c.insertBlock(QTextBlockFormat());
        QString line = lines.at(i);
        WPText::ListKindValue kind = WPText::ListNone;
        if (line.startsWith(QLatin1Char('*')))
            kind = WPText::ListBullet;
        else if (line.startsWith(QLatin1Char('#')))
            kind = WPText::ListNumber;
        if (kind != WPText::ListNone) {
            line = line.mid(1);
            QTextBlockFormat f;
            WPLists::makeListParagraph(f, kind);
            c.setBlockFormat(f);
        }
        c.insertText(line);
    }
}

// Each paragraph as text, "*"/"#" first when it is in a list.
QStringList lines(const QTextDocument& doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const WPText::ListKindValue kind = WPLists::kindOf(b.blockFormat());
        const QString prefix = kind == WPText::ListBullet ? QStringLiteral("*")
            : kind == WPText::ListNumber                  ? QStringLiteral("#")
                                                          : QString();
        out.append(prefix + b.text());
    }
    return out;
}

QString snapshot(const QTextDocument& doc)
{
    QStringList parts;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat f = b.blockFormat();
        parts.append(QStringLiteral("%1|%2|%3|%4|%5")
                         .arg(b.text())
                         .arg(f.intProperty(WPText::ListKind))
                         .arg(f.leftMargin())
                         .arg(f.textIndent())
                         .arg(f.tabPositions().size()));
    }
    return parts.join(QLatin1Char('\n'));
}

} // namespace

class TestLists : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void toggle_data();
    void toggle();
    void listParagraphGeometry();
    void markerTakesFirstCharacterFormat();
};

void TestLists::toggle_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("caretBlock");

    const QString b = QStringLiteral("\t") + kB + QStringLiteral("\t");
    const QStringList three{QStringLiteral("alpha"), QStringLiteral("beta"), QStringLiteral("gamma")};
    QTest::newRow("three plain paragraphs get bullets")
        << three << 0 << 16 << int(WPText::ListBullet)
        << QStringList{"*" + b + "alpha", "*" + b + "beta", "*" + b + "gamma"} << 2;
    QTest::newRow("bullets again take them away")
        << QStringList{"*" + b + "alpha", "*" + b + "beta", "*" + b + "gamma"} << 0 << 22 << int(WPText::ListBullet)
        << three << 2;
    QTest::newRow("bullets become numbers 1. 2. 3.")
        << QStringList{"*" + b + "alpha", "*" + b + "beta", "*" + b + "gamma"} << 0 << 22 << int(WPText::ListNumber)
        << QStringList{"#\t1.\talpha", "#\t2.\tbeta", "#\t3.\tgamma"} << 2;
    QTest::newRow("partly bulleted selection: all bulleted, old markers replaced")
        << QStringList{"plain", "*" + b + "dot", "more"} << 0 << 15 << int(WPText::ListBullet)
        << QStringList{"*" + b + "plain", "*" + b + "dot", "*" + b + "more"} << 2;
    QTest::newRow("numbering restarts at the first selected paragraph")
        << QStringList{"#\t1.\tone", "#\t2.\ttwo", "three", "four"} << 16 << 23 << int(WPText::ListNumber)
        << QStringList{"#\t1.\tone", "#\t2.\ttwo", "#\t1.\tthree", "#\t2.\tfour"} << 3;
    QTest::newRow("a tab-led paragraph outside any list keeps its text")
        << QStringList{"\tx\tindented"} << 0 << 3 << int(WPText::ListBullet)
        << QStringList{"*" + b + "\tx\tindented"} << 0;
    QTest::newRow("a marker longer than 12 characters is not a marker")
        << QStringList{"*\tthirteen-char\tword"} << 0 << 3 << int(WPText::ListNumber)
        << QStringList{"#\t1.\t\tthirteen-char\tword"} << 0;
    QTest::newRow("selection ending at a paragraph start leaves that paragraph")
        << three << 0 << 6 << int(WPText::ListBullet)
        << QStringList{"*" + b + "alpha", "beta", "gamma"} << 0;
    QTest::newRow("empty last paragraph gets item 1 only")
        << QStringList{"text", ""} << 5 << 5 << int(WPText::ListBullet)
        << QStringList{"text", "*" + b} << 1;
    QTest::newRow("empty document")
        << QStringList{""} << 0 << 0 << int(WPText::ListNumber) << QStringList{"#\t1.\t"} << 0;
    QTest::newRow("empty paragraph between others is numbered too")
        << QStringList{"a", "", "c"} << 0 << 4 << int(WPText::ListNumber)
        << QStringList{"#\t1.\ta", "#\t2.\t", "#\t3.\tc"} << 2;
}

void TestLists::toggle()
{
    QFETCH(QStringList, before);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, kind);
    QFETCH(QStringList, after);
    QFETCH(int, caretBlock);

    QTextDocument doc;
    build(doc, before);
    const QString original = snapshot(doc);
    doc.clearUndoRedoStacks();
    QTextCursor c(&doc);
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    WPLists::toggleList(c, WPText::ListKindValue(kind));
    QCOMPARE(lines(doc), after);
    // The caret stands at the end of the last list paragraph.
    const QTextBlock end = doc.findBlockByNumber(caretBlock);
    QVERIFY(!c.hasSelection());
    QCOMPARE(c.position(), end.position() + end.length() - 1);
    // One undo step brings everything back.
    doc.undo();
    QVERIFY(!doc.isUndoAvailable());
    QCOMPARE(snapshot(doc), original);
}

void TestLists::listParagraphGeometry()
{
    QTextDocument doc;
    build(doc, {QStringLiteral("item")});
    QTextCursor c(&doc);
    WPLists::toggleList(c, WPText::ListBullet);
    const QTextBlockFormat f = doc.begin().blockFormat();
    const qreal k = WPText::pixelsPerPoint();
    QCOMPARE(f.leftMargin(), 36 * k);
    QCOMPARE(f.textIndent(), -36 * k);
    QCOMPARE(f.tabPositions().size(), 2);
    QCOMPARE(f.tabPositions().at(0).position, 11 * k);
    QCOMPARE(f.tabPositions().at(1).position, 36 * k);
    QCOMPARE(f.tabPositions().at(1).type, QTextOption::LeftTab);
    WPLists::toggleList(c, WPText::ListBullet);
    const QTextBlockFormat plain = doc.begin().blockFormat();
    QCOMPARE(plain.leftMargin(), 0.0);
    QCOMPARE(plain.textIndent(), 0.0);
    QVERIFY(plain.tabPositions().isEmpty());
    QCOMPARE(doc.toPlainText(), QStringLiteral("item"));
}

void TestLists::markerTakesFirstCharacterFormat()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat big;
    WPCommands::putFont(big, QFont(QStringLiteral("DejaVu Sans"), 20));
    big.setForeground(QColor(Qt::blue));
    c.insertText(QStringLiteral("Big"), big);
    WPLists::toggleList(c, WPText::ListNumber);
    const QTextCharFormat marker = WPCommands::formatAt(&doc, 1);
    QCOMPARE(WPCommands::fontOf(marker).pointSizeF(), 20.0);
    QCOMPARE(marker.foreground().color(), QColor(Qt::blue));
}

QTEST_MAIN(TestLists)
#include "tst_lists.moc"
