#include "TestEnvironment.h"
#include "app/Store.h"
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

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QJsonObject fullState()
{
    return QJsonObject{
        {"amount", 18000.5},
        {"rate", 4.25},
        {"years", 3.5},
        {"extra", 50},
        {"price", 420000},
        {"down", 84000},
        {"mRate", 5.875},
        {"mYears", 15},
        {"tax", 3600},
        {"insurance", 900},
        {"pmi", 0.75},
        {"hoa", 125},
        {"courses", QJsonArray{QJsonObject{{"id", "6F9619FF-8B86-D011-B42D-00CF4FC964FF"},
                                           {"name", "Statistics"},
                                           {"credits", 4},
                                           {"grade", "B-"}}}},
        {"priorGPA", 3.1},
        {"priorCredits", 45},
    };
}

void writeState(const QJsonObject& o)
{
    QFile f(Store::path(LoanGPAModel::kFileName));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QJsonDocument(o).toJson());
}

void waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(10);
}

bool cents(double a, double b)
{
    return std::llround(a * 100) == std::llround(b * 100);
}

} // namespace

class LoanGPAModelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init() { TestEnvironment::clearDataFolder(); }

    void initialValues()
    {
        const QDateTime before = QDateTime::currentDateTime();
        LoanGPAModel m;
        QCOMPARE(m.amount(), 25000.0);
        QCOMPARE(m.rate(), 6.5);
        QCOMPARE(m.years(), 5.0);
        QCOMPARE(m.extra(), 0.0);
        QVERIFY(qAbs(m.startDate().secsTo(before)) < 5);
        QCOMPARE(m.yearly(), false);
        QCOMPARE(m.price(), 350000.0);
        QCOMPARE(m.down(), 35000.0);
        QCOMPARE(m.mRate(), 6.75);
        QCOMPARE(m.mYears(), qint64(30));
        QCOMPARE(m.tax(), 2400.0);
        QCOMPARE(m.insurance(), 1200.0);
        QCOMPARE(m.pmi(), 0.5);
        QCOMPARE(m.hoa(), 0.0);
        QCOMPARE(m.courses().size(), 2);
        QCOMPARE(m.courses().at(0).name, QStringLiteral("English 101"));
        QCOMPARE(m.courses().at(0).credits, 3.0);
        QCOMPARE(m.courses().at(0).grade, QStringLiteral("A"));
        QCOMPARE(m.courses().at(1).name, QStringLiteral("Biology"));
        QCOMPARE(m.courses().at(1).credits, 4.0);
        QCOMPARE(m.courses().at(1).grade, QStringLiteral("B+"));
        QVERIFY(m.courses().at(0).id != m.courses().at(1).id);
        QCOMPARE(m.priorGPA(), 0.0);
        QCOMPARE(m.priorCredits(), 0.0);
        QVERIFY(!m.isSavePending());
    }

    void initialFigures()
    {
        LoanGPAModel m;
        QCOMPARE(m.months(), qint64(60));
        const LoanResult r = m.loan();
        QCOMPARE(r.monthlyPayment, 489.15);
        QCOMPARE(r.months, qint64(60));
        QVERIFY(cents(r.schedule.first().interest, 135.42));
        QVERIFY(cents(r.schedule.first().principal, 353.73));
        QVERIFY(cents(r.schedule.first().balance, 24646.27));
        QVERIFY(cents(r.totalInterest, 4349.20));
        QVERIFY(cents(r.schedule.last().payment, 489.35));

        const LoanMath::MortgageBreakdown b = m.mortgage();
        QCOMPARE(b.loanAmount, 315000.0);
        QVERIFY(cents(b.principalAndInterest, 2043.08));
        QVERIFY(cents(b.pmi, 131.25));
        QVERIFY(cents(b.propertyTax, 200));
        QVERIFY(cents(b.insurance, 100));
        QCOMPARE(b.hoa, 0.0);
        QVERIFY(cents(b.total(), 2474.33));

        QCOMPARE(GPA::format(GPA::compute(m.gpaTuples()).gpa), QStringLiteral("3.60"));
    }

    void months_data()
    {
        QTest::addColumn<double>("years");
        QTest::addColumn<qint64>("months");
        QTest::newRow("whole years") << 5.0 << qint64(60);
        QTest::newRow("half year") << 2.5 << qint64(30);
        QTest::newRow("tiny term") << 0.04 << qint64(1);
        QTest::newRow("zero") << 0.0 << qint64(1);
        QTest::newRow("negative") << -3.0 << qint64(1);
        QTest::newRow("half a month rounds up") << 1.0 / 24.0 << qint64(1);
        QTest::newRow("one and a half months") << 0.125 << qint64(2);
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << qint64(1);
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << std::numeric_limits<qint64>::max();
        QTest::newRow("beyond 64 bits") << 1e300 << std::numeric_limits<qint64>::max();
        QTest::newRow("minus infinite") << -std::numeric_limits<double>::infinity() << qint64(1);
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
        QCOMPARE(m.amount(), 18000.5);
        QCOMPARE(m.rate(), 4.25);
        QCOMPARE(m.years(), 3.5);
        QCOMPARE(m.extra(), 50.0);
        QCOMPARE(m.price(), 420000.0);
        QCOMPARE(m.down(), 84000.0);
        QCOMPARE(m.mRate(), 5.875);
        QCOMPARE(m.mYears(), qint64(15));
        QCOMPARE(m.tax(), 3600.0);
        QCOMPARE(m.insurance(), 900.0);
        QCOMPARE(m.pmi(), 0.75);
        QCOMPARE(m.hoa(), 125.0);
        QCOMPARE(m.courses().size(), 1);
        QCOMPARE(m.courses().at(0).id, QUuid::fromString(QStringLiteral("6F9619FF-8B86-D011-B42D-00CF4FC964FF")));
        QCOMPARE(m.courses().at(0).name, QStringLiteral("Statistics"));
        QCOMPARE(m.courses().at(0).grade, QStringLiteral("B-"));
        QCOMPARE(m.priorGPA(), 3.1);
        QCOMPARE(m.priorCredits(), 45.0);
        QCOMPARE(m.yearly(), false);
        QVERIFY(qAbs(m.startDate().secsTo(QDateTime::currentDateTime())) < 5);
    }

    void damagedStateRestoresNothing_data()
    {
        QTest::addColumn<QByteArray>("text");
        for (const QString& key : fullState().keys()) {
            QJsonObject o = fullState();
            o.remove(key);
            QTest::newRow(qPrintable(QStringLiteral("without ") + key)) << QJsonDocument(o).toJson();
        }
        QJsonObject o = fullState();
        o.insert("mYears", 15.5);
        QTest::newRow("fractional mYears") << QJsonDocument(o).toJson();
        o = fullState();
        o.insert("amount", "25000");
        QTest::newRow("amount as text") << QJsonDocument(o).toJson();
        o = fullState();
        o.insert("courses", QJsonArray{QJsonObject{{"id", "6F9619FF-8B86-D011-B42D-00CF4FC964FF"}, {"name", "X"},
                                                   {"credits", 3}}});
        QTest::newRow("course without grade") << QJsonDocument(o).toJson();
        o = fullState();
        o.insert("courses", QJsonObject{});
        QTest::newRow("courses not a list") << QJsonDocument(o).toJson();
        QTest::newRow("truncated") << QJsonDocument(fullState()).toJson().left(60);
        QTest::newRow("not json") << QByteArray("loan");
        QTest::newRow("list") << QByteArray("[]");
    }
    void damagedStateRestoresNothing()
    {
        QFETCH(QByteArray, text);
        QFile f(Store::path(LoanGPAModel::kFileName));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
        f.close();
        LoanGPAModel m;
        QCOMPARE(m.amount(), 25000.0);
        QCOMPARE(m.mYears(), qint64(30));
        QCOMPARE(m.priorCredits(), 0.0);
        QCOMPARE(m.courses().size(), 2);
        QCOMPARE(m.courses().at(1).name, QStringLiteral("Biology"));
    }

    void savesTheFifteenFields()
    {
        {
            LoanGPAModel m;
            m.setAmount(1234.5);
            m.setMYears(20);
            m.setYearly(true);
            m.setStartDate(QDateTime(QDate(2020, 5, 1), QTime(12, 0)));
            m.setCourseGrade(m.courses().at(1).id, QStringLiteral("C"));
            m.persist();
            QVERIFY(m.isSavePending());
            waitFor([&] { return !m.isSavePending(); }, 3000);
        }
        const QByteArray text = contents(Store::path(LoanGPAModel::kFileName));
        const QJsonObject o = QJsonDocument::fromJson(text).object();
        QCOMPARE(o.keys(), fullState().keys());
        QCOMPARE(o.value("amount").toDouble(), 1234.5);
        QCOMPARE(o.value("mYears").toInteger(), 20);
        QVERIFY(!text.contains("yearly") && !text.contains("startDate"));
        QVERIFY(text.indexOf("\"amount\"") < text.indexOf("\"courses\""));

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
        waitFor([&] { return QFile::exists(file); }, 3000);
        QVERIFY(QFile::exists(file));
        QVERIFY2(t.elapsed() - lastEdit >= 550, qPrintable(QString::number(t.elapsed() - lastEdit)));
        QTest::qWait(700);
        // A second write would have left a backup of the first.
        QVERIFY(!QFile::exists(file + QStringLiteral(".bak")));
        QCOMPARE(QJsonDocument::fromJson(contents(file)).object().value("amount").toDouble(), 10000.0);
    }

    void unsavableValueLeavesFileAlone()
    {
        LoanGPAModel m;
        m.persist();
        waitFor([&] { return !m.isSavePending(); }, 3000);
        const QByteArray before = contents(Store::path(LoanGPAModel::kFileName));
        QVERIFY(!before.isEmpty());
        m.setRate(std::numeric_limits<double>::quiet_NaN());
        m.persist();
        waitFor([&] { return !m.isSavePending(); }, 3000);
        QCOMPARE(contents(Store::path(LoanGPAModel::kFileName)), before);
    }

    void changeNotifications()
    {
        LoanGPAModel m;
        QSignalSpy changed(&m, &LoanGPAModel::changed);
        QSignalSpy courses(&m, &LoanGPAModel::coursesChanged);
        m.setAmount(m.amount());
        m.setCourseName(QUuid::createUuid(), QStringLiteral("nobody"));
        QCOMPARE(changed.count(), 0);
        m.setYearly(true);
        m.setStartDate(m.startDate().addDays(1));
        m.setCourseCredits(m.courses().at(0).id, 5);
        QCOMPARE(changed.count(), 3);
        QCOMPARE(courses.count(), 0);
        m.addCourse();
        QCOMPARE(courses.count(), 1);
        QCOMPARE(changed.count(), 4);
    }

    void addAndRemoveCourses()
    {
        LoanGPAModel m;
        const QUuid added = m.addCourse();
        QCOMPARE(m.courses().size(), 3);
        QCOMPARE(m.courses().last().id, added);
        QCOMPARE(m.courses().last().name, QString());
        QCOMPARE(m.courses().last().credits, 3.0);
        QCOMPARE(m.courses().last().grade, QStringLiteral("A"));

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
        QTest::newRow("first payment next month") << QDate(2026, 1, 15) << qint64(1) << "Feb 2026";
        QTest::newRow("end of January") << QDate(2026, 1, 31) << qint64(1) << "Feb 2026";
        QTest::newRow("a year on") << QDate(2026, 1, 31) << qint64(13) << "Feb 2027";
        QTest::newRow("year end") << QDate(2025, 12, 1) << qint64(1) << "Jan 2026";
        QTest::newRow("period 0") << QDate(2026, 3, 1) << qint64(0) << "Mar 2026";
        QTest::newRow("30 years") << QDate(2026, 3, 1) << qint64(360) << "Mar 2056";
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
    }

    void csvOfEmptySchedule()
    {
        LoanGPAModel m;
        m.setAmount(0);
        QCOMPARE(m.csvText(), QStringLiteral("Payment #,Date,Payment,Principal,Interest,Extra,Balance\n"));
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
        const QByteArray bytes = contents(path);
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(bytes, m.csvText().toUtf8());
        QVERIFY(bytes.contains("\n3,"));
        QVERIFY(bytes.endsWith("333.34,333.34,0.00,0.00,0.00\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("schedule.csv")});
    }

    void cancelledExportWritesNothing()
    {
        QTemporaryDir dir;
        LoanGPAModel m;
        int asked = 0;
        m.setSavePathChooser([&](const QString&) {
            ++asked;
            return QString();
        });
        QSignalSpy failed(&m, &LoanGPAModel::exportFailed);
        QVERIFY(!m.exportCSV());
        QCOMPARE(asked, 1);
        QCOMPARE(failed.count(), 0);
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void failedExportIsReported()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/folder/schedule.csv"));
        LoanGPAModel m;
        m.setSavePathChooser([&](const QString&) { return path; });
        QSignalSpy failed(&m, &LoanGPAModel::exportFailed);
        QVERIFY(!m.exportCSV());
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), path);
    }
};

QTEST_GUILESS_MAIN(LoanGPAModelTest)
#include "tst_loangpamodel.moc"
