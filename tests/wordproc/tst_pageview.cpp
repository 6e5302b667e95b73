#include "EditorFixture.h"
#include "ui/SpellChecker.h"
#include "ui/SpellHighlighter.h"
#include "ui/TextChecker.h"
#include "wordproc/print/WPPrint.h"
#include "wordproc/views/PageDesk.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <memory>

namespace {

// Red (spelling) or green (grammar) pixels in an image.
int colouredPixels(const QImage& img, bool green)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixel(x, y);
            n += green ? c.green() > 120 && c.red() < 100 && c.blue() < 120
                       : c.red() > 180 && c.green() < 120 && c.blue() < 120;
        }
    return n;
}

// About `pages` pages of plain paragraphs.
void fillPages(QTextDocument* doc, int pages)
{
    QTextCursor c(doc);
    c.beginEditBlock();
    for (int i = 0; i < pages * 11; ++i) {
        if (i)
            c.insertBlock();
        c.insertText(QStringLiteral("Paragraph %1 tells of the river, the bridge and the old mill by the water, "
                                    "and of the people who crossed it every morning on their way to work.")
                         .arg(i));
    }
    c.endEditBlock();
}

// The height of the same text laid out at once, at the view's width.
qreal heightAtOnce(PageTextView* view)
{
    std::unique_ptr<QTextDocument> copy(view->document()->clone());
    copy->setDocumentMargin(view->document()->documentMargin());
    copy->setTextWidth(view->lineWrapColumnOrWidth());
    return copy->documentLayout()->documentSize().height();
}

int unlaidBlocks(const QTextDocument* doc)
{
    int n = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        n += b.layout()->lineCount() == 0;
    return n;
}

// Counts the paints of a window's widgets and the largest painted area.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* window) : m_window(window) { qApp->installEventFilter(this); }
    ~PaintWatch() override { qApp->removeEventFilter(this); }
    int paints = 0;
    qint64 largest = 0;
    QWidget* collectFrom = nullptr; // whose painted region is kept
    QRegion collected;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->window() == m_window) {
            ++paints;
            const QRect r = static_cast<QPaintEvent*>(event)->region().boundingRect();
            largest = std::max(largest, qint64(r.width()) * r.height());
            if (watched == collectFrom)
                collected += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }

private:
    QWidget* m_window;
};

} // namespace

class TestPageView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(SpellChecker::shared().hasSpelling()); }

    void underlinesAreDrawnOverTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("red");
        QTest::addColumn<bool>("green");
        QTest::newRow("misspelt") << QStringLiteral("the recieved letter") << true << false; // no sentence: no grammar
        QTest::newRow("bad grammar") << QStringLiteral("He go to the market every day.") << false << true;
        QTest::newRow("clean") << QStringLiteral("The letter was long.") << false << false;
    }
    void underlinesAreDrawnOverTheText()
    {
        QFETCH(QString, text);
        QFETCH(bool, red);
        QFETCH(bool, green);
        EditorFixture e;
        QTextCursor c(e.doc->storage());
        c.insertText(text); // not typed: automatic correction would mend it
        SpellHighlighter* h = TextChecker::of(e.view())->highlighter();
        QVERIFY(h->isDrawnByEditor());
        h->flushGrammar();
        QTRY_VERIFY(!h->hasPendingGrammar());
        // Drawn, not formats: the paragraph was never laid out again for them.
        for (const QTextLayout::FormatRange& r : e.doc->storage()->firstBlock().layout()->formats())
            QVERIFY(r.format.underlineStyle() != QTextCharFormat::WaveUnderline);
        QApplication::processEvents();
        const QImage img = e.view()->viewport()->grab(QRect(0, 0, e.view()->width(), 80)).toImage();
        QCOMPARE(colouredPixels(img, false) > 4, red);
        QCOMPARE(colouredPixels(img, true) > 4, green);
    }

    // The wave lies under the misspelt word itself, wherever the paragraph
    // puts it: any alignment, indents either side or on the first line,
    // right to left, in a table cell, on a later line of the paragraph.
    void underlineLiesUnderTheWord_data()
    {
        QTest::addColumn<int>("align");
        QTest::addColumn<QList<qreal>>("indents"); // left, right, first line, space before (pixels)
        QTest::addColumn<bool>("rightToLeft");
        QTest::addColumn<bool>("inTable");
        QTest::addColumn<bool>("wrapped");
        QTest::addColumn<QString>("word");
        const QString hebrew = QStringLiteral("\u05e9\u05dc\u05d5\u05dd\u05de\u05e7");
        const QList<qreal> none{0, 0, 0};
        const QList<qreal> left{60, 0, 0};
        const QList<qreal> both{60, 90, 0};
        const QList<qreal> firstLine{0, 0, 48};
        const QList<qreal> hanging{60, 0, -40};
        const QList<qreal> spaced{60, 0, 0, 30};
        struct Row {
            const char* name;
            Qt::Alignment align;
            QList<qreal> indents;
            bool rtl, table, wrapped;
            QString word = QStringLiteral("recieved");
        };
        const Row rows[] = {
            {"left", Qt::AlignLeft, none, false, false, false},
            {"left, indented", Qt::AlignLeft, left, false, false, false},
            {"left, first line", Qt::AlignLeft, firstLine, false, false, false},
            {"centred", Qt::AlignHCenter, none, false, false, false},
            {"centred, indented", Qt::AlignHCenter, left, false, false, false},
            {"centred, both sides", Qt::AlignHCenter, both, false, false, false},
            {"centred, first line", Qt::AlignHCenter, firstLine, false, false, false},
            {"right, indented", Qt::AlignRight, both, false, false, false},
            {"justified, indented, second line", Qt::AlignJustify, left, false, false, true},
            {"centred, hanging, second line", Qt::AlignHCenter, hanging, false, false, true},
            {"space before, double spaced, second line", Qt::AlignHCenter, spaced, false, false, true},
            {"right to left", Qt::AlignLeading, none, true, false, false},
            {"right to left, indented", Qt::AlignLeading, both, true, false, false},
            {"right to left, second line", Qt::AlignLeading, firstLine, true, false, true},
            {"right-to-left word", Qt::AlignLeading, both, true, false, false, hebrew},
            {"right-to-left word, second line", Qt::AlignHCenter, left, true, false, true, hebrew},
            {"right-to-left word in left-to-right text", Qt::AlignHCenter, left, false, false, false, hebrew},
            {"table cell, centred, indented", Qt::AlignHCenter, left, false, true, false},
            {"table cell, second line", Qt::AlignLeft, firstLine, false, true, true},
        };
        for (const Row& r : rows)
            QTest::newRow(r.name) << int(r.align) << r.indents << r.rtl << r.table << r.wrapped << r.word;
    }
    void underlineLiesUnderTheWord()
    {
        QFETCH(int, align);
        QFETCH(QList<qreal>, indents);
        QFETCH(bool, rightToLeft);
        QFETCH(bool, inTable);
        QFETCH(bool, wrapped);
        QFETCH(QString, word);
        EditorFixture e;
        QTextDocument* doc = e.doc->storage();
        QTextCursor c(doc);
        c.insertText(QStringLiteral("A plain line above\n"));
        if (inTable) {
            c.insertTable(1, 2);
            c.insertText(QStringLiteral("cell"));
            c.movePosition(QTextCursor::NextCell);
        }
        QTextBlockFormat f;
        f.setAlignment(Qt::Alignment(align));
        f.setLeftMargin(indents.at(0));
        f.setRightMargin(indents.at(1));
        f.setTextIndent(indents.at(2));
        if (indents.size() > 3) {
            f.setTopMargin(indents.at(3));
            f.setLineHeight(200, QTextBlockFormat::ProportionalHeight);
        }
        f.setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        c.setBlockFormat(f);
        const QString filler = wrapped ? QStringLiteral("the river and the bridge and the mill ").repeated(inTable ? 2 : 5)
                                       : QString();
        const int start = c.positionInBlock() + int(filler.size()) + 4;
        c.insertText(filler + QStringLiteral("and ") + word + QStringLiteral(" them well"));
        const QTextBlock block = c.block();
        SpellHighlighter* h = TextChecker::of(e.view())->highlighter();
        h->flushGrammar();
        QTRY_VERIFY(!h->hasPendingGrammar());
        QTRY_VERIFY(e.view()->isLaidOut());
        const QList<SpellHighlighter::Underline> marks = h->underlines(block);
        QCOMPARE(marks.size(), 1);
        QCOMPARE(marks.first().start, start);
        QCOMPARE(marks.first().length, int(word.size()));
        if (wrapped)
            QVERIFY(block.layout()->lineForTextPosition(start).lineNumber() > 0);
        // Where the word is drawn, from the caret's places either side of it.
        QTextCursor at(block);
        at.setPosition(block.position() + start);
        const QRect before = e.view()->cursorRect(at);
        at.setPosition(block.position() + start + int(word.size()));
        const QRect after = e.view()->cursorRect(at);
        QCOMPARE(before.top(), after.top());
        const int x0 = std::min(before.left(), after.left());
        const int x1 = std::max(before.left(), after.left());
        QVERIFY(x1 - x0 > 20);
        QApplication::processEvents();
        const QImage img = e.view()->viewport()->grab().toImage();
        // The wave's extent, and the foot of the word's letters, which the
        // wave must lie just below (or across a descender).
        int redLeft = img.width(), redRight = -1, redTop = img.height(), red = 0, foot = -1;
        for (int y = before.top(); y < std::min(img.height(), before.bottom() + 6); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QColor p = img.pixel(x, y);
                if (p.red() > 180 && p.green() < 140 && p.blue() < 140) {
                    redLeft = std::min(redLeft, x);
                    redRight = std::max(redRight, x);
                    redTop = std::min(redTop, y);
                    ++red;
                } else if (x > x0 && x < x1 && p.lightness() < 80) {
                    foot = y;
                }
            }
        QVERIFY2(red > 4, "no underline on the word's line");
        const QString where = QStringLiteral("red %1..%2 from %3, word %4..%5 down to %6")
                                  .arg(redLeft).arg(redRight).arg(redTop).arg(x0).arg(x1).arg(foot);
        QVERIFY2(std::abs(redLeft - x0) <= 2 && std::abs(redRight - x1) <= 2, qPrintable(where));
        QVERIFY2(redTop >= foot - 3 && redTop <= foot + 4, qPrintable(where));
        // When its underlines change, the paragraph is drawn again where
        // the word is, not only where the paragraph's box begins.
        PaintWatch watch(e.window.get());
        watch.collectFrom = e.view()->viewport();
        Q_EMIT h->underlinesChanged(block.position(), block.length());
        QTRY_VERIFY(watch.paints > 0);
        const QRect underline(x0, before.top(), x1 - x0 + 1, before.height() + 2);
        QVERIFY2((QRegion(underline) - watch.collected).isEmpty(), qPrintable(where));
    }

    void longTextIsLaidOutAfterTheFirstFrame()
    {
        WPDocument doc;
        fillPages(doc.storage(), 250);
        WPWindowController window(&doc);
        PageTextView* view = window.textView();
        QSignalSpy laidOut(view, &PageTextView::laidOut);
        // The window is there before its text is all laid out; the pages
        // are counted once it is.
        QVERIFY(!view->isLaidOut());
        QVERIFY(unlaidBlocks(view->document()) > 0);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY_WITH_TIMEOUT(view->isLaidOut(), 30000);
        QCOMPARE(laidOut.count(), 1);
        QCOMPARE(unlaidBlocks(view->document()), 0);
        QCOMPARE(view->document()->documentLayout()->documentSize().height(), heightAtOnce(view));
        QTRY_COMPARE(window.state()->pages(), WPPrint::pageCount(*view->document(), view->pageSetup()));
        QVERIFY(window.state()->pages() > 100);
    }

    // An edit while the rest is being laid out ends the layout's own steps
    // early; everything is laid out all the same.
    void typingWhileLayingOut()
    {
        WPDocument doc;
        fillPages(doc.storage(), 250);
        WPWindowController window(&doc);
        window.show();
        PageTextView* view = window.textView();
        QVERIFY(!view->isLaidOut());
        QTest::keyClicks(view, QStringLiteral("Early words. "));
        QTRY_VERIFY_WITH_TIMEOUT(view->isLaidOut(), 30000);
        QCOMPARE(unlaidBlocks(view->document()), 0);
        QCOMPARE(view->document()->documentLayout()->documentSize().height(), heightAtOnce(view));
        QVERIFY(doc.storage()->firstBlock().text().startsWith(QStringLiteral("Early words. ")));
    }

    // The document lives on after its window; its checking must not reach
    // for the editor that is gone.
    void documentOutlivesItsWindow()
    {
        WPDocument doc;
        fillPages(doc.storage(), 30);
        {
            WPWindowController window(&doc);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        QTextCursor(doc.storage()).insertText(QStringLiteral("Teh start. "));
        QTest::qWait(200); // idle checking goes on
        QVERIFY(doc.storage()->firstBlock().text().startsWith(QStringLiteral("Teh")));
    }

    // Taking and losing the focus draws the caret's bar alone when that is
    // all that changes; what the window shows is always what a full redraw
    // would show (nothing of the caret left behind or missing).
    void focusRedrawsOnlyWhatChanges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<bool>("caretOnly");
        QTest::newRow("caret") << QStringLiteral("The letter was long.") << false << true;
        QTest::newRow("empty page") << QString() << false << true;
        QTest::newRow("selection") << QStringLiteral("The letter was long.") << true << false;
        QTest::newRow("right to left") << QStringLiteral("The \u05e9\u05dc\u05d5\u05dd letter.") << false << false;
    }
    void focusRedrawsOnlyWhatChanges()
    {
        QFETCH(QString, text);
        QFETCH(bool, selected);
        QFETCH(bool, caretOnly);
        const int flash = QApplication::cursorFlashTime();
        QApplication::setCursorFlashTime(0); // a steady caret
        {
            EditorFixture e;
            // No underlines: an antialiased wave drawn in part does not
            // match one drawn whole to the last pixel.
            SpellHighlighter* h = TextChecker::of(e.view())->highlighter();
            h->setSpellingEnabled(false);
            h->setGrammarEnabled(false);
            QTextCursor(e.doc->storage()).insertText(text);
            if (selected)
                e.select(0, 4);
            else
                e.select(int(text.size()) / 4, int(text.size()) / 4);
            QApplication::setActiveWindow(e.window.get());
            QTRY_VERIFY(h->isSettled());
            QScreen* screen = e.window->screen();
            const auto shown = [&] { return screen->grabWindow(e.window->winId()).toImage(); };
            const auto fresh = [&] { return e.window->grab().toImage().convertToFormat(shown().format()); };
            const auto setFocus = [&](bool focus) {
                if (focus)
                    e.view()->setFocus();
                else
                    e.view()->clearFocus();
            };
            for (bool focus : {false, true, false, true}) {
                // A paint that a timer of the window's own (a recovery copy,
                // a status recount) happens to send during a busy run is not
                // the focus change's: the change is measured again, and only
                // one that repaints too much every time fails.
                qint64 largest = 0;
                int paints = 0;
                for (int attempt = 0; attempt < 3; ++attempt) {
                    setFocus(!focus);
                    for (int quiet = 0; quiet < 40; ++quiet) {
                        PaintWatch idle(e.window.get());
                        QTest::qWait(50);
                        if (idle.paints == 0)
                            break;
                    }
                    PaintWatch watch(e.window.get());
                    setFocus(focus);
                    QCOMPARE(e.view()->hasFocus(), focus);
                    QTest::qWait(50);
                    largest = watch.largest;
                    paints = watch.paints;
                    if (!caretOnly || largest <= 3 * 40)
                        break;
                }
                QVERIFY(paints > 0);
                if (caretOnly)
                    QVERIFY2(largest <= 3 * 40, qPrintable(QString::number(largest)));
                else
                    QVERIFY(largest > 3 * 40);
                QCOMPARE(shown(), fresh());
            }
        }
        QApplication::setCursorFlashTime(flash);
    }

    // The sheet's side shadows are the same on every row, however tall the
    // sheet (they are filled in bands of rows).
    void sideShadowsAreEvenAllTheWayDown()
    {
        WPDocument doc;
        fillPages(doc.storage(), 3);
        WPWindowController window(&doc);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PageTextView* view = window.textView();
        QTRY_VERIFY_WITH_TIMEOUT(view->isLaidOut(), 30000);
        const QRectF sheet = view->sheetRect();
        QVERIFY(sheet.height() > 1000);
        const QImage desk = view->desk()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int top = int(sheet.top()) + 16;
        const int bottom = std::min(desk.height(), int(sheet.bottom())) - 16;
        for (const int x0 : {int(sheet.left()) - 8, int(sheet.right()) - 1}) {
            const QImage reference = desk.copy(x0, top, 10, 1);
            // Sheet, shadow and desk: a shadow to compare.
            QSet<QRgb> shades;
            for (int x = 0; x < reference.width(); ++x)
                shades.insert(reference.pixel(x, 0));
            QVERIFY(shades.size() >= 4);
            for (int y = top; y < bottom; ++y)
                QVERIFY2(desk.copy(x0, y, 10, 1) == reference, qPrintable(QStringLiteral("row %1").arg(y)));
        }
    }

    // While nothing happens, the blinking caret is all that is drawn.
    void idleRedrawsOnlyTheCaret()
    {
        const int flash = QApplication::cursorFlashTime();
        QApplication::setCursorFlashTime(200);
        {
            EditorFixture e;
            e.type(QStringLiteral("Some words on the page."));
            QApplication::setActiveWindow(e.window.get());
            e.view()->setFocus();
            // Counts, checking and the first blinks settle.
            QTRY_VERIFY(TextChecker::of(e.view())->highlighter()->isSettled());
            QTest::qWait(500);
            PaintWatch watch(e.window.get());
            QTest::qWait(1000);
            QVERIFY2(watch.paints >= 2, "the caret blinks");
            QVERIFY2(watch.largest <= 40 * 40, qPrintable(QString::number(watch.largest)));
        }
        QApplication::setCursorFlashTime(flash);
    }

    // Going to the start of the document shows the top of the first page:
    // the desk above it and its top margin, not just its first line.
    void startOfDocumentShowsTheTopMargin_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Ctrl+Home") << int(Qt::ControlModifier);
        QTest::newRow("Ctrl+Shift+Home") << int(Qt::ControlModifier | Qt::ShiftModifier);
    }
    void startOfDocumentShowsTheTopMargin()
    {
        QFETCH(int, modifiers);
        EditorFixture e;
        fillPages(e.doc->storage(), 3);
        QTRY_VERIFY(e.view()->isLaidOut());
        QScrollBar* bar = e.view()->scrollArea()->verticalScrollBar();
        QTest::keyClick(e.view(), Qt::Key_End, Qt::ControlModifier);
        QTRY_VERIFY(bar->value() > 0);
        QTest::keyClick(e.view(), Qt::Key_Home, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(e.view()->textCursor().position(), 0);
        QCOMPARE(bar->value(), 0);
        // Further moves near the top keep the caret in view as before.
        QTest::keyClick(e.view(), Qt::Key_Down);
        QCOMPARE(bar->value(), 0);
    }
};

QTEST_MAIN(TestPageView)
#include "tst_pageview.moc"
