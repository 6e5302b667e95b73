// Self-test suites of the standard and scientific calculators, and the
// sample history the snapshot mode shows in the scientific calculator.
#include "core/SettingsStore.h"
#include "core/Store.h"
#include "calc/CalculatorModel.h"
#include "calc/ExpressionEvaluator.h"
#include "calc/NumberFormat.h"
#include "calc/ScientificModel.h"
#include "calc/StandardCalculator.h"
#include "selftest/SelfTest.h"
#include "selftest/Snapshots.h"

#include <QFile>

namespace {

SelfTest::Suite standardSuite("Standard calculator", [](SelfTest::Check& c) {
    struct Case {
        const char* keys;
        const char* display;
    };
    const Case cases[] = {
        {"2 + 3 × 4 =", "14"},
        {"0 . 1 + 0 . 2 =", "0.3"},
        {"9 ÷ 0 =", "Cannot divide by zero"},
        {"7 M+ 2 M- MR", "5"},
    };
    for (const Case& k : cases) {
        StandardCalculator calc;
        calc.inputSequence(QString::fromUtf8(k.keys).split(QLatin1Char(' ')));
        c.equal(calc.display, QString::fromUtf8(k.display), QString::fromUtf8(k.keys));
    }
    CalculatorModel m;
    c.that(m.paste(QStringLiteral("1,234.5")) && m.display() == QLatin1String("1234.5"),
           QStringLiteral("paste 1,234.5"), QStringLiteral("1234.5"), m.display());
});

SelfTest::Suite scientificSuite("Scientific calculator", [](SelfTest::Check& c) {
    const QString file = Store::path(ScientificModel::fileName());
    const QString bak = file + QStringLiteral(".bak");
    const QVariant savedMode = SettingsStore::settings().value(ScientificModel::modeKey());
    QFile::remove(file);
    QFile::remove(bak);
    SettingsStore::settings().remove(ScientificModel::modeKey());
    {
        ScientificModel m;
        m.setExpression(QStringLiteral("2+3×4"));
        m.evaluate();
        c.equal(m.result(), QStringLiteral("14"), QStringLiteral("evaluate 2+3×4"));
        m.setExpression(QStringLiteral("sin(30)"));
        c.equal(m.preview(), QStringLiteral("0.5"), QStringLiteral("degrees preview"));
        m.setMode(AngleMode::radians);
    }
    {
        ScientificModel m;
        c.that(m.history().size() == 1 && m.mode() == AngleMode::radians,
               QStringLiteral("history and mode read back"));
    }
    QFile::remove(file);
    QFile::remove(bak);
    if (savedMode.isValid())
        SettingsStore::settings().setValue(ScientificModel::modeKey(), savedMode);
    else
        SettingsStore::settings().remove(ScientificModel::modeKey());
});

// A few calculations for the snapshot of the scientific calculator.
Snapshots::Sample scientificSample("scientific", [] {
    const QDateTime base(QDate(2026, 3, 14), QTime(9, 5), Qt::UTC);
    const ExpressionEvaluator engine{AngleMode::degrees, {}};
    const char* expressions[] = {"2sin(30)+√16", "10^3/7", "ncr(10,3)", "sqrt(2)", "2+3×4"};
    ScientificModel::Saved saved;
    int minutes = 0;
    for (const char* e : expressions) {
        const QString text = QString::fromUtf8(e);
        const ExprResult<double> r = engine.evaluate(text);
        if (!r)
            continue;
        HistoryItem item = HistoryItem::make(text, NumberFormat::display(r.value(), ScientificModel::kSignificant));
        item.date = base.addSecs(-60 * minutes++);
        saved.history.append(item);
        saved.ans = saved.history.size() == 1 ? r.value() : saved.ans;
    }
    saved.memory = 42;
    Store::save(saved, ScientificModel::fileName());
});

} // namespace
