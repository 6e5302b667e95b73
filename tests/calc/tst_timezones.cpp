#include "TestEnvironment.h"
#include "app/Store.h"
#include "calc/ConverterModel.h"
#include "calc/TimeZones.h"
#include "calc/UnitConverter.h"

#include <QTest>
#include <climits>
#include <ctime>

namespace {

// The computer's clock runs on Denver time (it keeps daylight saving) and
// texts come out in the plain English locale, whatever the machine says.
const bool kEnvironment = [] {
    qputenv("TZ", "America/Denver");
    qputenv("LC_ALL", "C.UTF-8");
    tzset();
    return true;
}();

QDateTime utc(const char* iso)
{
    QDateTime d = QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
    return d.toUTC();
}

QTimeZone zone(const char* id)
{
    return QTimeZone(QByteArray(id));
}

QDateTime denver(int y, int mo, int d, int h, int mi)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi), zone("America/Denver"));
}

} // namespace

class TimeZonesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(kEnvironment);
        QCOMPARE(QTimeZone::systemTimeZoneId(), QByteArray("America/Denver"));
        if (QLocale::system().amText() != QStringLiteral("AM")
            || QLocale::system().dayName(3, QLocale::ShortFormat) != QStringLiteral("Wed"))
            QSKIP("the C locale is not available");
    }
    void init() { TestEnvironment::clearDataFolder(); }

    void offsetDescription_data()
    {
        QTest::addColumn<QTimeZone>("zone");
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<QString>("expected");
        const QDateTime winter = utc("2026-01-15T12:00:00Z");
        const QDateTime summer = utc("2026-07-15T12:00:00Z");
        QTest::newRow("UTC") << zone("UTC") << winter << "UTC+0";
        QTest::newRow("London in winter") << zone("Europe/London") << winter << "UTC+0";
        QTest::newRow("London in summer") << zone("Europe/London") << summer << "UTC+1";
        QTest::newRow("Kolkata half hour") << zone("Asia/Kolkata") << winter << "UTC+5:30";
        QTest::newRow("Kathmandu quarter") << zone("Asia/Kathmandu") << winter << "UTC+5:45";
        QTest::newRow("Eucla three quarters") << zone("Australia/Eucla") << winter << "UTC+8:45";
        QTest::newRow("Chatham summer (January)") << zone("Pacific/Chatham") << winter << "UTC+13:45";
        QTest::newRow("Chatham winter (July)") << zone("Pacific/Chatham") << summer << "UTC+12:45";
        QTest::newRow("St Johns behind, half") << zone("America/St_Johns") << winter << "UTC-3:30";
        QTest::newRow("St Johns daylight") << zone("America/St_Johns") << summer << "UTC-2:30";
        QTest::newRow("Marquesas") << zone("Pacific/Marquesas") << winter << "UTC-9:30";
        QTest::newRow("three hours behind") << zone("America/Sao_Paulo") << winter << "UTC-3";
        QTest::newRow("fourteen ahead") << zone("Pacific/Kiritimati") << winter << "UTC+14";
        QTest::newRow("Denver standard") << zone("America/Denver") << winter << "UTC-7";
        QTest::newRow("Denver daylight") << zone("America/Denver") << summer << "UTC-6";
        // Around the spring change at 09:00 UTC on 8 March 2026.
        QTest::newRow("second before change") << zone("America/Denver") << utc("2026-03-08T08:59:59Z") << "UTC-7";
        QTest::newRow("moment of change") << zone("America/Denver") << utc("2026-03-08T09:00:00Z") << "UTC-6";
        QTest::newRow("seconds are dropped") << QTimeZone(5 * 3600 + 59) << winter << "UTC+5";
        QTest::newRow("minutes and seconds") << QTimeZone(-(9 * 3600 + 30 * 60 + 59)) << winter << "UTC-9:30";
    }
    void offsetDescription()
    {
        QFETCH(QTimeZone, zone);
        QFETCH(QDateTime, at);
        QFETCH(QString, expected);
        QVERIFY(zone.isValid());
        QCOMPARE(UnitConverter::offsetDescription(zone, at), expected);
    }

    void convertWallClock_data()
    {
        QTest::addColumn<QList<int>>("in");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QList<int>>("out");
        QTest::newRow("summer on both sides") << QList<int>{2026, 7, 1, 12, 0} << "America/Denver" << "America/New_York"
                                              << QList<int>{2026, 7, 1, 14, 0};
        QTest::newRow("winter to UTC") << QList<int>{2026, 1, 15, 9, 30} << "America/Denver" << "UTC"
                                       << QList<int>{2026, 1, 15, 16, 30};
        QTest::newRow("rolls into next day") << QList<int>{2026, 3, 1, 20, 0} << "UTC" << "Asia/Tokyo"
                                             << QList<int>{2026, 3, 2, 5, 0};
        QTest::newRow("quarter-hour zones") << QList<int>{2026, 1, 1, 0, 0} << "Asia/Kathmandu" << "Australia/Eucla"
                                            << QList<int>{2026, 1, 1, 3, 0};
        QTest::newRow("across the date line") << QList<int>{2026, 1, 1, 0, 0} << "Pacific/Kiritimati"
                                              << "Pacific/Pago_Pago" << QList<int>{2025, 12, 30, 23, 0};
        // Denver moves to summer time three weeks before London does.
        QTest::newRow("both on summer time") << QList<int>{2026, 3, 29, 12, 0} << "Europe/London" << "America/Denver"
                                             << QList<int>{2026, 3, 29, 5, 0};
        QTest::newRow("only Denver on summer time") << QList<int>{2026, 3, 28, 12, 0} << "Europe/London"
                                             << "America/Denver" << QList<int>{2026, 3, 28, 6, 0};
        // A time skipped by the spring change moves forward by the gap.
        QTest::newRow("skipped in Denver") << QList<int>{2026, 3, 8, 2, 30} << "America/Denver" << "UTC"
                                           << QList<int>{2026, 3, 8, 9, 30};
        QTest::newRow("skipped in London") << QList<int>{2026, 3, 29, 1, 30} << "Europe/London" << "UTC"
                                           << QList<int>{2026, 3, 29, 1, 30};
        // A time that occurs twice means its first occurrence.
        QTest::newRow("repeated in Denver") << QList<int>{2026, 11, 1, 1, 30} << "America/Denver" << "UTC"
                                            << QList<int>{2026, 11, 1, 7, 30};
        QTest::newRow("repeated in Sydney") << QList<int>{2026, 4, 5, 2, 30} << "Australia/Sydney" << "UTC"
                                            << QList<int>{2026, 4, 4, 15, 30};
        QTest::newRow("just after the repeat") << QList<int>{2026, 11, 1, 2, 0} << "America/Denver" << "UTC"
                                               << QList<int>{2026, 11, 1, 9, 0};
        // Out-of-range fields carry over.
        QTest::newRow("month 13") << QList<int>{2026, 13, 1, 0, 0} << "UTC" << "UTC" << QList<int>{2027, 1, 1, 0, 0};
        QTest::newRow("month 0") << QList<int>{2026, 0, 15, 0, 0} << "UTC" << "UTC" << QList<int>{2025, 12, 15, 0, 0};
        QTest::newRow("day 0") << QList<int>{2026, 3, 0, 8, 0} << "UTC" << "UTC" << QList<int>{2026, 2, 28, 8, 0};
        QTest::newRow("29 February, no leap year") << QList<int>{2026, 2, 29, 0, 0} << "UTC" << "UTC"
                                                   << QList<int>{2026, 3, 1, 0, 0};
        QTest::newRow("hour 24") << QList<int>{2026, 12, 31, 24, 0} << "UTC" << "UTC" << QList<int>{2027, 1, 1, 0, 0};
        QTest::newRow("minute 90") << QList<int>{2026, 5, 5, 10, 90} << "UTC" << "UTC" << QList<int>{2026, 5, 5, 11, 30};
        QTest::newRow("minute -1") << QList<int>{2026, 1, 1, 0, -1} << "UTC" << "UTC"
                                   << QList<int>{2025, 12, 31, 23, 59};
    }
    void convertWallClock()
    {
        QFETCH(QList<int>, in);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QList<int>, out);
        const std::optional<DateComponents> got = UnitConverter::convertWallClock(
            in[0], in[1], in[2], in[3], in[4], QTimeZone(from.toUtf8()), QTimeZone(to.toUtf8()));
        QVERIFY(got);
        QCOMPARE((QList<int>{got->year, got->month, got->day, got->hour, got->minute}), out);
    }

    void unbuildableDatesGiveNothing_data()
    {
        QTest::addColumn<QList<int>>("in");
        QTest::addColumn<QString>("from");
        QTest::newRow("year 0") << QList<int>{0, 6, 1, 0, 0} << "UTC";
        QTest::newRow("year 10000") << QList<int>{10000, 1, 1, 0, 0} << "UTC";
        QTest::newRow("largest year") << QList<int>{INT_MAX, 12, 31, 23, 59} << "UTC";
        QTest::newRow("smallest fields") << QList<int>{INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN} << "UTC";
        QTest::newRow("days past 9999") << QList<int>{2026, 1, INT_MAX, 0, 0} << "UTC";
        QTest::newRow("unknown zone") << QList<int>{2026, 1, 1, 0, 0} << "Mars/Olympus_Mons";
    }
    void unbuildableDatesGiveNothing()
    {
        QFETCH(QList<int>, in);
        QFETCH(QString, from);
        QVERIFY(!UnitConverter::convertWallClock(in[0], in[1], in[2], in[3], in[4], QTimeZone(from.toUtf8()),
                                                 QTimeZone("UTC")));
        QVERIFY(!UnitConverter::convertWallClock(2026, 1, 1, 0, 0, QTimeZone("UTC"), QTimeZone()));
    }

    void zoneList()
    {
        const QStringList& zones = ConverterModel::zones();
        QCOMPARE(&zones, &ConverterModel::zones());
        QVERIFY(zones.size() > 300);
        QVERIFY(std::is_sorted(zones.begin(), zones.end()));
        QVERIFY(std::adjacent_find(zones.begin(), zones.end()) == zones.end());
        for (QStringView id : TimeZones::suggestions)
            QVERIFY2(TimeZones::isKnown(id.toString()), qPrintable(id.toString()));
        for (const QString& id : TimeZones::defaultClocks())
            QVERIFY(TimeZones::isKnown(id));
        QVERIFY(zones.contains(TimeZones::systemZoneId()));
        QVERIFY(zones.contains(QStringLiteral("America/New_York")));
        QVERIFY(!TimeZones::isKnown(QStringLiteral("America/New York")));
        QVERIFY(!TimeZones::isKnown(QStringLiteral("america/new_york")));
        QVERIFY(!TimeZones::isKnown(QString()));
        QVERIFY(!TimeZones::isKnown(QStringLiteral("../../../etc/passwd")));
        // Texts the system's rule parser would take are not zone names.
        QVERIFY(!TimeZones::zone(QStringLiteral("utc")));
        QVERIFY(!TimeZones::zone(QStringLiteral("America")));
    }

    void suggestions()
    {
        QCOMPARE(TimeZones::suggestions.size(), size_t(15));
        QCOMPARE(TimeZones::suggestions.front().toString(), QStringLiteral("America/Los_Angeles"));
        QCOMPARE(TimeZones::suggestions.back().toString(), QStringLiteral("UTC"));
        QCOMPARE(TimeZones::displayName(QStringLiteral("America/Los_Angeles")), QStringLiteral("America/Los Angeles"));
        QCOMPARE(TimeZones::displayName(QStringLiteral("America/Port_of_Spain")),
                 QStringLiteral("America/Port of Spain"));
    }

    void display_data()
    {
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("expected");
        const QDateTime t = utc("2026-07-01T18:00:00Z");
        QTest::newRow("New York") << t << "America/New_York" << "Wed, Jul 1, 2026  2:00 PM";
        QTest::newRow("Tokyo, next day") << t << "Asia/Tokyo" << "Thu, Jul 2, 2026  3:00 AM";
        QTest::newRow("Kathmandu") << t << "Asia/Kathmandu" << "Wed, Jul 1, 2026  11:45 PM";
        QTest::newRow("noon") << utc("2026-01-05T12:00:00Z") << "UTC" << "Mon, Jan 5, 2026  12:00 PM";
        QTest::newRow("midnight") << utc("2026-01-05T00:05:00Z") << "UTC" << "Mon, Jan 5, 2026  12:05 AM";
        // Unknown zones read the computer's own clock (Denver).
        QTest::newRow("unknown") << t << "Mars/Olympus_Mons" << "Wed, Jul 1, 2026  12:00 PM";
        QTest::newRow("empty") << t << "" << "Wed, Jul 1, 2026  12:00 PM";
        QTest::newRow("spaces for underscores") << t << "America/New York" << "Wed, Jul 1, 2026  12:00 PM";
    }
    void display()
    {
        QFETCH(QDateTime, at);
        QFETCH(QString, id);
        QFETCH(QString, expected);
        QCOMPARE(ConverterModel::display(at, id), expected);
    }

    void clockOffset()
    {
        const QDateTime t = utc("2026-07-01T18:00:00Z");
        QCOMPARE(TimeZones::clockOffset(QStringLiteral("Asia/Kolkata"), t), QStringLiteral("UTC+5:30"));
        QCOMPARE(TimeZones::clockOffset(QStringLiteral("Mars/Olympus_Mons"), t), QString());
        QCOMPARE(TimeZones::clockOffset(QString(), t), QString());
    }

    void convertEntered_data()
    {
        QTest::addColumn<QDateTime>("entered");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("summer") << denver(2026, 7, 1, 12, 0) << "America/New_York" << "Asia/Tokyo"
                                << QStringList{"Wed, Jul 1  12:00 PM in America/New York (UTC-4)",
                                               "= Thu, Jul 2, 2026  1:00 AM", "in Asia/Tokyo (UTC+9)"};
        QTest::newRow("same zone") << denver(2026, 1, 15, 9, 30) << "America/Denver" << "UTC"
                                   << QStringList{"Thu, Jan 15  9:30 AM in America/Denver (UTC-7)",
                                                  "= Thu, Jan 15, 2026  4:30 PM", "in UTC (UTC+0)"};
        // The instant on the computer's clock (02:00 UTC, 29 March) is
        // already London summer time; 8 PM on 28 March in London is not.
        // The label belongs to the time converted.
        QTest::newRow("label at the time converted")
            << denver(2026, 3, 28, 20, 0) << "Europe/London" << "UTC"
            << QStringList{"Sat, Mar 28  8:00 PM in Europe/London (UTC+0)", "= Sat, Mar 28, 2026  8:00 PM",
                           "in UTC (UTC+0)"};
        // 2:30 AM on 8 March does not exist on the computer's clock, but it
        // is the right answer in UTC and must show as such.
        QTest::newRow("answer inside a local gap")
            << denver(2026, 3, 8, 11, 30) << "Asia/Tokyo" << "UTC"
            << QStringList{"Sun, Mar 8  11:30 AM in Asia/Tokyo (UTC+9)", "= Sun, Mar 8, 2026  2:30 AM",
                           "in UTC (UTC+0)"};
        QTest::newRow("half-hour target")
            << denver(2026, 12, 31, 23, 0) << "UTC" << "Asia/Kolkata"
            << QStringList{"Thu, Dec 31  11:00 PM in UTC (UTC+0)", "= Fri, Jan 1, 2027  4:30 AM",
                           "in Asia/Kolkata (UTC+5:30)"};
    }
    void convertEntered()
    {
        QFETCH(QDateTime, entered);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QStringList, lines);
        ConverterModel m;
        m.setTzDate(entered);
        m.setTzFrom(from);
        m.setTzTo(to);
        const std::optional<QStringList> got = m.zoneConversion();
        QVERIFY(got);
        QCOMPARE(*got, lines);
    }

    void noConversionForUnknownZones()
    {
        ConverterModel m;
        m.setTzFrom(QStringLiteral("Mars/Olympus_Mons"));
        QVERIFY(!m.zoneConversion());
        m.setTzFrom(QStringLiteral("UTC"));
        QVERIFY(m.zoneConversion());
        m.setTzTo(QString());
        QVERIFY(!m.zoneConversion());
        m.setTzTo(QStringLiteral("UTC"));
        m.setTzDate(QDateTime());
        QVERIFY(!m.zoneConversion());
    }

    void defaultsFollowTheComputer()
    {
        ConverterModel m;
        QCOMPARE(m.tzFrom(), QStringLiteral("America/Denver"));
        QCOMPARE(m.tzTo(), QStringLiteral("UTC"));
        QVERIFY(std::abs(m.tzDate().secsTo(QDateTime::currentDateTime())) < 60);
        const QDateTime old = QDateTime::currentDateTime().addDays(-3);
        m.setTzDate(old);
        m.setNow();
        QVERIFY(std::abs(m.tzDate().secsTo(QDateTime::currentDateTime())) < 60);
    }

    void swapZonesSaves()
    {
        ConverterModel m;
        m.setTzFrom(QStringLiteral("Asia/Kolkata"));
        m.swapZones();
        QCOMPARE(m.tzFrom(), QStringLiteral("UTC"));
        QCOMPARE(m.tzTo(), QStringLiteral("Asia/Kolkata"));
        const std::optional<ConverterModel::Saved> saved = Store::load<ConverterModel::Saved>(ConverterModel::kFileName);
        QVERIFY(saved);
        QCOMPARE(saved->tzFrom, QStringLiteral("UTC"));
        QCOMPARE(saved->tzTo, QStringLiteral("Asia/Kolkata"));
    }
};

QTEST_MAIN(TimeZonesTest)
#include "tst_timezones.moc"
