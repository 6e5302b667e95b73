#include "EditorFixture.h"
#include "wordproc/WPCommands.h"
#include "wordproc/WPInsert.h"

#include <QApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>

using Editor = EditorFixture;

// Typing as a writer types: what the bar shows is what comes out, tables
// are worked with Tab, and Undo takes back what a writer expects.
class TestTyping : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void emptyParagraphTypesWhatTheBarShows_data();
    void emptyParagraphTypesWhatTheBarShows();
};

void TestTyping::emptyParagraphTypesWhatTheBarShows_data()
{
    QTest::addColumn<bool>("typed");
    QTest::addColumn<int>("returns");
    QTest::newRow("Return after a heading") << true << 1;
    QTest::newRow("two Returns after a heading") << true << 2;
    QTest::newRow("caret put into an empty line between heading and body") << false << 1;
}

void TestTyping::emptyParagraphTypesWhatTheBarShows()
{
    QFETCH(bool, typed);
    QFETCH(int, returns);
    Editor e;
    e.type(QStringLiteral("Letter"));
    e.select(0, 6);
    e.window->applyStyle(QStringLiteral("Heading 1"));
    QTextCursor end(e.doc->storage());
    end.movePosition(QTextCursor::End);
    e.view()->setTextCursor(end);
    if (typed) {
        for (int i = 0; i < returns; ++i)
            e.key(Qt::Key_Return);
    } else {
        QTextCursor c(e.doc->storage());
        c.movePosition(QTextCursor::End);
        c.insertBlock();
        c.insertBlock(QTextBlockFormat(), QTextCharFormat());
        c.insertText(QStringLiteral("Body"), QTextCharFormat());
        c.setPosition(7);
        e.view()->setTextCursor(c);
    }
    const qreal shownSize = e.state()->fontSize();
    const bool shownBold = e.state()->bold();
    e.type(QStringLiteral("x"));
    const int at = e.view()->textCursor().position() - 1;
    const QFont typedFont = WPCommands::fontOf(WPCommands::formatAt(e.doc->storage(), at));
    QCOMPARE(typedFont.pointSizeF(), shownSize);
    QCOMPARE(typedFont.bold(), shownBold);
}

QTEST_MAIN(TestTyping)
#include "tst_editor_typing.moc"
