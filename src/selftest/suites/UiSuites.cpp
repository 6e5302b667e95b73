// Self-test suites of the shared controls: number fields, alerts, the
// spelling switch and checker, the palette and the symbol table.
#include "core/SettingsStore.h"
#include "core/Tool.h"
#include "selftest/SelfTest.h"
#include "ui/Alert.h"
#include "ui/Chrome.h"
#include "ui/NumberField.h"
#include "ui/SpellChecker.h"
#include "core/Spelling.h"
#include "ui/Symbols.h"

#include <QVariant>

namespace {

SelfTest::Suite numberFieldSuite("NumberField", [](SelfTest::Check& c) {
    c.equal(NumberField::fmt(QStringLiteral("%.2f"), 2.5), QStringLiteral("2.5"), QStringLiteral("fmt drops trailing zeros"));
    c.near(NumberField::parse(QStringLiteral("$1,250.50")).value_or(0), 1250.5, 1e-12,
           QStringLiteral("parse skips the currency sign and grouping"));
    c.that(!NumberField::parse(QStringLiteral("12a")), QStringLiteral("parse refuses trailing letters"));
});

SelfTest::Suite alertSuite("Alerts", [](SelfTest::Check& c) {
    QStringList seenButtons;
    const AlertHandler previous = setAlertHandler([&seenButtons](const AlertRequest& r) {
        seenButtons = r.buttons;
        return alertFirstButton + int(r.buttons.size()) - 1; // the last button
    });
    c.equal(qint64(runAlert(QStringLiteral("Delete this note?"), QStringLiteral("This can’t be undone."),
                            AlertStyle::Warning, {QStringLiteral("Delete"), QStringLiteral("Cancel")})),
            1001, QStringLiteral("second button answers 1001"));
    c.equal(qint64(runAlert(QStringLiteral("Bibliography copied"), QString(), AlertStyle::Informational)), 1000,
            QStringLiteral("no buttons: one OK answering 1000"));
    c.that(seenButtons == QStringList{QStringLiteral("OK")}, QStringLiteral("the lone button is OK"),
           QStringLiteral("OK"), seenButtons.join(QLatin1Char(',')));
    setAlertHandler(previous);
});

SelfTest::Suite spellingSuite("Spelling", [](SelfTest::Check& c) {
    QSettings& s = SettingsStore::settings();
    const QVariant saved = s.value(Spelling::autocorrectKey);
    s.remove(Spelling::autocorrectKey);
    c.equal(Spelling::autocorrectInWordProcessor(), true, QStringLiteral("autocorrect on when the key is absent"));
    s.setValue(Spelling::autocorrectKey, QStringLiteral("no"));
    c.equal(Spelling::autocorrectInWordProcessor(), true, QStringLiteral("autocorrect on when the key is not a Boolean"));
    s.setValue(Spelling::autocorrectKey, false);
    c.equal(Spelling::autocorrectInWordProcessor(), false, QStringLiteral("autocorrect off only for the Boolean false"));
    s.remove(Spelling::autocorrectKey);
    if (saved.isValid())
        s.setValue(Spelling::autocorrectKey, saved);

    SpellChecker& checker = SpellChecker::shared();
    c.that(checker.hasSpelling(), QStringLiteral("the English dictionary is there"));
    const auto wrong = checker.misspellings(QStringLiteral("The recieve cat"));
    c.that(wrong.size() == 1 && wrong.first() == SpellChecker::Range{4, 7}, QStringLiteral("a misspelt word is found"));
    c.that(checker.misspellings(QStringLiteral("Don't worry, it's fine.")).isEmpty(),
           QStringLiteral("correct words with apostrophes pass"));
    c.that(checker.hasGrammar(), QStringLiteral("the grammar dictionary is there"));
    c.that(!checker.grammarProblems(QStringLiteral("He go to school.")).isEmpty(),
           QStringLiteral("a sentence that does not parse is found"));
    c.that(checker.grammarProblems(QStringLiteral("He goes to school.")).isEmpty(),
           QStringLiteral("a sentence that parses passes"));
});

SelfTest::Suite chromeSuite("Chrome", [](SelfTest::Check& c) {
    c.equal(qint64(Chrome::goalColors().size()), 6, QStringLiteral("six goal colours"));
    c.that(Chrome::goalColor(0) == Chrome::seafoam() && Chrome::goalColor(1) == Chrome::cherry(),
           QStringLiteral("goal colours begin with seafoam and cherry"));
    c.that(Chrome::goalColor(7) == Chrome::goalColor(1) && Chrome::goalColor(-1) == Chrome::goalColor(5),
           QStringLiteral("goal colours wrap around"));
    for (Tool t : Tool::allCases())
        c.that(Symbols::isKnown(t.symbol()), QStringLiteral("symbol of %1 is drawable").arg(t.rawValue()));
    c.that(!Symbols::isKnown(QStringLiteral("no.such.symbol")), QStringLiteral("unknown symbols draw nothing"));
});

} // namespace
