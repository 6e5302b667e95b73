#include "TestEnvironment.h"
#include "calc/GPA.h"

#include <QTest>

using Courses = QList<GPA::CourseTuple>;
Q_DECLARE_METATYPE(Courses)

namespace {

// "A:3, B:4" -> courses.
Courses courses(const QString& text)
{
    Courses out;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const qsizetype colon = part.lastIndexOf(QLatin1Char(':'));
        out.append({part.mid(colon + 1).toDouble(), part.left(colon).trimmed()});
    }
    return out;
}

} // namespace

class GPATest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void points_data()
    {
        QTest::addColumn<QString>("grade");
        QTest::addColumn<double>("points"); // -1: none
        QTest::newRow("A+ like A") << "A+" << 4.0;
        QTest::newRow("lower case") << "a+" << 4.0;
        QTest::newRow("minus") << "b-" << 2.7;
        QTest::newRow("F counts") << "F" << 0.0;
        QTest::newRow("spaces") << "  C+ " << 2.3;
        QTest::newRow("no-break space") << QString::fromUtf8("\u00A0B\u00A0") << 3.0;
        QTest::newRow("line break kept") << "A\n" << -1.0;
        QTest::newRow("pass") << "P" << -1.0;
        QTest::newRow("off the scale") << "E" << -1.0;
    }
    void points()
    {
        QFETCH(QString, grade);
        QFETCH(double, points);
        const std::optional<double> p = GPA::points(grade);
        if (points < 0)
            QVERIFY(!p);
        else
            QCOMPARE(p.value_or(-1), points);
    }

    void term_data()
    {
        QTest::addColumn<QString>("courses");
        QTest::addColumn<QString>("gpa");
        QTest::addColumn<double>("credits");
        QTest::addColumn<double>("qualityPoints");
        QTest::newRow("A and B") << "A:3, B:4" << "3.43" << 7.0 << 24.0;
        QTest::newRow("pass left out") << "P:3, A:4" << "4.00" << 4.0 << 16.0;
        QTest::newRow("withdrawn alone") << "W:3" << "0.00" << 0.0 << 0.0;
        QTest::newRow("fail counts") << "F:3, A:3" << "2.00" << 6.0 << 12.0;
        QTest::newRow("no credits ignored") << "F:0, A:3" << "4.00" << 3.0 << 12.0;
        QTest::newRow("negative credits ignored") << "F:-3, B:3" << "3.00" << 3.0 << 9.0;
        QTest::newRow("nothing") << "" << "0.00" << 0.0 << 0.0;
        // printf rounds an exact half to the even digit: 25 / 8 = 3.125.
        QTest::newRow("exact half") << "A:5, B:1, D:2" << "3.12" << 8.0 << 25.0;
    }
    void term()
    {
        QFETCH(QString, courses);
        QFETCH(QString, gpa);
        QFETCH(double, credits);
        QFETCH(double, qualityPoints);
        const GPA::TermResult r = GPA::compute(::courses(courses));
        QCOMPARE(GPA::format(r.gpa), gpa);
        QCOMPARE(r.credits, credits);
        QVERIFY(qFuzzyCompare(1 + r.qualityPoints, 1 + qualityPoints));
    }

    void cumulative_data()
    {
        QTest::addColumn<double>("priorGPA");
        QTest::addColumn<double>("priorCredits");
        QTest::addColumn<QString>("courses");
        QTest::addColumn<QString>("gpa");
        QTest::newRow("prior record") << 3.5 << 30.0 << "B:15" << "3.33";
        QTest::newRow("prior only") << 3.2 << 60.0 << "" << "3.20";
        QTest::newRow("pass does not count") << 3.0 << 10.0 << "P:10" << "3.00";
        QTest::newRow("prior used as given") << 5.0 << 10.0 << "F:10" << "2.50";
        QTest::newRow("negative total") << 3.0 << -10.0 << "A:3" << "0.00";
    }
    void cumulative()
    {
        QFETCH(double, priorGPA);
        QFETCH(double, priorCredits);
        QFETCH(QString, courses);
        QFETCH(QString, gpa);
        QCOMPARE(GPA::format(GPA::cumulative(priorGPA, priorCredits, ::courses(courses))), gpa);
    }

};

QTEST_GUILESS_MAIN(GPATest)
#include "tst_gpa.moc"
