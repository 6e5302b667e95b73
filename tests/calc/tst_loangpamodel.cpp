#include "TestEnvironment.h"
#include "core/Store.h"
#include "calc/LoanGPAModel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <limits>

namespace {

QJsonObject fullState()
{
    const QJsonObject course{{"id", "6F9619FF-8B86-D011-B42D-00CF4FC964FF"}, {"name", "Statistics"}, {"credits", 4},
                             {"grade", "B-"}};
    return QJsonObject{{"amount", 18000.5}, {"rate", 4.25},       {"years", 3.5},      {"extra", 50},
                       {"price", 420000},   {"down", 84000},      {"mRate", 5.875},    {"mYears", 15},
                       {"tax", 3600},       {"insurance", 900},   {"pmi", 0.75},       {"hoa", 125},
                       {"courses", QJsonArray{course}}, {"priorGPA", 3.1}, {"priorCredits", 45}};
}

void writeState(const QJsonObject& o)
{
    QFile f(Store::path(LoanGPAModel::kFileName));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QJsonDocument(o).toJson());
}

} // namespace

class LoanGPAModelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init() { TestEnvironment::clearDataFolder(); }

    void months_data()
    {
        QTest::addColumn<double>("years");
        QTest::addColumn<qint64>("months");
        QTest::newRow("half year") << 2.5 << qint64(30);
        QTest::newRow("zero") << 0.0 << qint64(1);
        QTest::newRow("negative") << -3.0 << qint64(1);
        QTest::newRow("half a month rounds up") << 1.0 / 24.0 << qint64(1);
        QTest::newRow("one and a half months") << 0.125 << qint64(2);
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << qint64(1);
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << std::numeric_limits<qint64>::max();
        QTest::newRow("beyond 64 bits") << 1e300 << std::numeric_limits<qint64>::max();
    }
    void months()
    {
        QFETCH(double, years);
        QFETCH(qint64, months);
        LoanGPAModel m;
        m.setYears(years);
        QCOMPARE(m.months(), months);
        // Whatever the term, the schedule stays within its bound.
        QVERIFY(m.loan().months <= LoanMath::kMaxMonths);
    }

    void restoresSavedState()
    {
        writeState(fullState());
        LoanGPAModel m;
        const QJsonObject o = fullState();
        for (const char* key : {"amount", "rate", "years", "extra", "price", "down", "mRate", "tax", "insurance",
                                "pmi", "hoa", "priorGPA", "priorCredits"})
            QCOMPARE(m.property(key).toDouble(), o.value(QLatin1String(key)).toDouble());
        QCOMPARE(m.mYears(), qint64(15));
        QCOMPARE(m.courses().size(), 1);
        QCOMPARE(m.courses().at(0).id, QUuid::fromString(QStringLiteral("6F9619FF-8B86-D011-B42D-00CF4FC964FF")));
        QCOMPARE(m.courses().at(0).grade, QStringLiteral("B-"));
        QVERIFY(qAbs(m.startDate().secsTo(QDateTime::currentDateTime())) < 5);
    }

    void damagedStateRestoresNothing_data()
    {
        QTest::addColumn<QByteArray>("text");
        auto with = [](const char* key, const QJsonValue& value) {
            QJsonObject o = fullState();
            o.insert(QLatin1String(key), value);
            return QJsonDocument(o).toJson();
        };
        for (const QString& key : fullState().keys()) {
            QJsonObject o = fullState();
            o.remove(key);
            QTest::newRow(qPrintable(QStringLiteral("without ") + key)) << QJsonDocument(o).toJson();
        }
        QTest::newRow("fractional mYears") << with("mYears", 15.5);
        QTest::newRow("amount as text") << with("amount", "25000");
        QTest::newRow("course without grade")
            << with("courses", QJsonArray{QJsonObject{{"id", "6F9619FF-8B86-D011-B42D-00CF4FC964FF"}, {"name", "X"}, {"credits", 3}}});
        QTest::newRow("courses not a list") << with("courses", QJsonObject{});
        QJsonArray tooMany = fullState().value("courses").toArray();
        while (tooMany.size() <= LoanGPAModel::kMaxCourses)
            tooMany.append(tooMany.first());
        QTest::newRow("one course past the limit") << with("courses", tooMany);
        QTest::newRow("truncated") << QJsonDocument(fullState()).toJson().left(60);
        QTest::newRow("not json") << QByteArray("loan");
        QTest::newRow("list") << QByteArray("[]");
    }
    void damagedStateRestoresNothing()
    {
        QFETCH(QByteArray, text);
        {
            QFile f(Store::path(LoanGPAModel::kFileName));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
        }
        LoanGPAModel m;
        QCOMPARE(m.amount(), 25000.0);
        QCOMPARE(m.priorCredits(), 0.0);
        QCOMPARE(m.courses().size(), 2);
    }

    void coursesAtTheLimitAreRead()
    {
        QJsonObject o = fullState();
        QJsonArray courses = o.value("courses").toArray();
        while (courses.size() < LoanGPAModel::kMaxCourses)
            courses.append(courses.first());
        o.insert("courses", courses);
        writeState(o);
        LoanGPAModel m;
        QCOMPARE(m.courses().size(), LoanGPAModel::kMaxCourses);

        // No course is added past what the file can hold, so the state
        // saved with a full list still reads back.
        QSignalSpy changed(&m, &LoanGPAModel::changed);
        QVERIFY(m.addCourse().isNull());
        QCOMPARE(m.courses().size(), LoanGPAModel::kMaxCourses);
        QCOMPARE(changed.count(), 0);
        m.persist();
        QTRY_VERIFY_WITH_TIMEOUT(!m.isSavePending(), 10000);
        QCOMPARE(LoanGPAModel().courses().size(), LoanGPAModel::kMaxCourses);
    }

    void savesTheFifteenFields()
    {
        {
            LoanGPAModel m;
            QVERIFY(!m.isSavePending()); // starting writes nothing
            QVERIFY(m.courses().at(0).id != m.courses().at(1).id);
            m.setAmount(1234.5);
            m.setMYears(20);
            m.setYearly(true);
            m.setStartDate(QDateTime(QDate(2020, 5, 1), QTime(12, 0)));
            m.setCourseGrade(m.courses().at(1).id, QStringLiteral("C"));
            m.persist();
            QVERIFY(m.isSavePending());
            QTRY_VERIFY_WITH_TIMEOUT(!m.isSavePending(), 10000);
        }
        const QByteArray text = TestEnvironment::contents(Store::path(LoanGPAModel::kFileName));
        const QJsonObject o = QJsonDocument::fromJson(text).object();
        QCOMPARE(o.keys(), fullState().keys());   // neither yearly nor startDate

        LoanGPAModel back;
        QCOMPARE(back.amount(), 1234.5);
        QCOMPARE(back.mYears(), qint64(20));
        QCOMPARE(back.courses().at(1).grade, QStringLiteral("C"));
        QCOMPARE(back.yearly(), false);
        QCOMPARE(back.startDate().date(), QDate::currentDate());
    }

    void burstOfEditsWritesOnce()
    {
        LoanGPAModel m;
        QObject::connect(&m, &LoanGPAModel::changed, &m, &LoanGPAModel::persist);
        const QString file = Store::path(LoanGPAModel::kFileName);
        QElapsedTimer t;
        t.start();
        for (int i = 1; i <= 10; ++i) {
            m.setAmount(1000.0 * i);
            QTest::qWait(20);
        }
        const qint64 lastEdit = t.elapsed();
        if (lastEdit >= 500)
            QSKIP("the machine is too busy to type ten edits within half a second");
        QVERIFY(!QFile::exists(file));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file), 10000);
        QVERIFY2(t.elapsed() - lastEdit >= 550, qPrintable(QString::number(t.elapsed() - lastEdit)));
        QTest::qWait(700);
        // A second write would have left a backup of the first.
        QVERIFY(!QFile::exists(file + QStringLiteral(".bak")));
        QCOMPARE(QJsonDocument::fromJson(TestEnvironment::contents(file)).object().value("amount").toDouble(), 10000.0);
    }

    void unsavableValueLeavesFileAlone()
    {
        LoanGPAModel m;
        m.persist();
        QTRY_VERIFY_WITH_TIMEOUT(!m.isSavePending(), 10000);
        const QByteArray before = TestEnvironment::contents(Store::path(LoanGPAModel::kFileName));
        QVERIFY(!before.isEmpty());
        m.setRate(std::numeric_limits<double>::quiet_NaN());
        m.persist();
        QTRY_VERIFY_WITH_TIMEOUT(!m.isSavePending(), 10000);
        QCOMPARE(TestEnvironment::contents(Store::path(LoanGPAModel::kFileName)), before);
    }

    void addAndRemoveCourses()
    {
        LoanGPAModel m;
        const QUuid added = m.addCourse();
        QCOMPARE(m.courses().size(), 3);
        QCOMPARE(m.courses().last().id, added);

        // Same names, different ids: only the one asked for goes.
        m.setCourseName(added, QStringLiteral("Biology"));
        const QUuid biology = m.courses().at(1).id;
        m.removeCourses(biology);
        QCOMPARE(m.courses().size(), 2);
        QCOMPARE(m.courses().last().id, added);
        QSignalSpy changed(&m, &LoanGPAModel::changed);
        m.removeCourses(biology); // a second click removes nothing more
        QCOMPARE(m.courses().size(), 2);
        QCOMPARE(changed.count(), 0);

        // Every course sharing an id goes.
        QList<Course> twins = m.courses();
        twins.append(twins.first());
        m.setCourses(twins);
        m.removeCourses(twins.first().id);
        QCOMPARE(m.courses().size(), 1);
        QCOMPARE(m.courses().first().id, added);
    }

    void paymentDates_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<qint64>("period");
        QTest::addColumn<QString>("text");
        QTest::newRow("end of January") << QDate(2026, 1, 31) << qint64(1) << "Feb 2026";
        QTest::newRow("year end") << QDate(2025, 12, 1) << qint64(1) << "Jan 2026";
        QTest::newRow("period 0") << QDate(2026, 3, 1) << qint64(0) << "Mar 2026";
        QTest::newRow("beyond the range") << QDate(2026, 3, 1) << std::numeric_limits<qint64>::max() << "Mar 2026";
    }
    void paymentDates()
    {
        QFETCH(QDate, start);
        QFETCH(qint64, period);
        QFETCH(QString, text);
        LoanGPAModel m;
        m.setStartDate(QDateTime(start, QTime(10, 0)));
        QCOMPARE(m.date(period), text);
    }

    void csvOfInitialLoan()
    {
        LoanGPAModel m;
        m.setStartDate(QDateTime(QDate(2026, 1, 31), QTime(9, 0)));
        const QString csv = m.csvText();
        QVERIFY(csv.endsWith(QLatin1Char('\n')));
        QVERIFY(!csv.contains(QLatin1Char('\r')));
        const QStringList lines = csv.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 62); // header, 60 rows, and the empty text after the last line feed
        QCOMPARE(lines.at(0), QStringLiteral("Payment #,Date,Payment,Principal,Interest,Extra,Balance"));
        QCOMPARE(lines.at(1), QStringLiteral("1,Feb 2026,489.15,353.73,135.42,0.00,24646.27"));
        QCOMPARE(lines.at(60), QStringLiteral("60,Jan 2031,489.35,486.71,2.64,0.00,0.00"));
        QCOMPARE(lines.at(61), QString());
        // Nothing to repay: the header alone.
        m.setAmount(0);
        QCOMPARE(m.csvText(), lines.at(0) + QLatin1Char('\n'));
    }

    // With an extra payment the principal and extra columns hold different
    // figures, and the extra one is clipped in the month that clears the loan.
    void csvTellsPrincipalFromExtra()
    {
        LoanGPAModel m;
        m.setStartDate(QDateTime(QDate(2026, 1, 15), QTime(9, 0)));
        m.setAmount(1000);
        m.setRate(0);
        m.setYears(1);
        m.setExtra(300);
        const QStringList lines = m.csvText().split(QLatin1Char('\n'));
        // 83.33 scheduled + 300 extra a month: 1000 is cleared in the third
        // month, whose extra is cut to what is left after its principal.
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.at(1), QStringLiteral("1,Feb 2026,383.33,83.33,0.00,300.00,616.67"));
        QCOMPARE(lines.at(2), QStringLiteral("2,Mar 2026,383.33,83.33,0.00,300.00,233.34"));
        QCOMPARE(lines.at(3), QStringLiteral("3,Apr 2026,233.34,83.33,0.00,150.01,0.00"));
    }

    void exportWritesChosenFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("schedule.csv"));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old contents that are longer than nothing");
        }
        LoanGPAModel m;
        m.setAmount(1000);
        m.setRate(0);
        m.setYears(0.25);
        QString proposed;
        m.setSavePathChooser([&](const QString& name) {
            proposed = name;
            return path;
        });
        QVERIFY(m.exportCSV());
        QCOMPARE(proposed, QStringLiteral("Amortization Schedule.csv"));
        const QByteArray bytes = TestEnvironment::contents(path);
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(bytes, m.csvText().toUtf8()); // the old, longer contents are gone
        QVERIFY(bytes.endsWith("333.34,333.34,0.00,0.00,0.00\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("schedule.csv")});
    }

    void cancelledOrFailedExport()
    {
        QTemporaryDir dir;
        LoanGPAModel m;
        QSignalSpy failed(&m, &LoanGPAModel::exportFailed);
        QString chosen; // empty: the user cancels
        int asked = 0;
        m.setSavePathChooser([&](const QString&) {
            ++asked;
            return chosen;
        });
        QVERIFY(!m.exportCSV());
        QCOMPARE(asked, 1);
        QCOMPARE(failed.count(), 0);
        QVERIFY(QDir(dir.path()).isEmpty());
        // A file that cannot be written is reported, never passed off as saved.
        chosen = dir.filePath(QStringLiteral("missing/folder/schedule.csv"));
        QVERIFY(!m.exportCSV());
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), chosen);
    }

};

QTEST_GUILESS_MAIN(LoanGPAModelTest)
#include "tst_loangpamodel.moc"
