#include "wordproc/WPCounts.h"

#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

Q_DECLARE_METATYPE(WPPageSetup)

class TestCounts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void words_data();
    void words();
    void characters_data();
    void characters();
    void pages_data();
    void pages();
    void pictureAndParagraphsCountOne();
    void documentCountFollowsEdits();
};

void TestCounts::words_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("Hello, world.") << QStringLiteral("Hello, world.") << 2;
    QTest::newRow("one word") << QStringLiteral("word") << 1;
    QTest::newRow("only punctuation") << QStringLiteral("... ,;: !?") << 0;
    QTest::newRow("contraction is one word") << QStringLiteral("don't stop") << 2;
    QTest::newRow("numbers count") << QStringLiteral("3.5 apples and 12 pears") << 5;
    QTest::newRow("lines and tabs") << QStringLiteral("one\ntwo\tthree\n\n") << 3;
    QTest::newRow("accented") << QStringLiteral("café crème brûlée") << 3;
}

void TestCounts::words()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(WPCounts::words(text), expected);
}

void TestCounts::characters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("Hello, world.") << QStringLiteral("Hello, world.") << 13;
    QTest::newRow("line breaks and spaces count") << QStringLiteral("a b\nc") << 5;
    QTest::newRow("combining accent is one") << QStringLiteral("e\u0301") << 1;
    QTest::newRow("emoji outside the BMP is one") << QStringLiteral("\U0001F600!") << 2;
    QTest::newRow("flag is one") << QStringLiteral("\U0001F1EB\U0001F1F7") << 1;
    QTest::newRow("CRLF is one") << QStringLiteral("a\r\nb") << 3;
}

void TestCounts::characters()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(WPCounts::characters(text), expected);
}

void TestCounts::pages_data()
{
    QTest::addColumn<qreal>("height");
    QTest::addColumn<WPPageSetup>("setup");
    QTest::addColumn<int>("expected");
    const WPPageSetup letter;
    WPPageSetup huge;
    huge.topMargin = huge.bottomMargin = 380; // printable 32 pt: counted per 72
    WPPageSetup absurd;
    absurd.paperSize = QSizeF(612, qInf());
    QTest::newRow("empty document") << 0.0 << letter << 1;
    QTest::newRow("exactly one page") << 648.0 << letter << 1;
    QTest::newRow("one line more") << 662.0 << letter << 2;
    QTest::newRow("ten pages") << 6480.0 << letter << 10;
    QTest::newRow("margins leave under 72 points") << 144.0 << huge << 2;
    QTest::newRow("just over 72 with huge margins") << 145.0 << huge << 3;
    QTest::newRow("not a number") << qQNaN() << letter << 1;
    QTest::newRow("infinite paper") << 1000.0 << absurd << 14;
    QTest::newRow("enormous text stays in range") << 1e300 << letter << 1000000000;
}

void TestCounts::pages()
{
    QFETCH(qreal, height);
    QFETCH(WPPageSetup, setup);
    QFETCH(int, expected);
    QCOMPARE(WPCounts::pages(height, setup), expected);
}

void TestCounts::pictureAndParagraphsCountOne()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("ab"));
    QTextImageFormat picture;
    picture.setName(QStringLiteral("wpimage:x"));
    c.insertImage(picture);
    c.insertBlock();
    c.insertText(QStringLiteral("cd"));
    const QString text = WPCounts::plainText(doc);
    QCOMPARE(WPCounts::characters(text), 6);
    QCOMPARE(WPCounts::words(text), 2);
}

void TestCounts::documentCountFollowsEdits()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("Hello, world."));
    c.insertBlock();
    c.insertText(QStringLiteral("Second line here"));
    auto same = [&] {
        const QString text = WPCounts::plainText(doc);
        const WPCounts::Totals t = WPCounts::count(doc);
        QCOMPARE(t.words, WPCounts::words(text));
        QCOMPARE(t.characters, WPCounts::characters(text));
    };
    same();
    QCOMPARE(WPCounts::count(doc).words, 5);
    // Typing, splitting, joining, undo and redo: the remembered counts follow.
    c.setPosition(5);
    c.insertText(QStringLiteral(" there"));
    same();
    c.insertBlock();
    same();
    c.deletePreviousChar();
    same();
    doc.undo();
    same();
    doc.undo();
    same();
    doc.redo();
    same();
    c.select(QTextCursor::Document);
    c.removeSelectedText();
    same();
    QCOMPARE(WPCounts::count(doc).characters, 0);
}

QTEST_MAIN(TestCounts)
#include "tst_counts.moc"
