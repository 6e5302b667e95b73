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
    struct Case {
        const char* format;
        double value;
        const char* shown;
    };
    const Case shown[] = {
        {"%.2f", 2.5, "2.5"},   {"%.2f", 3, "3"},        {"%.2f", 0, "0"},          {"%.2f", 0.1, "0.1"},
        {"%.1f", 10, "10"},     {"%.0f", 1000, "1000"},  {"%.2f", -0.001, "-0"},    {"%.3f", 6.125, "6.125"},
        {"%.2e", 1e10, "1.00e+10"}, {"%s", 2.5, "2.5"},
    };
    for (const Case& k : shown)
        c.equal(NumberField::fmt(QString::fromLatin1(k.format), k.value), QString::fromUtf8(k.shown),
                QStringLiteral("fmt(%1, %2)").arg(QString::fromLatin1(k.format)).arg(k.value));

    struct Parse {
        const char* text;
        bool converts;
        double value;
    };
    const Parse parsed[] = {
        {"1,250.50", true, 1250.5}, {"$300", true, 300}, {"4.5%", true, 4.5}, {" 7 ", true, 7},
        {"", true, 0},              {"1e3", true, 1000}, {"12a", false, 0},   {"inf", false, 0},
        {"1e999", false, 0},        {"0x10", false, 0},
    };
    for (const Parse& p : parsed) {
        const auto v = NumberField::parse(QString::fromUtf8(p.text));
        const QString name = QStringLiteral("parse \"%1\"").arg(QString::fromUtf8(p.text));
        c.equal(v.has_value(), p.converts, name);
        if (v && p.converts)
            c.near(*v, p.value, 1e-12, name);
    }
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
