// Self-test suites of the standard and scientific calculators, and the
// sample history the snapshot mode shows in the scientific calculator.
#include "core/Debouncer.h"
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

QStringList keys(const char* text)
{
    return QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

SelfTest::Suite standardSuite("Standard calculator", [](SelfTest::Check& c) {
    struct Case {
        const char* keys;
        const char* display;
    };
    const Case cases[] = {
        {"2 + 3 =", "5"},
        {"2 + 3 × 4 =", "14"},
        {"1 0 ÷ 4 =", "2.5"},
        {"0 . 1 + 0 . 2 =", "0.3"},
        {"5 ± × 3 =", "-15"},
        {"5 0 %", "0.5"},
        {"9 ÷ 0 =", "Cannot divide by zero"},
        {"9 ÷ 0 = C", "0"},
        {"1 2 3 ⌫", "12"},
        {"2 + × 3 =", "6"},
        {"2 + 3 = =", "8"},
        {"2 + 3 = 4 =", "4"},
        {"2 + 3 = × 2 =", "10"},
        {"7 M+ C MR", "7"},
        {"7 M+ 2 M- MR", "5"},
        {"3 + 4 ×", "7"},
        {"1 . . 5", "1.5"},
        {"5 =", "5"},
        {"9 ÷ 0 = + = 7", "7"},
    };
    for (const Case& k : cases) {
        StandardCalculator calc;
        calc.inputSequence(keys(k.keys));
        c.equal(calc.display, QString::fromUtf8(k.display), QString::fromUtf8(k.keys));
    }

    StandardCalculator digits;
    for (int i = 0; i < 17; ++i)
        digits.input(QStringLiteral("9"));
    c.equal(qint64(digits.display.size()), 16, QStringLiteral("a number holds at most 16 digits"));

    StandardCalculator memory;
    memory.inputSequence(keys("7 M+ MC"));
    c.equal(memory.hasMemory, false, QStringLiteral("MC forgets the memory"));
});

SelfTest::Suite pasteSuite("Calculator paste", [](SelfTest::Check& c) {
    struct Case {
        const char* text;
        const char* display;   // "" = ignored
    };
    const Case cases[] = {
        {"1,234.5", "1234.5"}, {"-42", "-42"},        {"1e5", "100000"}, {"2.5E-3", "0.0025"},
        {"hello", ""},         {"12345678901234567", ""}, {"1e16", ""},  {"inf", ""},
    };
    for (const Case& k : cases) {
        CalculatorModel m;
        m.input(QStringLiteral("8"));
        const bool entered = m.paste(QString::fromUtf8(k.text));
        const QString want = *k.display ? QString::fromUtf8(k.display) : QStringLiteral("8");
        c.that(entered == bool(*k.display) && m.display() == want,
               QStringLiteral("paste ") + QString::fromUtf8(k.text), want, m.display());
    }
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
        c.that(m.history().isEmpty() && m.memory() == 0 && m.ans() == 0 && m.result() == QLatin1String("0"),
               QStringLiteral("first run starts empty"));
        c.that(m.mode() == AngleMode::degrees, QStringLiteral("degrees by default"));
        m.setExpression(QStringLiteral("   "));
        m.evaluate();
        c.that(!QFile::exists(file) && !m.error(), QStringLiteral("blank expression does nothing"));
        m.setExpression(QStringLiteral("2+"));
        c.equal(m.preview(), QString(), QStringLiteral("incomplete expression has no preview"));
        m.setExpression(QStringLiteral("2+3×4"));
        m.evaluate();
        c.equal(m.result(), QStringLiteral("14"), QStringLiteral("evaluate 2+3×4"));
        Debouncer::flushAll(); // saved a moment after the result shows
        c.that(m.history().size() == 1 && QFile::exists(file), QStringLiteral("evaluation recorded and saved"));
        m.setExpression(QStringLiteral("ans*2"));
        m.evaluate();
        c.equal(m.preview(), QStringLiteral("56"), QStringLiteral("preview follows the last answer"));
        m.setExpression(QStringLiteral("1/0"));
        m.evaluate();
        c.that(m.error() == std::optional<QString>(QStringLiteral("Cannot divide by zero")) && m.result() == QLatin1String("28"),
               QStringLiteral("division by zero shows an error and keeps the result"));
        m.setExpression(QStringLiteral("sin(30)"));
        c.equal(m.preview(), QStringLiteral("0.5"), QStringLiteral("degrees preview"));
        m.setMode(AngleMode::radians);
        c.equal(SettingsStore::stringValue(ScientificModel::modeKey(), QString()), QStringLiteral("radians"),
                QStringLiteral("mode kept in the preferences"));
        for (int i = 0; i < 210; ++i) {
            m.setExpression(QString::number(i));
            m.evaluate();
        }
        c.equal(qint64(m.history().size()), 212, QStringLiteral("history in memory is not cut"));
    }
    {
        ScientificModel m;
        c.equal(qint64(m.history().size()), 200, QStringLiteral("saved history keeps the newest 200"));
        c.that(m.mode() == AngleMode::radians, QStringLiteral("mode read back"));
    }
    {
        QFile f(file);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(R"({"history": [], "memory": 5})");
        f.close();
        ScientificModel m;
        c.that(m.memory() == 0 && m.history().isEmpty(), QStringLiteral("a file without \"ans\" is ignored"));
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
