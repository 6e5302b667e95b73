// When the dictionaries are loaded: never before the user turns to a text,
// never on the interface thread, never for fields that hold numbers. Runs in
// its own process, so the shared checker starts with nothing loaded.
#include "TestEnvironment.h"
#include "ui/FieldSpelling.h"
#include "ui/NumberField.h"
#include "ui/SpellCheckingWindow.h"
#include "ui/SpellChecker.h"
#include "ui/SpellHighlighter.h"
#include "ui/SpellLineEdit.h"
#include "ui/TextChecker.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTest>
#include <QVBoxLayout>

class SpellingLoadTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Order matters: the first two run before anything was loaded.
    void textTheProgramPutsInLoadsNothing()
    {
        SpellCheckingWindow w;
        auto* host = new QWidget;
        auto* l = new QVBoxLayout(host);
        auto* field = new SpellLineEdit(QStringLiteral("Cours one wiht notes"));
        auto* number = new NumberField(QStringLiteral("Amount"), 1234.5, 90, QStringLiteral("%.2f"));
        auto* view = new QPlainTextEdit(QStringLiteral("He go to school every day. Teh end."));
        l->addWidget(number);
        l->addWidget(field);
        l->addWidget(view);
        w.setCentralWidget(host);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        number->lineEdit()->setFocus();
        QTRY_VERIFY(number->lineEdit()->hasFocus());
        QTest::keyClicks(number->lineEdit(), QStringLiteral("99"));
        QTest::qWait(300);
        QVERIFY(!SpellChecker::shared().isSpellingReady());
        QVERIFY(!SpellChecker::shared().isGrammarReady());
        QVERIFY(FieldSpelling::of(number->lineEdit()) == nullptr);
        QVERIFY(field->spelling()->misspelt().isEmpty()); // nothing known yet, nothing waited for
    }

    void turningToAFieldLoadsTheWordListInTheBackground()
    {
        SpellLineEdit field(QStringLiteral("Cours one wiht notes"));
        field.show();
        QVERIFY(QTest::qWaitForWindowExposed(&field));
        QElapsedTimer t;
        t.start();
        field.spelling()->beginEditing();
        // Built on a worker: turning to the field does not wait for it.
        QVERIFY2(t.elapsed() < 250, qPrintable(QString::number(t.elapsed())));
        QTRY_COMPARE(field.spelling()->misspelt().size(), 2);
        // Nothing typed that could be a sentence: no grammar dictionary.
        QVERIFY(!SpellChecker::shared().isGrammarReady());
    }

    void excludedFieldsStayUnchecked_data()
    {
        QTest::addColumn<bool>("viaWindow"); // attached on focus by the window, or made as a SpellLineEdit
        QTest::newRow("window field") << true;
        QTest::newRow("spell line edit") << false;
    }
    void excludedFieldsStayUnchecked()
    {
        QFETCH(bool, viaWindow);
        SpellCheckingWindow w;
        QLineEdit* field = viaWindow ? new QLineEdit(QStringLiteral("sin(30)+cos wrods"))
                                     : new SpellLineEdit(QStringLiteral("sin(30)+cos wrods"));
        w.setCentralWidget(field);
        FieldSpelling::exclude(field);
        QVERIFY(FieldSpelling::isExcluded(field));
        QVERIFY(FieldSpelling::of(field) == nullptr);
        if (auto* s = qobject_cast<SpellLineEdit*>(field))
            QVERIFY(s->spelling() == nullptr);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClicks(field, QStringLiteral(" teh"));
        QVERIFY(FieldSpelling::of(field) == nullptr);
        QVERIFY(FieldSpelling::attach(field) == nullptr);
        QVERIFY(!field->grab().isNull());
    }

    // The grammar dictionary waits for the user's first change of a text.
    void grammarWaitsForAnEdit()
    {
        SpellCheckingWindow w;
        auto* view = new QPlainTextEdit(QStringLiteral("She go to work on Mondays."));
        w.setCentralWidget(view);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QApplication::setActiveWindow(&w);
        view->setFocus();
        QTRY_VERIFY(TextChecker::of(view) != nullptr);
        SpellHighlighter* h = TextChecker::of(view)->highlighter();
        QVERIFY(h->isGrammarHeld());
        QTest::qWait(600); // longer than the pause before sentences go for checking
        QVERIFY(!SpellChecker::shared().isGrammarReady());
        QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(view, QStringLiteral(" He go home."));
        QVERIFY(!h->isGrammarHeld());
        QTRY_VERIFY_WITH_TIMEOUT(SpellChecker::shared().isGrammarReady(), 120000);
        QTRY_VERIFY_WITH_TIMEOUT(!h->hasPendingGrammar(), 120000);
    }
};

QTEST_MAIN(SpellingLoadTest)
#include "tst_spellingload.moc"
