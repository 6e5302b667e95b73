#include "EditorFixture.h"
#include "core/SettingsStore.h"
#include "core/Spelling.h"
#include "ui/SpellChecker.h"
#include "wordproc/WPCommands.h"
#include "wordproc/WPInsert.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

using Editor = EditorFixture;

// Typing as a writer types: what the bar shows is what comes out, tables
// are worked with Tab, and Undo takes back what a writer expects.
class TestTyping : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void emptyParagraphTypesWhatTheBarShows_data();
    void emptyParagraphTypesWhatTheBarShows();
    void restyledTextStaysRestyled_data();
    void restyledTextStaysRestyled();
    void tabMovesBetweenCells_data();
    void tabMovesBetweenCells();
    void smartDelete_data();
    void smartDelete();
    void smartPaste_data();
    void smartPaste();
    void pastedHtmlStaysWithinBounds_data();
    void pastedHtmlStaysWithinBounds();
    void undoStepsOfTyping_data();
    void undoStepsOfTyping();
    void autocorrect_data();
    void autocorrect();
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

void TestTyping::restyledTextStaysRestyled_data()
{
    // Steps, separated by "|": "S:name" a style, "T:text" typing, "R" Return,
    // "B" bullets, "A:n" select from n to the end ("A:n-m" to m), "E" Ctrl+End, "P:n" the
    // caret put at n, "D" Delete.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<qreal>("size");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<int>("paragraphs");
    const QString essay = QStringLiteral("S:Heading 1|T:Title|R|T:Second|R|T:Third|R|A:6|S:Body");
    QTest::newRow("Body to the end, typed at the end") << essay + "|E" << 12.0 << false << 4;
    QTest::newRow("Body to the end, caret put at the end") << essay + "|P:19" << 12.0 << false << 4;
    QTest::newRow("Body to the end, then bullets") << essay + "|E|B" << 12.0 << false << 4;
    QTest::newRow("Body to the end, bullets on and off") << essay + "|E|B|B" << 12.0 << false << 4;
    QTest::newRow("Body to the end, empty item ended by Return") << essay + "|E|B|R" << 12.0 << false << 4;
    QTest::newRow("Body to the end, Return at the end") << essay + "|E|R|R" << 12.0 << false << 6;
    QTest::newRow("restyled paragraphs deleted") << essay + "|A:6|D" << 12.0 << false << 2;
    QTest::newRow("a restyled paragraph's text deleted") << essay + "|A:6-12|D" << 12.0 << false << 4;
    QTest::newRow("three Returns after a heading") << "S:Heading 1|T:Title|R|R|R" << 20.0 << true << 4;
    QTest::newRow("Returns after a restyled heading")
        << "T:Title|A:0|S:Heading 1|E|R|R" << 20.0 << true << 3;
    QTest::newRow("Body typed after a heading line") << "S:Heading 1|T:Title|R|S:Body|R" << 12.0 << false << 3;
}

// What a writer restyled stays so: the next typed character gets the format
// the bar shows, however the caret reached the place.
void TestTyping::restyledTextStaysRestyled()
{
    QFETCH(QString, steps);
    QFETCH(qreal, size);
    QFETCH(bool, bold);
    QFETCH(int, paragraphs);
    SettingsStore::settings().setValue(Spelling::autocorrectKey, false);
    WPWindowController::applyAutocorrectToAll();
    Editor e;
    QTextDocument* doc = e.doc->storage();
    for (const QString& step : steps.split(QLatin1Char('|'))) {
        const QString arg = step.mid(2);
        if (step.startsWith(QLatin1String("S:")))
            e.window->applyStyle(arg);
        else if (step.startsWith(QLatin1String("T:")))
            e.type(arg);
        else if (step == QLatin1String("R"))
            e.key(Qt::Key_Return);
        else if (step == QLatin1String("B"))
            e.window->toggleList(WPText::ListBullet);
        else if (step.startsWith(QLatin1String("A:")))
            e.select(arg.section(QLatin1Char('-'), 0, 0).toInt(),
                     arg.contains(QLatin1Char('-')) ? arg.section(QLatin1Char('-'), 1).toInt()
                                                    : doc->characterCount() - 1);
        else if (step == QLatin1String("E"))
            QTest::keyClick(e.view(), Qt::Key_End, Qt::ControlModifier);
        else if (step.startsWith(QLatin1String("P:")))
            e.select(arg.toInt(), arg.toInt());
        else if (step == QLatin1String("D"))
            e.key(Qt::Key_Delete);
    }
    QCOMPARE(doc->blockCount(), paragraphs);
    const qreal shownSize = e.state()->fontSize();
    const bool shownBold = e.state()->bold();
    e.type(QStringLiteral("x"));
    const QFont typed = WPCommands::fontOf(WPCommands::formatAt(doc, e.view()->textCursor().position() - 1));
    QCOMPARE(typed.pointSizeF(), size);
    QCOMPARE(typed.bold(), bold);
    QCOMPARE(shownSize, size);
    QCOMPARE(shownBold, bold);
    SettingsStore::settings().remove(Spelling::autocorrectKey);
}

void TestTyping::tabMovesBetweenCells_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("back");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<int>("toColumn");
    QTest::addColumn<int>("rows");
    QTest::newRow("Tab: next cell") << 0 << 0 << false << 0 << 1 << 2;
    QTest::newRow("Tab at a row's end: next row") << 0 << 2 << false << 1 << 0 << 2;
    QTest::newRow("Tab in the last cell: a new row") << 1 << 2 << false << 2 << 0 << 3;
    QTest::newRow("Shift+Tab: previous cell") << 1 << 1 << true << 1 << 0 << 2;
    QTest::newRow("Shift+Tab at a row's start: previous row") << 1 << 0 << true << 0 << 2 << 2;
    QTest::newRow("Shift+Tab in the first cell stays") << 0 << 0 << true << 0 << 0 << 2;
}

void TestTyping::tabMovesBetweenCells()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, back);
    QFETCH(int, toRow);
    QFETCH(int, toColumn);
    QFETCH(int, rows);
    Editor e;
    e.window->insertTable(2, 3);
    // The caret waits after the table: typing goes there, not into a heading.
    e.type(QStringLiteral("after"));
    QTextCursor end(e.doc->storage());
    end.movePosition(QTextCursor::End);
    QCOMPARE(end.block().text(), QStringLiteral("after"));
    QVERIFY(!end.currentTable());

    QTextTable* table = qobject_cast<QTextTable*>(e.doc->storage()->rootFrame()->childFrames().value(0));
    QVERIFY(table);
    e.view()->setTextCursor(table->cellAt(row, column).firstCursorPosition());
    QTest::keyClick(e.view(), back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
    const QTextCursor now = e.view()->textCursor();
    QCOMPARE(table->rows(), rows);
    QCOMPARE(table->cellAt(now).row(), toRow);
    QCOMPARE(table->cellAt(now).column(), toColumn);
    QVERIFY(!table->cellAt(now.selectionStart()).firstCursorPosition().block().text().contains(QLatin1Char('\t')));
    QCOMPARE(now.selectedText(), table->cellAt(toRow, toColumn).firstCursorPosition().block().text());
}

void TestTyping::smartDelete_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("expected");
    QTest::newRow("between words") << "The quick brown fox" << "quick" << "The brown fox";
    QTest::newRow("before a full stop") << "It was quick." << "quick" << "It was.";
    QTest::newRow("at the end of the line") << "Run quick" << "quick" << "Run";
    QTest::newRow("first word") << "Quick brown" << "Quick" << "brown";
    QTest::newRow("part of a word stays plain") << "The quickest fox" << "quick" << "The est fox";
}

// A word selected as a double-click selects it and deleted leaves one space.
void TestTyping::smartDelete()
{
    QFETCH(QString, text);
    QFETCH(QString, word);
    QFETCH(QString, expected);
    Editor e;
    e.type(text);
    const int at = int(text.indexOf(word));
    e.select(at, at + int(word.size()));
    e.key(Qt::Key_Backspace);
    QCOMPARE(e.doc->storage()->toPlainText(), expected);
    e.doc->storage()->undo();
    QCOMPARE(e.doc->storage()->toPlainText(), text);
    // Cut (as the Edit menu calls it, by name) does the same and keeps the word.
    e.select(at, at + int(word.size()));
    QVERIFY(QMetaObject::invokeMethod(e.view(), "cut"));
    QCOMPARE(e.doc->storage()->toPlainText(), expected);
    QCOMPARE(QApplication::clipboard()->text(), word);
}

void TestTyping::smartPaste_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("at");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("expected");
    QTest::newRow("after a word") << "The fox" << 3 << "quick" << "The quick fox";
    QTest::newRow("before a word") << "The fox" << 4 << "quick" << "The quick fox";
    QTest::newRow("between spaces") << "The  fox" << 4 << "quick" << "The quick fox";
    QTest::newRow("inside a word") << "Thefox" << 3 << "quick" << "The quick fox";
    QTest::newRow("with its own spaces") << "The fox" << 3 << " quick" << "The quick fox";
    QTest::newRow("punctuation") << "The fox" << 7 << "." << "The fox.";
}

void TestTyping::smartPaste()
{
    QFETCH(QString, text);
    QFETCH(int, at);
    QFETCH(QString, pasted);
    QFETCH(QString, expected);
    Editor e;
    e.type(text);
    e.select(at, at);
    auto* data = new QMimeData;
    data->setText(pasted);
    QApplication::clipboard()->setMimeData(data);
    e.view()->paste();
    QCOMPARE(e.doc->storage()->toPlainText(), expected);
    e.doc->storage()->undo();
    QCOMPARE(e.doc->storage()->toPlainText(), text);
}

void TestTyping::pastedHtmlStaysWithinBounds_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("html");
    QByteArray wide;
    for (int i = 0; i < 20000; ++i)
        wide += "<td>c</td>";
    const QByteArray deep = "<table><tr><td>a" + QByteArray("<table><tr><td>").repeated(3000) + "deep";
    QTest::newRow("tables nested 3000 deep") << "text/html" << deep;
    QTest::newRow("tags nested 50000 deep") << "text/html" << "<p>a" + QByteArray("<b><i>").repeated(50000) + "deep</p>";
    QTest::newRow("20000 columns") << "text/html" << "<p>a</p><table><tr>" + wide + "<td>deep</td></tr></table>";
    QTest::newRow("Qt's own rich text") << "application/x-qrichtext" << deep;
}

void TestTyping::pastedHtmlStaysWithinBounds()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, html);
    QElapsedTimer timer;
    timer.start();
    Editor e;
    auto* data = new QMimeData;
    data->setData(format, "<html><body>" + html + "</body></html>");
    data->setText(QStringLiteral("plain"));
    QApplication::clipboard()->setMimeData(data);
    e.view()->paste();
    QTextDocument* doc = e.doc->storage();
    QVERIFY(doc->toPlainText().contains(QLatin1String("deep")));
    QVERIFY(!doc->toPlainText().contains(QLatin1String("plain")));
    int depth = 0;
    int widest = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        int here = 0;
        for (QTextFrame* f = QTextCursor(b).currentFrame(); f; f = f->parentFrame()) {
            if (auto* t = qobject_cast<QTextTable*>(f)) {
                ++here;
                widest = std::max(widest, t->columns());
            }
        }
        depth = std::max(depth, here);
    }
    QVERIFY2(depth <= 8, qPrintable(QString::number(depth)));
    QVERIFY2(widest <= 63, qPrintable(QString::number(widest)));
    // Guards against runaway work, not a speed target.
    QVERIFY(timer.elapsed() < 60000);
}

void TestTyping::undoStepsOfTyping_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("afterUndo");
    QTest::newRow("a new word") << "Dear " << 0 << "Anna" << "Dear ";
    QTest::newRow("punctuation stays with its word") << "Dear Anna" << 0 << ", hello" << "Dear Anna, ";
    QTest::newRow("a pause inside a word") << "Ann" << 1100 << "a" << "Ann";
    QTest::newRow("a bold word in between") << "plain " << -1 << "more" << "plain bold ";
}

void TestTyping::undoStepsOfTyping()
{
    QFETCH(QString, first);
    QFETCH(int, pauseMs);
    QFETCH(QString, second);
    QFETCH(QString, afterUndo);
    Editor e;
    e.type(first);
    if (pauseMs > 0)
        QTest::qWait(pauseMs);
    if (pauseMs < 0) {
        // Bold on, a word, bold off: the commands are steps of their own.
        e.window->toggleTrait(WPCommands::Trait::Bold);
        e.type(QStringLiteral("bold "));
        e.window->toggleTrait(WPCommands::Trait::Bold);
    }
    e.type(second);
    e.doc->storage()->undo();
    QCOMPARE(e.doc->storage()->toPlainText(), afterUndo);
}

void TestTyping::autocorrect_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("afterUndo");
    // Nothing corrected: Undo takes back the last word typed.
    QTest::newRow("British spelling") << "It summarises " << "It summarises " << "It ";
    QTest::newRow("American spelling") << "It summarizes " << "It summarizes " << "It ";
    // Corrected: Undo gives back the word as typed, and it is left alone.
    QTest::newRow("misspelt") << "I recieve " << "I receive " << "I recieve ";
    QTest::newRow("misspelt before a full stop") << "I recieve." << "I receive." << "I recieve.";
}

// Autocorrect (on by default) fixes only words no English word list knows;
// Undo straight after gives back the word as typed, and it stays so.
void TestTyping::autocorrect()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, afterUndo);
    if (!SpellChecker::shared().hasSpelling())
        QSKIP("no English word list installed");
    SettingsStore::settings().remove(Spelling::autocorrectKey);
    WPWindowController::applyAutocorrectToAll();
    Editor e;
    e.type(typed);
    // The correction is looked up off the interface thread: it comes a
    // moment later, and a word left alone stays so.
    QTRY_COMPARE(e.doc->storage()->toPlainText(), shown);
    QTest::qWait(300);
    QCOMPARE(e.doc->storage()->toPlainText(), shown);
    QTest::keyClick(e.view(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.doc->storage()->toPlainText(), afterUndo);
    if (!afterUndo.startsWith(QLatin1String("It "))) {
        // Typed again after the word, it stays as the user wants it.
        e.key(Qt::Key_Backspace);
        e.type(afterUndo.right(1));
        QTest::qWait(300);
        QCOMPARE(e.doc->storage()->toPlainText(), afterUndo);
    }
}

QTEST_MAIN(TestTyping)
#include "tst_editor_typing.moc"
