#include "TestEnvironment.h"
#include "selftest/SelfTest.h"

#include <QTest>

namespace {
// A suite that always fails, to see the report name it.
SelfTest::Suite broken("zz Injected failure", [](SelfTest::Check& c) {
    c.equal(QStringLiteral("got"), QStringLiteral("wanted"), QStringLiteral("injected check"));
    c.that(true, QStringLiteral("passing check"));
});
SelfTest::Suite throwing("zz Throwing", [](SelfTest::Check&) { throw std::runtime_error("boom"); });
}

class SelfTestTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void registeredSuitesPass()
    {
        QStringList others = SelfTest::suiteNames();
        others.removeIf([](const QString& n) { return n.startsWith(QStringLiteral("zz ")); });
        QVERIFY(others.contains(QStringLiteral("Store")));
        const SelfTest::Result r = SelfTest::runSuites(others);
        QVERIFY2(r.failed == 0, qPrintable(r.report));
        QVERIFY(r.passed > 0);
        QVERIFY(r.report.endsWith(QStringLiteral("%1 passed, 0 failed\n").arg(r.passed)));
    }

    void failureIsNamedAndCounted()
    {
        const SelfTest::Result r = SelfTest::runSuites({QStringLiteral("zz Injected failure"), QStringLiteral("zz Throwing")});
        QCOMPARE(r.failed, 2);
        QCOMPARE(r.passed, 1);
        QVERIFY(r.report.contains(QStringLiteral("injected check: expected “wanted”, got “got”")));
        QVERIFY(r.report.contains(QStringLiteral("boom")));
        QVERIFY(r.report.endsWith(QStringLiteral("1 passed, 2 failed\n")));
    }

    void runWritesReportAndReturnsStatus()
    {
        const QString report = TestEnvironment::dataFolder() + QStringLiteral("/../report.txt");
        const int status = SelfTest::run({QStringLiteral("x"), QStringLiteral("--report"), report});
        QCOMPARE(status, 1); // the injected failure
        QFile f(report);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("injected check"));
        // Not a throw-away folder of the program: it is left in place.
        QVERIFY(QFileInfo(TestEnvironment::dataFolder()).isDir());
    }
};

QTEST_MAIN(SelfTestTest)
#include "tst_selftest.moc"
