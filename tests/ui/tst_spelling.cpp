#include "TestEnvironment.h"
#include "core/SettingsStore.h"
#include "ui/AppLook.h"
#include "ui/FieldSpelling.h"
#include "ui/SpellCheckingWindow.h"
#include "ui/SpellChecker.h"
#include "ui/SpellHighlighter.h"
#include "ui/SpellLineEdit.h"
#include "ui/SpellTextView.h"
#include "ui/SpellingPanel.h"
#include "core/Spelling.h"
#include "ui/TextChecker.h"

#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <QLineEdit>
#include <QMenu>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBrowser>
#include <QAbstractTextDocumentLayout>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QVBoxLayout>

using Range = SpellChecker::Range;
Q_DECLARE_METATYPE(QList<Range>)

namespace {

// Counts the blocks the highlighter looks at.
class CountingHighlighter : public SpellHighlighter {
public:
    using SpellHighlighter::SpellHighlighter;
    int calls = 0;

protected:
    void highlightBlock(const QString& text) override
    {
        ++calls;
        SpellHighlighter::highlightBlock(text);
    }
};

// The underline colours the highlighter gave a block, by character.
QList<QColor> underlineColours(const QTextBlock& block)
{
    QList<QColor> out(block.length());
    for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
        if (r.format.underlineStyle() != QTextCharFormat::WaveUnderline)
            continue;
        for (int i = r.start; i < r.start + r.length && i < out.size(); ++i)
            out[i] = r.format.underlineColor();
    }
    return out;
}

// Red (or green) pixels in the columns from x0 up to x1.
int pixelsIn(const QImage& img, int x0, int x1, bool green = false)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = qMax(0, x0); x < qMin(img.width(), x1); ++x) {
            const QColor c = img.pixel(x, y);
            n += green ? c.green() > 120 && c.red() < 100 && c.blue() < 120
                       : c.red() > 180 && c.green() < 120 && c.blue() < 120;
        }
    return n;
}

// The leftmost and rightmost columns with a trace of the spelling colour
// (an antialiased wave is only faintly red).
std::pair<int, int> redColumns(const QImage& img)
{
    int left = img.width(), right = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixel(x, y);
            if (c.red() > 150 && c.red() - c.green() > 50 && c.red() - c.blue() > 50) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    return {left, right};
}

// Shows the window with the given inputs in it, made active.
void showWith(SpellCheckingWindow& w, const QList<QWidget*>& inputs)
{
    auto* host = new QWidget;
    auto* l = new QVBoxLayout(host);
    for (QWidget* input : inputs)
        l->addWidget(input);
    w.setCentralWidget(host);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QApplication::setActiveWindow(&w);
}

} // namespace

class SpellingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        AppLook::apply(*qApp);
        QVERIFY(SpellChecker::shared().hasSpelling());
        QVERIFY(SpellChecker::shared().hasGrammar());
    }

    void autocorrectSwitch_data()
    {
        QTest::addColumn<QVariant>("stored"); // invalid: key absent
        QTest::addColumn<bool>("expected");
        QTest::newRow("absent") << QVariant() << true;
        QTest::newRow("false") << QVariant(false) << false;
        QTest::newRow("text false") << QVariant(QStringLiteral("false")) << true;
        QTest::newRow("number 0") << QVariant(0) << true;
    }
    void autocorrectSwitch()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, expected);
        QSettings& s = SettingsStore::settings();
        s.remove(Spelling::autocorrectKey);
        if (stored.isValid())
            s.setValue(Spelling::autocorrectKey, stored);
        s.sync();
        QCOMPARE(Spelling::autocorrectInWordProcessor(), expected);
        s.remove(Spelling::autocorrectKey);
    }

    void misspellings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<Range>>("expected");
        QTest::newRow("correct") << QStringLiteral("The cat sat on the mat.") << QList<Range>{};
        QTest::newRow("one wrong") << QStringLiteral("Teh cat") << QList<Range>{{0, 3}};
        QTest::newRow("two wrong") << QStringLiteral("a recieve b packege") << QList<Range>{{2, 7}, {12, 7}};
        QTest::newRow("apostrophes") << QStringLiteral("don't it’s John's") << QList<Range>{};
        QTest::newRow("acronyms") << QStringLiteral("NASA and VEXO") << QList<Range>{};
        QTest::newRow("with digits") << QStringLiteral("abc123 4th") << QList<Range>{};
        QTest::newRow("address") << QStringLiteral("mail jdoe@exampel.com or www.exampel.com") << QList<Range>{};
        QTest::newRow("link with its scheme") << QStringLiteral("see https://exampel.org/wrod-paht?q=teh now")
                                              << QList<Range>{};
        QTest::newRow("word after a link") << QStringLiteral("https://example.org teh") << QList<Range>{{20, 3}};
        QTest::newRow("colon is not a link") << QStringLiteral("Note: teh") << QList<Range>{{6, 3}};
        QTest::newRow("accented word is one word") << QStringLiteral("see Grüße") << QList<Range>{{4, 5}};
        QTest::newRow("empty") << QString() << QList<Range>{};
    }
    void misspellings()
    {
        QFETCH(QString, text);
        QFETCH(QList<Range>, expected);
        QCOMPARE(SpellChecker::shared().misspellings(text), expected);
    }

    void grammar_data()
    {
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("ok");
        QTest::newRow("agreement") << QStringLiteral("He go to school.") << true << false;
        QTest::newRow("don't") << QStringLiteral("She don't like it.") << true << false;
        QTest::newRow("fine") << QStringLiteral("He goes to school.") << true << true;
        QTest::newRow("unfinished") << QStringLiteral("He go to school") << false << true;
        QTest::newRow("two words") << QStringLiteral("Go now.") << false << true;
    }
    void grammar()
    {
        QFETCH(QString, sentence);
        QFETCH(bool, checked);
        QFETCH(bool, ok);
        QCOMPARE(SpellChecker::isCheckableSentence(sentence), checked);
        QCOMPARE(SpellChecker::shared().grammarProblems(sentence).isEmpty(), ok);
    }

    void sentences_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("two") << "One two three. Four five six!" << QStringList{"One two three.", "Four five six!"};
        QTest::newRow("abbreviation") << "Send it to Mr. Smith today. Thanks."
                                      << QStringList{"Send it to Mr. Smith today.", "Thanks."};
        QTest::newRow("decimal") << "It costs 3.50 now." << QStringList{"It costs 3.50 now."};
        QTest::newRow("lines") << "first line\nsecond line" << QStringList{"first line", "second line"};
    }
    void sentences()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QStringList got;
        for (const Range& r : SpellChecker::sentences(text))
            got << text.mid(r.start, r.length);
        QCOMPARE(got, expected);
    }

    void highlighterUnderlinesSpellingRedAndGrammarGreen()
    {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("He go to school. Teh end is near."));
        SpellHighlighter h(&doc);
        QCoreApplication::processEvents();
        h.flushGrammar();
        const QList<QColor> colours = underlineColours(doc.firstBlock());
        QCOMPARE(colours.at(0), SpellHighlighter::grammarColor());  // "He go to school."
        QCOMPARE(colours.at(15), SpellHighlighter::grammarColor());
        QCOMPARE(colours.at(17), SpellHighlighter::spellingColor()); // "Teh"
        QVERIFY(!colours.at(21).isValid());                          // "end"
        h.setSpellingEnabled(false);
        for (const QColor& c : underlineColours(doc.firstBlock()))
            QVERIFY(!c.isValid());
    }

    void grammarIsCheckedInTheBackground()
    {
        QTextDocument doc;
        doc.documentLayout();
        doc.setPlainText(QStringLiteral("Fine words stay fine.\nShe go to work on Mondays."));
        SpellHighlighter h(&doc);
        QCoreApplication::processEvents();
        QVERIFY(h.hasPendingGrammar());
        QVERIFY(!underlineColours(doc.lastBlock()).at(0).isValid()); // not yet known
        QTRY_VERIFY_WITH_TIMEOUT(!h.hasPendingGrammar(), 120000);
        QTRY_COMPARE(underlineColours(doc.lastBlock()).at(0), SpellHighlighter::grammarColor());
        QVERIFY(!underlineColours(doc.firstBlock()).at(0).isValid());
    }

    void typingLooksAgainOnlyAtTheChangedBlock()
    {
        QString text;
        for (int i = 0; i < 500; ++i)
            text += QStringLiteral("Paragraph %1 has twenty plain words in it, written to make a long text for the checker here.\n").arg(i);
        QTextDocument doc;
        doc.setPlainText(text);
        doc.documentLayout(); // as in an editor: changes are reported to the layout
        CountingHighlighter h(&doc);
        QCoreApplication::processEvents(); // the first full pass
        QVERIFY(h.calls >= 500);
        h.calls = 0;
        QTextCursor c(doc.findBlockByNumber(250));
        c.movePosition(QTextCursor::EndOfBlock);
        c.insertText(QStringLiteral(" Anothr"));
        QVERIFY2(h.calls >= 1 && h.calls <= 2, qPrintable(QString::number(h.calls)));
        const QList<QColor> colours = underlineColours(doc.findBlockByNumber(250));
        QCOMPARE(colours.at(doc.findBlockByNumber(250).length() - 3), SpellHighlighter::spellingColor());
    }

    // Underlines an editor draws itself: what underlines() gives, and no
    // character formats (which would lay the paragraph out again).
    void underlinesForTheEditor_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<Range>>("red");
        QTest::addColumn<QList<Range>>("green");
        QTest::newRow("clean") << QStringLiteral("plain words here") << QList<Range>{} << QList<Range>{};
        QTest::newRow("misspelt") << QStringLiteral("teh cat") << QList<Range>{{0, 3}} << QList<Range>{};
        QTest::newRow("bad grammar") << QStringLiteral("He go to school.") << QList<Range>{} << QList<Range>{{0, 16}};
        QTest::newRow("both") << QStringLiteral("He go to school. Teh") << QList<Range>{{17, 3}}
                              << QList<Range>{{0, 16}};
    }
    void underlinesForTheEditor()
    {
        QFETCH(QString, text);
        QFETCH(QList<Range>, red);
        QFETCH(QList<Range>, green);
        QTextDocument doc;
        doc.setPlainText(text);
        SpellHighlighter h(&doc);
        h.setDrawnByEditor(true);
        QSignalSpy changed(&h, &SpellHighlighter::underlinesChanged);
        h.flushGrammar();
        QList<Range> gotRed, gotGreen;
        for (const SpellHighlighter::Underline& u : h.underlines(doc.firstBlock()))
            (u.color == SpellHighlighter::spellingColor() ? gotRed : gotGreen).append({u.start, u.length});
        QCOMPARE(gotRed, red);
        QCOMPARE(gotGreen, green);
        QCOMPARE(changed.isEmpty(), red.isEmpty() && green.isEmpty());
        for (const QColor& c : underlineColours(doc.firstBlock()))
            QVERIFY(!c.isValid());
        // An edit makes the old results no answer for the new text.
        QTextCursor(&doc).insertText(QStringLiteral("x"));
        h.setSpellingEnabled(false);
        QVERIFY(h.underlines(doc.firstBlock()).isEmpty());
    }

    // A sentence being edited keeps its grammar underline until it has been
    // parsed again; a grammar result draws only the paragraph it belongs to.
    void grammarFollowsEditsParagraphByParagraph()
    {
        QString text;
        for (int i = 0; i < 60; ++i)
            text += QStringLiteral("Paragraph %1 is a fine sentence about the river.\n").arg(i);
        text += QStringLiteral("She go to work on Mondays.");
        QTextDocument doc;
        doc.setPlainText(text);
        doc.documentLayout();
        CountingHighlighter h(&doc);
        h.flushGrammar();
        QCOMPARE(underlineColours(doc.lastBlock()).at(0), SpellHighlighter::grammarColor());
        h.calls = 0;
        QTextCursor c(doc.lastBlock());
        c.setPosition(doc.lastBlock().position() + 4);
        c.insertText(QStringLiteral("s")); // "She gos to work on Mondays."
        QCOMPARE(underlineColours(doc.lastBlock()).at(0), SpellHighlighter::grammarColor());
        QTRY_VERIFY_WITH_TIMEOUT(!h.hasPendingGrammar(), 120000);
        QVERIFY2(h.calls <= 2, qPrintable(QString::number(h.calls)));
        QVERIFY(!underlineColours(doc.firstBlock()).at(0).isValid());
    }

    // Paragraphs not yet checked are done in slices, those on screen first.
    void screenFirstThenTheRest()
    {
        QString text;
        for (int i = 0; i < 3000; ++i)
            text += QStringLiteral("Paragraph %1 has a mistaek in it.\n").arg(i);
        QTextDocument doc;
        doc.setPlainText(text);
        SpellHighlighter h(&doc);
        QSignalSpy found(&h, &SpellHighlighter::underlinesChanged);
        h.setDrawnByEditor(true);
        h.setGrammarEnabled(false);
        const QTextBlock shown = doc.findBlockByNumber(2500);
        const QTextBlock early = doc.findBlockByNumber(1);
        h.setVisibleRange([&] { return std::pair<int, int>(shown.position(), shown.position() + 10); });
        // The word list loads in the background first: slow machines and
        // sanitizer builds take their time.
        QTRY_VERIFY_WITH_TIMEOUT(h.isSettled() && !h.underlines(early).isEmpty(), 120000);
        QVERIFY(!h.underlines(shown).isEmpty());
        // The order paragraphs were found in, not how fast: the shown one
        // before one far above it.
        auto firstFound = [&](const QTextBlock& block) {
            for (qsizetype i = 0; i < found.size(); ++i) {
                if (found.at(i).at(0).toInt() == block.position())
                    return i;
            }
            return qsizetype(-1);
        };
        QVERIFY(firstFound(shown) >= 0);
        QVERIFY2(firstFound(early) < 0 || firstFound(shown) < firstFound(early), "on screen first");
    }

    // A correction is found on a worker thread and put in when it comes,
    // where the word is then, and only if it is still there.
    void correctionArrivesLater_data()
    {
        // Each row its own misspelling: a correction found once is at hand.
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("meanwhile"); // 0 nothing, 1 text before it, 2 all deleted, 3 word edited
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing") << QStringLiteral("I beleive it") << 0 << QStringLiteral("I believe it");
        QTest::newRow("text before") << QStringLiteral("I recieve it") << 1 << QStringLiteral("So I receive it");
        QTest::newRow("deleted") << QStringLiteral("the adress is") << 2 << QString();
        QTest::newRow("edited") << QStringLiteral("we seperate it") << 3 << QStringLiteral("we sepxerate it");
    }
    void correctionArrivesLater()
    {
        QFETCH(QString, typed);
        QFETCH(int, meanwhile);
        QFETCH(QString, expected);
        TextCheckingSwitches s;
        s.automaticSpellingCorrection = true;
        SpellTextView view;
        view.checker()->setSwitches(s);
        QTest::keyClicks(&view, typed);
        QTextCursor c(view.document());
        if (meanwhile == 1)
            c.insertText(QStringLiteral("So "));
        if (meanwhile == 2) {
            c.select(QTextCursor::Document);
            c.removeSelectedText();
        }
        if (meanwhile == 3) {
            c.setPosition(6);
            c.insertText(QStringLiteral("x"));
        }
        QTest::qWait(300);
        QTRY_COMPARE(view.text(), expected);
    }

    void fieldUnderlinesUnderTheWord_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret"); // -1: end
        QTest::newRow("short") << QStringLiteral("good wrods here") << 0;
        QTest::newRow("scrolled") << QStringLiteral("a long line of perfectly fine words that goes on and on until the very end wrods") << -1;
    }
    void fieldUnderlinesUnderTheWord()
    {
        QFETCH(QString, text);
        QFETCH(int, caret);
        SpellLineEdit field(text);
        field.resize(220, 28);
        field.show();
        QVERIFY(QTest::qWaitForWindowExposed(&field));
        field.setCursorPosition(caret < 0 ? int(text.size()) : caret);
        const QList<Range> wrong = field.spelling()->misspelt();
        QCOMPARE(wrong.size(), 1);
        const QRectF box = field.spelling()->textRect(wrong.first().start, wrong.first().length);
        QVERIFY(box.left() >= 0 && box.right() <= field.width());
        const QImage img = field.grab().toImage();
        QVERIFY(pixelsIn(img, int(box.left()) + 1, int(box.right()) - 1) > 4);
        // Nothing red outside the misspelt word.
        QCOMPARE(pixelsIn(img, 0, int(box.left()) - 2) + pixelsIn(img, int(box.right()) + 2, img.width()), 0);
        // The word really sits there: its glyphs start at box.left().
        QTextLayout layout(field.displayText(), field.font());
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        const qreal width = line.cursorToX(wrong.first().start + wrong.first().length) - line.cursorToX(wrong.first().start);
        QVERIFY(std::abs(box.width() - width) < 0.5);
    }

    // A field's underline lies under the word itself however the field
    // places its text: aligned, right to left, with margins.
    void fieldUnderlineFollowsTheFieldsLayout_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("align");
        QTest::addColumn<bool>("rightToLeft");
        QTest::addColumn<int>("margin");
        const QString hebrew = QStringLiteral("\u05e9\u05dc\u05d5\u05dd\u05de\u05e7");
        const QString english = QStringLiteral("good wrods here");
        const QString mixed = QStringLiteral("good ") + hebrew + QStringLiteral(" here");
        QTest::newRow("left") << english << "wrods" << int(Qt::AlignLeft) << false << 0;
        QTest::newRow("centred") << english << "wrods" << int(Qt::AlignHCenter) << false << 0;
        QTest::newRow("right, margins") << english << "wrods" << int(Qt::AlignRight) << false << 24;
        QTest::newRow("right-to-left field") << english << "wrods" << int(Qt::AlignLeft) << true << 0;
        QTest::newRow("right-to-left word") << mixed << hebrew << int(Qt::AlignHCenter) << false << 0;
        QTest::newRow("right-to-left text") << hebrew << hebrew << int(Qt::AlignLeft) << false << 0;
        QTest::newRow("right-to-left word, field") << mixed << hebrew << int(Qt::AlignLeft) << true << 12;
    }
    void fieldUnderlineFollowsTheFieldsLayout()
    {
        QFETCH(QString, text);
        QFETCH(QString, word);
        QFETCH(int, align);
        QFETCH(bool, rightToLeft);
        QFETCH(int, margin);
        SpellLineEdit field(text);
        field.setAlignment(Qt::Alignment(align) | Qt::AlignVCenter);
        field.setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        field.setTextMargins(margin, 0, margin, 0);
        field.resize(360, 28);
        field.show();
        QVERIFY(QTest::qWaitForWindowExposed(&field));
        const QList<Range> wrong = field.spelling()->misspelt();
        QCOMPARE(wrong.size(), 1);
        const int start = int(text.indexOf(word));
        QCOMPARE(wrong.first().start, start);
        // Where the field draws the word: its caret either side of it.
        auto caretX = [&](int at) {
            field.setCursorPosition(at);
            return field.inputMethodQuery(Qt::ImCursorRectangle).toRectF().center().x();
        };
        const qreal a = caretX(start), b = caretX(start + int(word.size()));
        field.setCursorPosition(0);
        QApplication::processEvents();
        const QImage img = field.grab().toImage();
        const auto [left, right] = redColumns(img);
        const QString where = QStringLiteral("red %1..%2, word %3..%4").arg(left).arg(right).arg(std::min(a, b)).arg(std::max(a, b));
        QVERIFY2(std::abs(left - std::min(a, b)) <= 2.5 && std::abs(right - std::max(a, b)) <= 2.5, qPrintable(where));
    }

    // The text views of notes and transcripts underline the word itself,
    // on any line, in either direction.
    void textViewUnderlineLiesUnderTheWord_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("word");
        const QString hebrew = QStringLiteral("\u05e9\u05dc\u05d5\u05dd\u05de\u05e7");
        QTest::newRow("first line") << QStringLiteral("the wrods here") << "wrods";
        QTest::newRow("second line") << QStringLiteral("the river and the bridge and the mill ").repeated(3) + "wrods"
                                     << "wrods";
        QTest::newRow("right to left") << hebrew << hebrew;
        QTest::newRow("second paragraph") << QStringLiteral("fine\nand wrods") << "wrods";
    }
    void textViewUnderlineLiesUnderTheWord()
    {
        QFETCH(QString, text);
        QFETCH(QString, word);
        SpellTextView view(text, QFont(), Qt::white, true, Qt::black, true);
        view.resize(300, 160);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        SpellHighlighter* h = TextChecker::of(&view)->highlighter();
        h->flushGrammar();
        QTRY_VERIFY(!h->hasPendingGrammar());
        const int at = int(text.indexOf(word));
        QTextCursor c(view.document());
        c.setPosition(at);
        const QRect before = view.cursorRect(c);
        c.setPosition(at + int(word.size()));
        const QRect after = view.cursorRect(c);
        QCOMPARE(before.top(), after.top());
        QApplication::processEvents();
        const QImage img = view.viewport()->grab().toImage().copy(0, before.top(), view.viewport()->width(), before.height() + 4);
        const auto [left, right] = redColumns(img);
        const int x0 = std::min(before.left(), after.left()), x1 = std::max(before.left(), after.left());
        const QString where = QStringLiteral("red %1..%2, word %3..%4").arg(left).arg(right).arg(x0).arg(x1);
        QVERIFY2(std::abs(left - x0) <= 2 && std::abs(right - x1) <= 2, qPrintable(where));
    }

    void fieldWithNothingToMarkLooksPlain_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("good words") << QStringLiteral("good words here") << QStringLiteral("good words here");
        QTest::newRow("mistake mended") << QStringLiteral("good wrods here") << QStringLiteral("good words here");
    }
    // Underlines are all a field adds to its look: with nothing misspelt it
    // is drawn as a plain QLineEdit, before and after a mistake was marked.
    void fieldWithNothingToMarkLooksPlain()
    {
        QFETCH(QString, first);
        QFETCH(QString, shown);
        SpellLineEdit field(first);
        QLineEdit plain(shown);
        for (QLineEdit* f : {static_cast<QLineEdit*>(&field), &plain}) {
            f->resize(220, 28);
            f->show();
            QVERIFY(QTest::qWaitForWindowExposed(f));
        }
        QCOMPARE(field.spelling()->misspelt().isEmpty(), first == shown);
        if (first != shown)
            QVERIFY(pixelsIn(field.grab().toImage(), 0, field.width()) > 4);
        field.setText(shown);
        QVERIFY(field.spelling()->misspelt().isEmpty());
        QCOMPARE(field.grab().toImage(), plain.grab().toImage());
    }

    void fieldUnderlinesAGrammarMistake()
    {
        SpellLineEdit field(QStringLiteral("Fine. They goes home now."));
        field.resize(300, 28);
        field.show();
        QVERIFY(QTest::qWaitForWindowExposed(&field));
        QTRY_COMPARE_WITH_TIMEOUT(field.spelling()->badGrammar().size(), 1, 120000);
        QCOMPARE(field.spelling()->badGrammar().first(), (Range{6, 19}));
        QVERIFY(field.spelling()->misspelt().isEmpty());
        const QRectF box = field.spelling()->textRect(6, 19);
        QVERIFY(pixelsIn(field.grab().toImage(), int(box.left()), int(box.right()), true) > 10);
        // Switching grammar off removes the underline.
        TextCheckingSwitches s;
        s.grammarChecking = false;
        field.spelling()->setSwitches(s);
        QVERIFY(field.spelling()->badGrammar().isEmpty());
    }

    void passwordFieldsAreNeverChecked()
    {
        QLineEdit pw;
        pw.setEchoMode(QLineEdit::Password);
        QVERIFY(FieldSpelling::attach(&pw) == nullptr);
        SpellCheckingWindow w;
        auto* secret = new QLineEdit;
        secret->setEchoMode(QLineEdit::Password);
        showWith(w, {secret});
        secret->setFocus();
        QTest::keyClicks(secret, QStringLiteral("wrods"));
        QVERIFY(FieldSpelling::of(secret) == nullptr);
    }

    // Each time a field of the window begins editing, the rule applies: the
    // user's own choices survive only while spelling and grammar are both on.
    void fieldEditorRule_data()
    {
        QTest::addColumn<bool>("spelling");
        QTest::addColumn<bool>("grammar");
        QTest::addColumn<bool>("autocorrect");
        QTest::addColumn<bool>("keptAutocorrect");
        QTest::newRow("both on, user chose autocorrect") << true << true << true << true;
        QTest::newRow("grammar off") << true << false << true << false;
        QTest::newRow("spelling off") << false << true << true << false;
        QTest::newRow("plain") << true << true << false << false;
    }
    void fieldEditorRule()
    {
        QFETCH(bool, spelling);
        QFETCH(bool, grammar);
        QFETCH(bool, autocorrect);
        QFETCH(bool, keptAutocorrect);
        SpellCheckingWindow w;
        auto* a = new QLineEdit; // an ordinary field: the window equips it
        auto* b = new QLineEdit;
        showWith(w, {a, b});
        a->setFocus();
        QTRY_VERIFY(FieldSpelling::of(a) != nullptr);
        FieldSpelling* f = FieldSpelling::of(a);
        QCOMPARE(f->switches(), TextCheckingSwitches{});
        TextCheckingSwitches s;
        s.continuousSpellChecking = spelling;
        s.grammarChecking = grammar;
        s.automaticSpellingCorrection = autocorrect;
        s.automaticQuoteSubstitution = autocorrect;
        f->setSwitches(s);
        b->setFocus();
        a->setFocus();
        QTRY_VERIFY(a->hasFocus());
        QVERIFY(f->switches().continuousSpellChecking);
        QVERIFY(f->switches().grammarChecking);
        QCOMPARE(f->switches().automaticSpellingCorrection, keptAutocorrect);
        QCOMPARE(f->switches().automaticQuoteSubstitution, keptAutocorrect);
        QCOMPARE(w.fieldEditor(false, a), f);
    }

    void typedTextStaysAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("quotes and dashes") << QStringLiteral("\"Teh\" -- it's 'fine' wrods ");
        QTest::newRow("misspelt words") << QStringLiteral("teh recieve adress. I recieve it");
    }
    // Switched off (the default), nothing typed is ever changed.
    void typedTextStaysAsTyped()
    {
        QFETCH(QString, typed);
        SpellCheckingWindow w;
        auto* field = new QLineEdit;
        auto* view = new SpellTextView;
        showWith(w, {field, view});
        field->setFocus();
        QTest::keyClicks(field, typed);
        QCOMPARE(field->text(), typed);
        QVERIFY(!FieldSpelling::of(field)->misspelt().isEmpty());
        view->setFocus();
        QTest::keyClicks(view, typed);
        QCOMPARE(view->text(), typed);
    }

    void wordListOfTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("wordList");
        QTest::newRow("American") << QLocale(QLocale::English, QLocale::UnitedStates) << "en_US";
        QTest::newRow("British") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "en_GB";
        QTest::newRow("English without its own list") << QLocale(QLocale::English, QLocale::Ireland) << "en_US";
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << "en_US";
        QTest::newRow("C") << QLocale::c() << "en_US";
    }
    // Checking uses the locale's own English word list where one is
    // installed, else the American one.
    void wordListOfTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, wordList);
        if (!QFileInfo::exists(QStringLiteral("/usr/share/hunspell/%1.dic").arg(wordList)))
            QSKIP("word list not installed");
        QCOMPARE(SpellChecker::dictionaryName(locale), wordList);
    }

    // The correction is the word most likely meant, by the slips people
    // make and how common the words are (the word list's own order puts
    // "Te" before "The"); a word with two likely meanings is left alone.
    void correctionFollowsCommonSlips_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("corrected");
        QTest::newRow("swapped, capital kept") << "Teh" << "The";
        QTest::newRow("swapped") << "thier" << "their";
        QTest::newRow("double letter left out") << "begining" << "beginning";
        QTest::newRow("letter or later: left alone") << "leter" << "";
        QTest::newRow("letter left out at the start") << "adress" << "address";
        QTest::newRow("i before e") << "recieve" << "receive";
        QTest::newRow("a word of its own") << "summarises" << "";
        QTest::newRow("nothing close") << "qzxv" << "";
    }

    void correctionFollowsCommonSlips()
    {
        QFETCH(QString, typed);
        QFETCH(QString, corrected);
        if (!SpellChecker::shared().hasSpelling())
            QSKIP("no English word list installed");
        QCOMPARE(SpellChecker::shared().correction(typed), corrected);
    }

    // Switched on (the word processor's choice), a correction is made as the
    // word ends, and is one undo step of its own.
    void autocorrectWhenSwitchedOn()
    {
        TextCheckingSwitches s;
        s.automaticSpellingCorrection = true;
        SpellLineEdit field;
        field.spelling()->setSwitches(s);
        QTest::keyClicks(&field, QStringLiteral("I recieve it"));
        QCOMPARE(field.text(), QStringLiteral("I receive it"));
        SpellTextView view;
        view.checker()->setSwitches(s);
        QTest::keyClicks(&view, QStringLiteral("I recieve it"));
        QTRY_COMPARE(view.text(), QStringLiteral("I receive it")); // found on a worker thread
        view.undo();
        QVERIFY(view.text() != QStringLiteral("I receive it"));
    }

    void textViewBinding()
    {
        SpellTextView view(QStringLiteral("hello"), QFont(), Qt::white, true, Qt::black, true);
        QSignalSpy edited(&view, &SpellTextView::textEdited);
        // Typing writes through after every change.
        view.moveCursor(QTextCursor::End);
        QTest::keyClicks(&view, QStringLiteral(" you"));
        QCOMPARE(edited.count(), 4);
        QCOMPARE(edited.last().first().toString(), QStringLiteral("hello you"));
        // Re-applying the same string changes nothing: caret and undo stay.
        QTextCursor c = view.textCursor();
        c.setPosition(2);
        view.setTextCursor(c);
        view.setText(QStringLiteral("hello you"));
        QCOMPARE(view.textCursor().position(), 2);
        QVERIFY(view.document()->isUndoAvailable());
        QCOMPARE(edited.count(), 4);
        // A new string from elsewhere replaces the text, and is not echoed.
        view.setText(QStringLiteral("replaced"));
        QCOMPARE(view.text(), QStringLiteral("replaced"));
        QCOMPARE(edited.count(), 4);
        // A write-back from the edit itself is ignored while reporting.
        connect(&view, &SpellTextView::textEdited, &view, [&view](const QString&) {
            view.setText(QStringLiteral("something stale"));
        });
        view.moveCursor(QTextCursor::End);
        QTest::keyClick(&view, Qt::Key_S);
        QCOMPARE(view.text(), QStringLiteral("replaceds"));
    }

    void readOnlyTextViewIsSelectable()
    {
        SpellTextView view(QStringLiteral("read me"), QFont(), Qt::white, false, Qt::darkBlue, false);
        QTest::keyClicks(&view, QStringLiteral("xyz"));
        QCOMPARE(view.text(), QStringLiteral("read me"));
        view.selectAll();
        QCOMPARE(view.textCursor().selectedText(), QStringLiteral("read me"));
    }

    void learnedWordsAreKept()
    {
        const QString word = QStringLiteral("Brindlewurx");
        QVERIFY(!SpellChecker::shared().isCorrect(word));
        SpellChecker::shared().learnWord(word);
        QVERIFY(SpellChecker::shared().isCorrect(word));
        QFile f(SpellChecker::learnedWordsPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("Brindlewurx"));
    }

    void contextMenuOffersGuesses()
    {
        SpellLineEdit field(QStringLiteral("teh cat"));
        auto titles = [&field](int position) {
            std::unique_ptr<QMenu> menu(field.spelling()->contextMenu(position));
            QStringList out;
            for (QAction* a : menu->actions())
                out << a->text();
            return out;
        };
        const QStringList wrong = titles(1);
        QVERIFY(wrong.contains(QStringLiteral("the")));
        QVERIFY(wrong.contains(QStringLiteral("Ignore Spelling")));
        QVERIFY(wrong.contains(QStringLiteral("Learn Spelling")));
        // A correct word gets no guesses.
        QVERIFY(!titles(5).isEmpty());
        QVERIFY(!titles(5).contains(QStringLiteral("Ignore Spelling")));
    }

    void windowEquipsEditableTextViewsOnly()
    {
        SpellCheckingWindow w;
        auto* editable = new QPlainTextEdit;
        auto* browser = new QTextBrowser; // read-only help text
        showWith(w, {editable, browser});
        editable->setFocus();
        QTRY_VERIFY(TextChecker::of(editable) != nullptr);
        browser->setFocus();
        QTRY_VERIFY(browser->hasFocus());
        QVERIFY(TextChecker::of(browser) == nullptr);
        // Another window's editor is not this window's business.
        QPlainTextEdit stranger;
        QVERIFY(w.textEditor(true, &stranger) == nullptr);
    }

    void spellingPanelChangesTheWord()
    {
        SpellLineEdit field(QStringLiteral("the recieve and teh"));
        field.spelling()->checkSpelling();
        QCOMPARE(field.selectedText(), QStringLiteral("recieve"));
        SpellingPanel* panel = SpellingPanel::show(&field);
        QCOMPARE(panel->word(), QStringLiteral("recieve"));
        QVERIFY(panel->guesses().contains(QStringLiteral("receive")));
        panel->change(); // the first guess
        QCOMPARE(field.text(), QStringLiteral("the receive and teh"));
        QCOMPARE(field.selectedText(), QStringLiteral("teh")); // and on to the next
        panel->ignore();
        QVERIFY(field.spelling()->misspelt().isEmpty());
        panel->close();
    }

    void hostileTextDoesNotHurt()
    {
        QString junk;
        for (int i = 0; i < 2000; ++i)
            junk += QChar(char16_t(0xD800 + (i % 7))); // lone surrogates
        junk += QString(5000, QLatin1Char('a')) + QStringLiteral(". ") + QString(300, QLatin1Char('.'));
        SpellChecker::shared().misspellings(junk);
        SpellChecker::shared().grammarProblems(junk);
        SpellChecker::shared().suggestions(QString(5000, QLatin1Char('x')));
        SpellLineEdit field(junk);
        field.resize(200, 28);
        QVERIFY(!field.grab().isNull());
    }
};

QTEST_MAIN(SpellingTest)
#include "tst_spelling.moc"
