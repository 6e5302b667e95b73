#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <cmath>

// The built-in test harness of the --selftest mode.
//
// A suite is a function that makes checks; suites register themselves from a
// static SelfTest::Suite object in src/selftest/suites/:
//
//     static SelfTest::Suite s("Store", [](SelfTest::Check& c) {
//         c.equal(Store::path("a"), ..., "path joins folder and name");
//     });
namespace SelfTest {

class Check {
public:
    // One check: passes when ok. `expected` and `got` go into the report of a
    // failed check.
    void that(bool ok, const QString& name, const QString& expected = QString(),
              const QString& got = QString());

    void equal(const QString& got, const QString& expected, const QString& name);
    void equal(qint64 got, qint64 expected, const QString& name);
    void equal(bool got, bool expected, const QString& name);
    void near(double got, double expected, double tolerance, const QString& name);

    int passed() const { return m_passed; }
    int failed() const { return m_failed; }
    const QStringList& failures() const { return m_failures; }

private:
    int m_passed = 0;
    int m_failed = 0;
    QStringList m_failures;
};

using SuiteFunction = std::function<void(Check&)>;

class Suite {
public:
    Suite(const char* name, SuiteFunction fn);
};

struct Result {
    QString report;   // every line, the last "N passed, M failed"
    int passed = 0;
    int failed = 0;
};

// Runs the registered suites (all, or those whose names are in `only`), in
// name order. A suite that throws counts as one failed check.
Result runSuites(const QStringList& only = {});

// The --selftest mode: runs every suite against the data folder named by
// VEXO_BW_DATA_DIR, prints the report, writes it after "--report <path>",
// removes the data folder and returns 1 when any check failed, else 0.
int run(const QStringList& arguments);

QStringList suiteNames();

} // namespace SelfTest
