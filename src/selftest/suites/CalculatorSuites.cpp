// Self-test suites of the standard and scientific calculators, and the
// sample history the snapshot mode shows in the scientific calculator.
#include "core/SettingsStore.h"
#include "core/Store.h"
#include "calc/ExpressionEvaluator.h"
#include "calc/NumberFormat.h"
#include "calc/ScientificModel.h"
#include "calc/StandardCalculator.h"
#include "selftest/SelfTest.h"
#include "selftest/Snapshots.h"

#include <QFile>

namespace {

// One run through the keys: decimals, chained operations, memory.
SelfTest::Suite standardSuite("Standard calculator", [](SelfTest::Check& c) {
    StandardCalculator calc;
    calc.inputSequence(QStringLiteral("0 . 1 + 0 . 2 = × 4 = M+ C MR").split(QLatin1Char(' ')));
    c.equal(calc.display, QStringLiteral("1.2"), QStringLiteral("(0.1 + 0.2) × 4 through the memory"));
    calc.inputSequence({QStringLiteral("÷"), QStringLiteral("0"), QStringLiteral("=")});
    c.equal(calc.display, QStringLiteral("Cannot divide by zero"), QStringLiteral("division by zero"));
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
