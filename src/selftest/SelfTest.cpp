#include "selftest/SelfTest.h"

#include "core/Debouncer.h"
#include "core/SafeFile.h"
#include "core/SettingsStore.h"
#include "core/Store.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTextStream>
#include <exception>

namespace SelfTest {

namespace {
QMap<QString, SuiteFunction>& registry()
{
    static QMap<QString, SuiteFunction> map;
    return map;
}
} // namespace

void Check::that(bool ok, const QString& name, const QString& expected, const QString& got)
{
    if (ok) {
        ++m_passed;
        return;
    }
    ++m_failed;
    QString line = QStringLiteral("FAIL ") + name;
    if (!expected.isNull() || !got.isNull())
        line += QStringLiteral(": expected “%1”, got “%2”").arg(expected, got);
    m_failures.append(line);
}

void Check::equal(const QString& got, const QString& expected, const QString& name)
{
    that(got == expected, name, expected, got);
}

void Check::equal(qint64 got, qint64 expected, const QString& name)
{
    that(got == expected, name, QString::number(expected), QString::number(got));
}

void Check::equal(bool got, bool expected, const QString& name)
{
    that(got == expected, name, expected ? QStringLiteral("true") : QStringLiteral("false"),
         got ? QStringLiteral("true") : QStringLiteral("false"));
}

void Check::near(double got, double expected, double tolerance, const QString& name)
{
    that(std::fabs(got - expected) <= tolerance, name,
         QString::number(expected, 'g', 17) + QStringLiteral(" ± ") + QString::number(tolerance),
         QString::number(got, 'g', 17));
}

Suite::Suite(const char* name, SuiteFunction fn)
{
    registry().insert(QString::fromUtf8(name), std::move(fn));
}

QStringList suiteNames()
{
    return registry().keys();
}

Result runSuites(const QStringList& only)
{
    Result result;
    QStringList lines;
    for (auto it = registry().cbegin(); it != registry().cend(); ++it) {
        if (!only.isEmpty() && !only.contains(it.key()))
            continue;
        Check check;
        try {
            it.value()(check);
        } catch (const std::exception& e) {
            check.that(false, QStringLiteral("suite ran to the end"), QStringLiteral("no exception"),
                       QString::fromUtf8(e.what()));
        } catch (...) {
            check.that(false, QStringLiteral("suite ran to the end"), QStringLiteral("no exception"),
                       QStringLiteral("an exception"));
        }
        for (const QString& f : check.failures())
            lines.append(QStringLiteral("  ") + it.key() + QStringLiteral(": ") + f);
        lines.append(QStringLiteral("%1 %2: %3 passed, %4 failed")
                         .arg(check.failed() ? QStringLiteral("FAIL") : QStringLiteral("ok  "),
                              it.key())
                         .arg(check.passed())
                         .arg(check.failed()));
        result.passed += check.passed();
        result.failed += check.failed();
    }
    lines.append(QStringLiteral("%1 passed, %2 failed").arg(result.passed).arg(result.failed));
    result.report = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    return result;
}

int run(const QStringList& arguments)
{
    const Result result = runSuites();
    QTextStream out(stdout);
    out << result.report;
    out.flush();

    const qsizetype r = arguments.indexOf(QStringLiteral("--report"));
    if (r >= 0 && r + 1 < arguments.size()) {
        SafeFile::write(arguments.at(r + 1), result.report.toUtf8());
    }

    // Remove the throw-away data folder (only ever the one the entry made),
    // after the settings kept inside it are flushed, so nothing writes into
    // it again at exit.
    Debouncer::flushAll();
    SettingsStore::settings().sync();
    const QString folder = qEnvironmentVariable("VEXO_BW_DATA_DIR");
    if (!folder.isEmpty() && QDir(folder).dirName().startsWith(QStringLiteral("VEXO-Brindleworks-selftest-")))
        QDir(folder).removeRecursively();

    return result.failed > 0 ? 1 : 0;
}

} // namespace SelfTest
