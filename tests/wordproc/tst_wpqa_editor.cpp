#include "EditorFixture.h"
#include "TestEnvironment.h"
#include "wordproc/WPCommands.h"
#include "wordproc/WPDocument.h"
#include "wordproc/WPLists.h"
#include "wordproc/WPState.h"
#include "wordproc/print/WPPrint.h"
#include "wordproc/WPText.h"
#include "wordproc/views/PageTextView.h"
#include "wordproc/views/WPWindowController.h"

#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <functional>
#include <memory>

// What a user does with the keyboard in a real editor window.

using Command = std::function<void(class WPWindowController*)>;
Q_DECLARE_METATYPE(Command)

namespace {

struct Editor : EditorFixture {
    // Each paragraph's text, with its list kind in front when it has one.
    QStringList paragraphs() const
    {
        QStringList out;
        for (QTextBlock b = doc->storage()->begin(); b.isValid(); b = b.next()) {
            const int kind = WPLists::kindOf(b.blockFormat());
            out << (kind ? QString::number(kind) + QLatin1Char('|') : QString()) + b.text();
        }
        return out;
    }
};

} // namespace

class WpqaEditorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void returnInAList_data();
    void returnInAList();
    void everyCommandIsOneUndoStep_data();
    void everyCommandIsOneUndoStep();
    void statusBarPagesMatchPrint_data();
    void statusBarPagesMatchPrint();
};

void WpqaEditorTest::returnInAList_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("keys"); // text to type, or ⏎ Return, ↑ Up, ⇲ End, ⌫ Undo
    QTest::addColumn<QStringList>("expected");
    const QString ret = QStringLiteral("⏎");
    QTest::newRow("bullets continue")
        << int(WPText::ListBullet) << QStringList{QStringLiteral("one"), ret, QStringLiteral("two")}
        << QStringList{QStringLiteral("1|\t•\tone"), QStringLiteral("1|\t•\ttwo")};
    QTest::newRow("numbers count on")
        << int(WPText::ListNumber) << QStringList{QStringLiteral("a"), ret, QStringLiteral("b"), ret, QStringLiteral("c")}
        << QStringList{QStringLiteral("2|\t1.\ta"), QStringLiteral("2|\t2.\tb"), QStringLiteral("2|\t3.\tc")};
    QTest::newRow("return on an empty item ends the list")
        << int(WPText::ListBullet) << QStringList{QStringLiteral("one"), ret, ret, QStringLiteral("after")}
        << QStringList{QStringLiteral("1|\t•\tone"), QStringLiteral("after")};
    QTest::newRow("an item added in the middle renumbers the rest")
        << int(WPText::ListNumber)
        << QStringList{QStringLiteral("a"), ret, QStringLiteral("b"), QStringLiteral("↑"), QStringLiteral("⇲"), ret,
                       QStringLiteral("x")}
        << QStringList{QStringLiteral("2|\t1.\ta"), QStringLiteral("2|\t2.\tx"), QStringLiteral("2|\t3.\tb")};
    QTest::newRow("return inside the text splits the item")
        << int(WPText::ListBullet) << QStringList{QStringLiteral("onetwo"), QStringLiteral("←3"), ret}
        << QStringList{QStringLiteral("1|\t•\tone"), QStringLiteral("1|\t•\ttwo")};
    QTest::newRow("one undo takes the new item back")
        << int(WPText::ListNumber) << QStringList{QStringLiteral("a"), ret, QStringLiteral("⌫")}
        << QStringList{QStringLiteral("2|\t1.\ta")};
    QTest::newRow("outside a list return is a plain break")
        << int(WPText::ListNone) << QStringList{QStringLiteral("a"), ret, QStringLiteral("b")}
        << QStringList{QStringLiteral("a"), QStringLiteral("b")};
}

void WpqaEditorTest::returnInAList()
{
    QFETCH(int, kind);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, expected);
    Editor e;
    if (kind != WPText::ListNone)
        e.window->toggleList(WPText::ListKindValue(kind));
    for (const QString& k : keys) {
        if (k == QStringLiteral("⏎"))
            e.key(Qt::Key_Return);
        else if (k == QStringLiteral("↑"))
            e.key(Qt::Key_Up);
        else if (k == QStringLiteral("⇲"))
            e.key(Qt::Key_End);
        else if (k.startsWith(QStringLiteral("←")))
            for (int i = k.mid(1).toInt(); i > 0; --i)
                e.key(Qt::Key_Left);
        else if (k == QStringLiteral("⌫"))
            e.doc->storage()->undo();
        else
            e.type(k);
    }
    QCOMPARE(e.paragraphs(), expected);
}

void WpqaEditorTest::everyCommandIsOneUndoStep_data()
{
    QTest::addColumn<Command>("command");
    QTest::newRow("bold") << Command([](WPWindowController* w) { w->toggleTrait(WPCommands::Trait::Bold); });
    QTest::newRow("underline") << Command([](WPWindowController* w) { w->toggleUnderline(); });
    QTest::newRow("strike") << Command([](WPWindowController* w) { w->toggleStrike(); });
    QTest::newRow("size") << Command([](WPWindowController* w) { w->setSize(20); });
    QTest::newRow("colour") << Command([](WPWindowController* w) { w->textColorPicked(QColor(Qt::red)); });
    QTest::newRow("highlight") << Command([](WPWindowController* w) { w->highlightPicked(QColor(Qt::yellow)); });
    QTest::newRow("centre") << Command([](WPWindowController* w) { w->setAlignment(Qt::AlignHCenter); });
    QTest::newRow("spacing") << Command([](WPWindowController* w) { w->setLineSpacing(1.15); });
    QTest::newRow("indent") << Command([](WPWindowController* w) { w->shiftIndent(36); });
    QTest::newRow("title") << Command([](WPWindowController* w) { w->applyStyle(QStringLiteral("Title")); });
    QTest::newRow("bullets") << Command([](WPWindowController* w) { w->toggleList(WPText::ListBullet); });
    QTest::newRow("numbers") << Command([](WPWindowController* w) { w->toggleList(WPText::ListNumber); });
    QTest::newRow("table") << Command([](WPWindowController* w) { w->insertTable(2, 2); });
}

void WpqaEditorTest::everyCommandIsOneUndoStep()
{
    QFETCH(Command, command);
    Editor e;
    e.type(QStringLiteral("First line"));
    e.key(Qt::Key_Return);
    e.type(QStringLiteral("Second line"));
    QTextDocument* text = e.doc->storage();
    const QString before = text->toHtml();
    QTextCursor all(text);
    all.select(QTextCursor::Document);
    e.view()->setTextCursor(all);
    QCoreApplication::processEvents(); // the colour wells' echo of the selection settles
    command(e.window.get());
    QVERIFY(text->toHtml() != before);
    text->undo();
    QCOMPARE(text->toHtml(), before);
}

void WpqaEditorTest::statusBarPagesMatchPrint_data()
{
    QTest::addColumn<int>("lines");
    for (int lines : {1, 40, 45, 50, 55, 90, 100, 200})
        QTest::addRow("%d lines", lines) << lines;
}

void WpqaEditorTest::statusBarPagesMatchPrint()
{
    QFETCH(int, lines);
    Editor e;
    QStringList text;
    for (int i = 0; i < lines; ++i)
        text << QStringLiteral("Line %1 of the document.").arg(i + 1);
    QTextCursor c(e.doc->storage());
    c.insertText(text.join(QChar::ParagraphSeparator));
    e.window->updateCounts();
    const int printed = WPPrint::pageCount(*e.doc->storage(), e.doc->pageSetup());
    QCOMPARE(e.window->state()->pages(), printed);
}

QTEST_MAIN(WpqaEditorTest)
#include "tst_wpqa_editor.moc"
