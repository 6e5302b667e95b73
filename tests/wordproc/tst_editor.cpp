#include "EditorFixture.h"
#include "core/SettingsStore.h"
#include "ui/AppLook.h"
#include "core/Spelling.h"
#include "ui/TextChecker.h"
#include "wordproc/WPCommands.h"
#include "wordproc/WPDocument.h"
#include "wordproc/WPDocumentSample.h"
#include "wordproc/WPInsert.h"
#include "wordproc/WPState.h"
#include "wordproc/WPText.h"
#include "wordproc/views/PageDesk.h"
#include "wordproc/views/PageTextView.h"
#include "wordproc/views/WPFindBar.h"
#include "wordproc/views/WPHeaderFooterDialog.h"
#include "wordproc/views/WPRuler.h"
#include "wordproc/views/WPStatusBar.h"
#include "wordproc/views/WPWindowController.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextTable>
#include <QSpinBox>
#include <QPushButton>
#include <memory>

namespace {

using Editor = EditorFixture;

} // namespace

class TestEditor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void newWindow();
    void menuCommandsReachTheWindow_data();
    void menuCommandsReachTheWindow();
    void countsFollowTypingAfterAPause();
    void pageBoundary();
    void sheetAndMarks_data();
    void sheetAndMarks();
    void typingFormatAffectsOnlyTyping();
    void colourEchoDoesNotRecolour();
    void highlightAlmostClearRemovesIt();
    void headerFooterDialog();
    void tableOptionsPanel_data();
    void tableOptionsPanel();
    void autocorrectReachesEveryWindow();
    void appendParagraphTwice();
    void findBar();
    void rulerDragSetsIndents();
    void typedAddressBecomesALink();
    void pastedPictureFitsTheText();
    void marginsPresetMarksEdited();
    void absurdPageSetup_data();
    void absurdPageSetup();
    void sampleWindowRenders();
};

void TestEditor::newWindow()
{
    Editor e;
    QCOMPARE(e.window->windowTitle(), QStringLiteral("Untitled[*] \u2014 Word Processor \u00B7 Brindleworks by VEXO"));
    QVERIFY(!e.window->isWindowModified());
    QCOMPARE(e.window->size(), QSize(980, 900));
    QCOMPARE(e.window->minimumSize(), QSize(760, 420));
    QCOMPARE(e.state()->words(), 0);
    QCOMPARE(e.state()->characters(), 0);
    QCOMPARE(e.state()->pages(), 1);
    auto* bar = e.window->findChild<WPStatusBar*>();
    QVERIFY(bar);
    QCOMPARE(bar->text(), QStringLiteral("0 words 0 characters 1 page"));
    QCOMPARE(e.state()->fontSize(), 12.0);
    QCOMPARE(e.state()->fontFamily(), WPCommands::defaultFont().family());
    QCOMPARE(e.window->focusWidget(), static_cast<QWidget*>(e.view()));
    QVERIFY(!e.doc->storage()->isUndoAvailable());
    QCOMPARE(e.doc->storage()->defaultFont().pointSizeF(), 12.0);
    e.type(QStringLiteral("x"));
    QVERIFY(e.window->isWindowModified());
}

void TestEditor::menuCommandsReachTheWindow_data()
{
    // The Format and Edit menu items send these names along the focus chain.
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("tag");
    QTest::addColumn<QString>("check");
    QTest::newRow("Bold") << "addFontTrait" << 2 << "bold";
    QTest::newRow("Italic") << "addFontTrait" << 1 << "italic";
    QTest::newRow("Underline") << "underline" << 0 << "underline";
    QTest::newRow("Bigger") << "modifyFont" << 3 << "13";
    QTest::newRow("Smaller") << "modifyFont" << 4 << "11";
    QTest::newRow("Center") << "alignCenter" << 0 << "center";
    QTest::newRow("Align Right") << "alignRight" << 0 << "right";
    QTest::newRow("Justify") << "alignJustified" << 0 << "justify";
    QTest::newRow("Bulleted List") << "toggleBullets" << 0 << "bullet";
    QTest::newRow("Numbered List") << "toggleNumbers" << 0 << "number";
    QTest::newRow("Insert Table") << "insertTable" << 0 << "table";
    QTest::newRow("Find") << "performTextFinderAction" << 1 << "find";
    QTest::newRow("Find and Replace") << "performTextFinderAction" << 12 << "replace";
    for (const char* name : {"orderFrontFontPanel", "orderFrontColorPanel", "orderFrontListPanel",
                             "orderFrontTablePanel", "insertImage", "editHeaderFooter", "exportPDF", "alignLeft"})
        QTest::newRow(name) << name << 0 << "";
}

void TestEditor::menuCommandsReachTheWindow()
{
    QFETCH(QString, action);
    QFETCH(int, tag);
    QFETCH(QString, check);
    Editor e;
    const QMetaObject* mo = e.window->metaObject();
    const bool withItem = mo->indexOfSlot(QByteArray(action.toLatin1() + "(QAction*)").constData()) >= 0;
    const bool plain = mo->indexOfSlot(QByteArray(action.toLatin1() + "()").constData()) >= 0;
    QVERIFY2(withItem || plain, qPrintable(action));
    if (check.isEmpty())
        return;
    e.type(QStringLiteral("word"));
    e.select(0, 4);
    QTRY_VERIFY(!e.state()->suppressColorEvents);
    QAction item;
    item.setProperty("bwTag", tag);
    if (withItem)
        QMetaObject::invokeMethod(e.window.get(), action.toLatin1().constData(), Q_ARG(QAction*, &item));
    else
        QMetaObject::invokeMethod(e.window.get(), action.toLatin1().constData());
    QTextDocument* doc = e.doc->storage();
    const QFont font = WPCommands::fontOf(WPCommands::formatAt(doc, 1));
    const Qt::Alignment align = doc->begin().blockFormat().alignment();
    if (check == QLatin1String("bold"))
        QVERIFY(font.bold() && !font.italic());
    else if (check == QLatin1String("italic"))
        QVERIFY(font.italic() && !font.bold());
    else if (check == QLatin1String("underline"))
        QCOMPARE(WPCommands::underlineStyle(WPCommands::formatAt(doc, 1)), 1);
    else if (check == QLatin1String("13") || check == QLatin1String("11"))
        QCOMPARE(font.pointSizeF(), check.toDouble());
    else if (check == QLatin1String("center"))
        QCOMPARE(align, Qt::AlignHCenter);
    else if (check == QLatin1String("right"))
        QCOMPARE(align, Qt::AlignRight);
    else if (check == QLatin1String("justify"))
        QCOMPARE(align, Qt::AlignJustify);
    else if (check == QLatin1String("bullet"))
        QVERIFY(doc->toPlainText().startsWith(QStringLiteral("\t\u2022\t")));
    else if (check == QLatin1String("number"))
        QVERIFY(doc->toPlainText().startsWith(QStringLiteral("\t1.\t")));
    else if (check == QLatin1String("table"))
        QVERIFY(!e.view()->textCursor().currentTable() && doc->rootFrame()->childFrames().size() == 1);
    else if (check == QLatin1String("find"))
        QVERIFY(e.window->findBar()->isVisible() && !e.window->findBar()->replaceShown());
    else if (check == QLatin1String("replace"))
        QVERIFY(e.window->findBar()->replaceShown());
    QVERIFY(e.window->validateAction(action) || action == QLatin1String("orderFrontTablePanel"));
}

void TestEditor::countsFollowTypingAfterAPause()
{
    Editor e;
    e.type(QStringLiteral("Hello, world."));
    // Not at once: the recount waits for typing to pause.
    QCOMPARE(e.state()->words(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(e.state()->words(), 2, 3000);
    QCOMPARE(e.state()->characters(), 13);
    QCOMPARE(WPStatusBar::wordsText(1), QStringLiteral("1 words"));
    QCOMPARE(WPStatusBar::pagesText(1), QStringLiteral("1 page"));
    QCOMPARE(WPStatusBar::pagesText(2), QStringLiteral("2 pages"));
    QCOMPARE(WPStatusBar::charactersText(12345), QStringLiteral("12345 characters"));
}

void TestEditor::pageBoundary()
{
    Editor e;
    QTextCursor c(e.doc->storage());
    const qreal usable = e.view()->pageSetup().textHeight();
    int lines = 0;
    // Fill exactly up to a page: one line more goes over.
    while (true) {
        c.movePosition(QTextCursor::End);
        if (lines > 0)
            c.insertBlock();
        c.insertText(QStringLiteral("line"));
        ++lines;
        e.window->updateCounts();
        if (e.view()->usedHeightPoints() > usable)
            break;
        QCOMPARE(e.state()->pages(), 1);
    }
    QCOMPARE(e.state()->pages(), 2);
    QVERIFY(lines > 20);
    // Narrower top and bottom margins: back to one page at once, no edit.
    WPPageSetup setup = e.doc->pageSetup();
    setup.topMargin = setup.bottomMargin = 36;
    e.doc->setPageSetup(setup);
    QCOMPARE(e.state()->pages(), 1);
}

void TestEditor::sheetAndMarks_data()
{
    QTest::addColumn<int>("windowWidth");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<int>("paragraphs");
    QTest::newRow("wide window: sheet centred") << 1400 << false << 120;
    QTest::newRow("narrow window: 28 from the left") << 760 << false << 120;
    QTest::newRow("landscape") << 1400 << true << 120;
    QTest::newRow("empty document: no mark") << 980 << false << 0;
}

void TestEditor::sheetAndMarks()
{
    QFETCH(int, windowWidth);
    QFETCH(bool, landscape);
    QFETCH(int, paragraphs);
    Editor e;
    e.window->resize(windowWidth, 900);
    if (landscape) {
        WPPageSetup setup = e.doc->pageSetup();
        setup.paperSize = QSizeF(792, 612);
        e.doc->setPageSetup(setup);
    }
    QTextCursor c(e.doc->storage());
    for (int i = 0; i < paragraphs; ++i) {
        c.insertText(QStringLiteral("Paragraph %1 of the marks test.").arg(i));
        c.insertBlock();
    }
    QApplication::processEvents();
    e.view()->relayout();
    const qreal k = WPText::pixelsPerPoint();
    const WPPageSetup setup = e.view()->pageSetup();
    const QRectF sheet = e.view()->sheetRect();
    const int visibleW = e.view()->scrollArea()->viewport()->width();
    QCOMPARE(sheet.width(), setup.paperSize.width() * k);
    // The desk shows 28 points of grey above the sheet and at least beside it.
    const qreal gap = 28 * k;
    if (visibleW > sheet.width() + 2 * gap)
        QVERIFY(qAbs(sheet.center().x() - visibleW / 2.0) <= 1);
    else
        QCOMPARE(sheet.left(), gap);
    QCOMPARE(sheet.top(), gap);
    QVERIFY(sheet.height() >= setup.paperSize.height() * k);
    // The text sits one margin inside the sheet, exactly the printable width.
    const QPoint textTopLeft = e.view()->mapTo(e.view()->desk(), QPoint(0, 0));
    QVERIFY(qAbs(textTopLeft.x() + e.doc->storage()->documentMargin() - (sheet.left() + setup.leftMargin * k)) <= 1);
    QCOMPARE(e.doc->storage()->textWidth(), std::round(setup.textWidth() * k + 2 * e.doc->storage()->documentMargin()));

    const QList<qreal> marks = e.view()->desk()->markPositions();
    const qreal usable = (setup.paperSize.height() - setup.topMargin - setup.bottomMargin) * k;
    if (paragraphs == 0) {
        QVERIFY(marks.isEmpty());
        return;
    }
    // A mark just above the first line of every page after the first, as
    // print cuts the text: no page is taller than the printable height.
    QVERIFY(marks.size() >= 1);
    const QList<qreal> starts = e.view()->pageStarts();
    const qreal textTop = e.view()->y();
    QVERIFY(marks.first() <= gap + setup.topMargin * k + usable);
    QVERIFY(marks.first() > gap + setup.topMargin * k + usable - 40);
    for (int i = 0; i < marks.size(); ++i) {
        if (i + 1 < starts.size())
            QCOMPARE(marks.at(i), textTop + starts.at(i + 1));
        if (i > 0)
            QVERIFY(marks.at(i) - marks.at(i - 1) <= usable + 0.01);
    }
    QVERIFY(marks.last() < sheet.bottom() - 4);
}

void TestEditor::typingFormatAffectsOnlyTyping()
{
    Editor e;
    e.type(QStringLiteral("ab"));
    e.window->toggleUnderline();
    e.window->toggleTrait(WPCommands::Trait::Bold);
    QVERIFY(e.state()->underline());
    QVERIFY(e.state()->bold());
    e.type(QStringLiteral("cd"));
    QTextDocument* doc = e.doc->storage();
    QCOMPARE(WPCommands::underlineStyle(WPCommands::formatAt(doc, 0)), 0);
    QVERIFY(!WPCommands::fontOf(WPCommands::formatAt(doc, 1)).bold());
    QCOMPARE(WPCommands::underlineStyle(WPCommands::formatAt(doc, 2)), 1);
    QVERIFY(WPCommands::fontOf(WPCommands::formatAt(doc, 3)).bold());
    // The toolbar state follows the selection.
    e.select(0, 1);
    QVERIFY(!e.state()->bold());
    e.select(2, 3);
    QVERIFY(e.state()->bold());
}

void TestEditor::colourEchoDoesNotRecolour()
{
    Editor e;
    e.type(QStringLiteral("blue red"));
    e.select(0, 4);
    QTRY_VERIFY(!e.state()->suppressColorEvents);
    e.window->textColorPicked(QColor(Qt::blue));
    e.select(5, 8);
    // Reading the selection writes the colour; a colour well reports it back.
    QVERIFY(e.state()->suppressColorEvents);
    QCOMPARE(e.state()->color(), QColor(Qt::black));
    e.select(0, 4);
    QCOMPARE(e.state()->color(), QColor(Qt::blue));
    e.select(5, 8);
    e.window->textColorPicked(QColor(Qt::blue));
    QCOMPARE(WPCommands::formatAt(e.doc->storage(), 6).foreground().color(), QColor(Qt::black));
    QTRY_VERIFY(!e.state()->suppressColorEvents);
    e.window->textColorPicked(QColor(Qt::red));
    QCOMPARE(WPCommands::formatAt(e.doc->storage(), 6).foreground().color(), QColor(Qt::red));
    QCOMPARE(WPCommands::formatAt(e.doc->storage(), 1).foreground().color(), QColor(Qt::blue));
}

void TestEditor::highlightAlmostClearRemovesIt()
{
    Editor e;
    e.type(QStringLiteral("marked"));
    e.select(0, 6);
    QTRY_VERIFY(!e.state()->suppressColorEvents);
    e.window->highlightPicked(QColor(255, 255, 0));
    QCOMPARE(WPCommands::formatAt(e.doc->storage(), 2).background().color(), QColor(255, 255, 0));
    QTRY_VERIFY(!e.state()->suppressColorEvents);
    QColor faint(255, 255, 0);
    faint.setAlphaF(0.04f);
    e.window->highlightPicked(faint);
    QCOMPARE(WPCommands::formatAt(e.doc->storage(), 2).background().style(), Qt::NoBrush);
}

void TestEditor::headerFooterDialog()
{
    Editor e;
    e.window->editHeaderFooter();
    auto* dialog = e.window->findChild<WPHeaderFooterDialog*>();
    QVERIFY(dialog);
    QCOMPARE(dialog->headerField()->placeholderText(), QStringLiteral("Header (e.g. {title})"));
    QCOMPARE(dialog->footerField()->placeholderText(), QStringLiteral("Footer (e.g. Page {page} of {pages})"));
    dialog->footerField()->setText(QStringLiteral("Page {page} of {pages}"));
    dialog->reject();
    QCOMPARE(e.doc->footerText(), QString());
    QVERIFY(!e.doc->storage()->isModified());

    QApplication::processEvents();
    e.window->editHeaderFooter();
    dialog = e.window->findChild<WPHeaderFooterDialog*>();
    QVERIFY(dialog);
    dialog->footerField()->setText(QStringLiteral("Page {page} of {pages}"));
    dialog->accept();
    QCOMPARE(e.doc->footerText(), QStringLiteral("Page {page} of {pages}"));
    QCOMPARE(e.doc->headerText(), QString());
    QVERIFY(e.doc->storage()->isModified());
}

void TestEditor::tableOptionsPanel_data()
{
    QTest::addColumn<QString>("where"); // "text", "table" or "read-only"
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("tableControls");
    QTest::addColumn<int>("rows"); // of a table inserted from the panel; 0: none
    QTest::addColumn<int>("cols");
    QTest::newRow("caret in text") << "text" << true << false << 0 << 0;
    QTest::newRow("caret in text, insert 2 × 4") << "text" << true << false << 2 << 4;
    QTest::newRow("caret in a table") << "table" << true << true << 0 << 0;
    QTest::newRow("read-only text") << "read-only" << false << false << 0 << 0;
}

// "Table Options…" always opens its panel where the text can be edited;
// outside a table the panel offers a new table at the caret, and once that
// is in, its other controls work on it.
void TestEditor::tableOptionsPanel()
{
    QFETCH(QString, where);
    QFETCH(bool, opens);
    QFETCH(bool, tableControls);
    QFETCH(int, rows);
    QFETCH(int, cols);
    Editor e;
    e.type(QStringLiteral("Before"));
    if (where == QLatin1String("table")) {
        QTextCursor end(e.doc->storage());
        end.movePosition(QTextCursor::End);
        e.view()->setTextCursor(WPInsert::insertTable(end, 2, 2)->cellAt(1, 1).firstCursorPosition());
    }
    e.view()->setReadOnly(where == QLatin1String("read-only"));
    QCOMPARE(e.window->validateAction(QStringLiteral("orderFrontTablePanel")), opens);
    e.window->orderFrontTablePanel();
    auto* panel = e.window->findChild<QDialog*>(QStringLiteral("wpTableOptions"));
    QCOMPARE(panel != nullptr, opens);
    if (!panel)
        return;
    auto* borders = panel->findChild<QCheckBox*>();
    auto* insert = panel->findChild<QPushButton*>(QStringLiteral("newTableInsert"));
    QVERIFY(borders && insert);
    QCOMPARE(borders->isEnabled(), tableControls);
    QCOMPARE(insert->isEnabled(), !tableControls);
    if (rows > 0) {
        panel->findChild<QSpinBox*>(QStringLiteral("newTableRows"))->setValue(rows);
        panel->findChild<QSpinBox*>(QStringLiteral("newTableColumns"))->setValue(cols);
        insert->click();
        QTextTable* table = e.view()->textCursor().currentTable();
        QVERIFY(table);
        QCOMPARE(table->rows(), rows);
        QCOMPARE(table->columns(), cols);
        QVERIFY(borders->isEnabled() && borders->isChecked() && !insert->isEnabled());
        QVERIFY(e.doc->storage()->toPlainText().startsWith(QStringLiteral("Before")));
        // One undo step takes the new table away again.
        e.doc->storage()->undo();
        QCOMPARE(e.doc->storage()->rootFrame()->childFrames().size(), 0);
    }
    panel->accept();
}

void TestEditor::autocorrectReachesEveryWindow()
{
    Editor a;
    Editor b;
    QSettings& s = SettingsStore::settings();
    s.setValue(Spelling::autocorrectKey, false);
    WPWindowController::applyAutocorrectToAll();
    for (Editor* e : {&a, &b}) {
        const TextCheckingSwitches sw = TextChecker::of(e->view())->switches();
        QVERIFY(!sw.automaticSpellingCorrection);
        QVERIFY(!sw.automaticQuoteSubstitution);
        QVERIFY(sw.continuousSpellChecking);
        QVERIFY(sw.grammarChecking);
        QVERIFY(!e->state()->autocorrect());
    }
    WPWindowController::toggleAutocorrectSetting();
    QCOMPARE(s.value(Spelling::autocorrectKey).toBool(), true);
    for (Editor* e : {&a, &b}) {
        QVERIFY(TextChecker::of(e->view())->switches().automaticSpellingCorrection);
        QVERIFY(e->state()->autocorrect());
    }
    // Smart quotes follow the switch.
    a.type(QStringLiteral("\"hi\""));
    QCOMPARE(a.doc->storage()->toPlainText(), QStringLiteral("\u201Chi\u201D"));
    s.remove(Spelling::autocorrectKey);
}

void TestEditor::appendParagraphTwice()
{
    Editor e;
    e.type(QStringLiteral("Notes"));
    const QTextDocumentFragment sent = QTextDocumentFragment::fromHtml(QStringLiteral("<b>Smith, J. (2020).</b>"));
    e.window->appendParagraph(sent);
    e.window->appendParagraph(sent);
    QCOMPARE(e.doc->storage()->toPlainText(),
             QStringLiteral("Notes\nSmith, J. (2020).\nSmith, J. (2020).\n"));
    QCOMPARE(e.view()->textCursor().position(), e.doc->storage()->characterCount() - 1);
    e.doc->storage()->undo();
    QCOMPARE(e.doc->storage()->toPlainText(), QStringLiteral("Notes\nSmith, J. (2020).\n"));
}

void TestEditor::findBar()
{
    Editor e;
    e.type(QStringLiteral("one fish two fish red fish"));
    e.window->showFinder(1);
    WPFindBar* bar = e.window->findBar();
    QVERIFY(bar->isVisible());
    QVERIFY(!bar->replaceShown());
    QTest::keyClicks(bar->searchField(), QStringLiteral("fish"));
    QCOMPARE(bar->matchCount(), 3);
    QCOMPARE(e.view()->extraSelections().size(), 3);
    QCOMPARE(e.view()->textCursor().selectedText(), QStringLiteral("fish"));
    const int first = e.view()->textCursor().selectionStart();
    e.window->showFinder(2);
    QVERIFY(e.view()->textCursor().selectionStart() > first);
    e.window->showFinder(3);
    QCOMPARE(e.view()->textCursor().selectionStart(), first);
    e.select(9, 12);
    e.window->showFinder(7);
    QCOMPARE(bar->searchField()->text(), QStringLiteral("two"));
    e.window->showFinder(12);
    QVERIFY(bar->replaceShown());
    bar->searchField()->setText(QStringLiteral("fish"));
    bar->replaceField()->setText(QStringLiteral("cat"));
    QCOMPARE(bar->replaceAll(), 3);
    QCOMPARE(e.doc->storage()->toPlainText(), QStringLiteral("one cat two cat red cat"));
    QCOMPARE(bar->matchCount(), 0);

    e.doc->storage()->undo();
    QCOMPARE(e.doc->storage()->toPlainText(), QStringLiteral("one fish two fish red fish"));
    // Marks follow typing shortly after.
    QTRY_COMPARE(bar->matchCount(), 3);
    QTextCursor end(e.doc->storage());
    end.movePosition(QTextCursor::End);
    e.view()->setTextCursor(end);
    e.type(QStringLiteral(" fish"));
    QTRY_COMPARE(bar->matchCount(), 4);
}

void TestEditor::rulerDragSetsIndents()
{
    Editor e;
    e.type(QStringLiteral("A paragraph to indent."));
    auto* ruler = e.window->findChild<WPRuler*>();
    QVERIFY(ruler);
    e.doc->storage()->clearUndoRedoStacks();
    const int y = ruler->height() - 3; // the indent marker sits at the bottom
    QTest::mousePress(ruler, Qt::LeftButton, {}, QPoint(int(ruler->xFor(0)), y));
    QTest::mouseMove(ruler, QPoint(int(ruler->xFor(36)), y));
    QTest::mouseRelease(ruler, Qt::LeftButton, {}, QPoint(int(ruler->xFor(36)), y));
    const QTextBlockFormat f = e.doc->storage()->begin().blockFormat();
    // Snapped to the ruler's eighths of an inch or millimetres.
    QVERIFY(qAbs(f.leftMargin() - WPText::toPixels(36)) <= WPText::toPixels(3));
    QCOMPARE(f.textIndent(), -f.leftMargin());
    e.doc->storage()->undo();
    QVERIFY(!e.doc->storage()->isUndoAvailable());
    QCOMPARE(e.doc->storage()->begin().blockFormat().leftMargin(), 0.0);
    // A press away from the markers changes nothing.
    QTest::mouseClick(ruler, Qt::LeftButton, {}, QPoint(int(ruler->xFor(200)), y));
    QVERIFY(!e.doc->storage()->isUndoAvailable());
}

void TestEditor::typedAddressBecomesALink()
{
    Editor e;
    // Automatic correction (on by default) leaves addresses alone.
    QVERIFY(e.state()->autocorrect());
    e.type(QStringLiteral("Visit https://example.org/docs now or www.exampel.com today"));
    QCOMPARE(e.doc->storage()->toPlainText(),
             QStringLiteral("Visit https://example.org/docs now or www.exampel.com today"));
    const QTextCharFormat link = WPCommands::formatAt(e.doc->storage(), 8);
    QVERIFY(link.isAnchor());
    QCOMPARE(link.anchorHref(), QStringLiteral("https://example.org/docs"));
    QVERIFY(!WPCommands::formatAt(e.doc->storage(), 31).isAnchor());
    QCOMPARE(WPCommands::formatAt(e.doc->storage(), 40).anchorHref(), QStringLiteral("https://www.exampel.com"));
}

void TestEditor::pastedPictureFitsTheText()
{
    Editor e;
    QImage wide(1600, 400, QImage::Format_RGB32);
    wide.fill(Qt::red);
    QApplication::clipboard()->setImage(wide);
    e.view()->paste();
    const QTextCharFormat f = WPCommands::formatAt(e.doc->storage(), 0);
    QVERIFY(f.isImageFormat());
    QCOMPARE(f.doubleProperty(WPText::PictureWidthPt), e.doc->pageSetup().textWidth());
    QCOMPARE(f.doubleProperty(WPText::PictureHeightPt), 400 * 468.0 / 1600);
}

void TestEditor::marginsPresetMarksEdited()
{
    Editor e;
    e.window->setMargins(72, 144);
    const WPPageSetup s = e.doc->pageSetup();
    QCOMPARE(s.topMargin, 72.0);
    QCOMPARE(s.bottomMargin, 72.0);
    QCOMPARE(s.leftMargin, 144.0);
    QCOMPARE(s.rightMargin, 144.0);
    QCOMPARE(s.paperSize, QSizeF(612, 792));
    QVERIFY(e.doc->storage()->isModified());
    QCOMPARE(e.view()->pageSetup(), s);
}

void TestEditor::absurdPageSetup_data()
{
    QTest::addColumn<QSizeF>("paper");
    QTest::addColumn<qreal>("margin");
    QTest::newRow("margins wider than the paper") << QSizeF(612, 792) << 500.0;
    QTest::newRow("not a number") << QSizeF(qQNaN(), 792) << qQNaN();
    QTest::newRow("huge paper") << QSizeF(1e300, 1e300) << 72.0;
    QTest::newRow("negative margins") << QSizeF(612, 792) << -1e12;
    QTest::newRow("zero paper") << QSizeF(0, 0) << 0.0;
}

void TestEditor::absurdPageSetup()
{
    QFETCH(QSizeF, paper);
    QFETCH(qreal, margin);
    Editor e;
    e.type(QStringLiteral("Some text that needs a page."));
    WPPageSetup setup;
    setup.paperSize = paper;
    setup.topMargin = setup.bottomMargin = setup.leftMargin = setup.rightMargin = margin;
    e.doc->setPageSetup(setup);
    QApplication::processEvents();
    QVERIFY(e.state()->pages() >= 1);
    const QRectF sheet = e.view()->sheetRect();
    QVERIFY(std::isfinite(sheet.width()) && sheet.width() > 0 && sheet.width() < QWIDGETSIZE_MAX);
    QVERIFY(e.view()->width() > 0);
    QVERIFY(e.view()->desk()->markPositions().size() < 100000);
    e.window->grab();
}

void TestEditor::sampleWindowRenders()
{
    // The program's own look (its fonts and palette), as the snapshot has it.
    AppLook::apply(*qApp);
    Editor e;
    WPDocumentSample::fill(*e.doc);
    e.view()->setTextCursor(QTextCursor(e.doc->storage()));
    e.view()->scrollArea()->verticalScrollBar()->setValue(0);
    e.window->updateCounts();
    QApplication::processEvents();
    QVERIFY(e.state()->pages() >= 2);
    QVERIFY(e.view()->desk()->markPositions().size() >= 1);
    const QImage shot = e.window->grab().toImage();
    const QString out = qEnvironmentVariable("BW_EDITOR_PNG");
    if (!out.isEmpty())
        shot.save(out);
    // Desk at the left edge of the page area, white sheet inside it.
    const QPoint deskPoint = e.view()->scrollArea()->mapTo(e.window.get(), QPoint(5, 200));
    const QRectF sheet = e.view()->sheetRect();
    const QPoint sheetPoint = e.view()->desk()->mapTo(e.window.get(), QPoint(int(sheet.left()) + 20, 200));
    QCOMPARE(shot.pixelColor(deskPoint).rgb(), QColor::fromRgbF(0.8f, 0.8f, 0.79f).rgb());
    QCOMPARE(shot.pixelColor(sheetPoint).rgb(), QColor(Qt::white).rgb());
    // Scrolled to the end of the first page: the dashed mark and "Page 2".
    const qreal mark = e.view()->desk()->markPositions().first();
    e.view()->scrollArea()->verticalScrollBar()->setValue(int(mark) - 300);
    QApplication::processEvents();
    const QImage boundary = e.window->grab().toImage();
    if (!out.isEmpty())
        boundary.save(QString(out).replace(QLatin1String(".png"), QLatin1String("-page2.png")));
}

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
