#include "TestEnvironment.h"
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
        QTest::newRow("London in summer") << zone("Europe/London") << summer << "UTC+1";
        QTest::newRow("Kathmandu quarter") << zone("Asia/Kathmandu") << winter << "UTC+5:45";
        QTest::newRow("Chatham summer (January)") << zone("Pacific/Chatham") << winter << "UTC+13:45";
        QTest::newRow("St Johns behind, half") << zone("America/St_Johns") << winter << "UTC-3:30";
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
        QTest::addColumn<QList<int>>("out"); // empty: the date cannot be built
        auto row = [](const char* name, QList<int> in, const char* from, const char* to, QList<int> out) {
            QTest::newRow(name) << in << QString::fromLatin1(from) << QString::fromLatin1(to) << out;
        };
        row("rolls into next day", {2026, 3, 1, 20, 0}, "UTC", "Asia/Tokyo", {2026, 3, 2, 5, 0});
        row("across the date line", {2026, 1, 1, 0, 0}, "Pacific/Kiritimati", "Pacific/Pago_Pago", {2025, 12, 30, 23, 0});
        // Denver moves to summer time three weeks before London does.
        row("both on summer time", {2026, 3, 29, 12, 0}, "Europe/London", "America/Denver", {2026, 3, 29, 5, 0});
        row("only Denver on summer time", {2026, 3, 28, 12, 0}, "Europe/London", "America/Denver", {2026, 3, 28, 6, 0});
        // A time skipped by the spring change moves forward by the gap.
        row("skipped in Denver", {2026, 3, 8, 2, 30}, "America/Denver", "UTC", {2026, 3, 8, 9, 30});
        row("skipped in London", {2026, 3, 29, 1, 30}, "Europe/London", "UTC", {2026, 3, 29, 1, 30});
        // A time that occurs twice means its first occurrence.
        row("repeated in Denver", {2026, 11, 1, 1, 30}, "America/Denver", "UTC", {2026, 11, 1, 7, 30});
        row("just after the repeat", {2026, 11, 1, 2, 0}, "America/Denver", "UTC", {2026, 11, 1, 9, 0});
        // Out-of-range fields carry over.
        row("month 13", {2026, 13, 1, 0, 0}, "UTC", "UTC", {2027, 1, 1, 0, 0});
        row("day 0", {2026, 3, 0, 8, 0}, "UTC", "UTC", {2026, 2, 28, 8, 0});
        row("minute -1", {2026, 1, 1, 0, -1}, "UTC", "UTC", {2025, 12, 31, 23, 59});
        // Years outside 1...9999, overflowing fields and unknown zones give nothing.
        row("year 0", {0, 6, 1, 0, 0}, "UTC", "UTC", {});
        row("year 10000", {10000, 1, 1, 0, 0}, "UTC", "UTC", {});
        row("largest year", {INT_MAX, 12, 31, 23, 59}, "UTC", "UTC", {});
        row("smallest fields", {INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN}, "UTC", "UTC", {});
        row("days past 9999", {2026, 1, INT_MAX, 0, 0}, "UTC", "UTC", {});
        row("unknown zone", {2026, 1, 1, 0, 0}, "Mars/Olympus_Mons", "UTC", {});
        row("no target zone", {2026, 1, 1, 0, 0}, "UTC", "", {});
    }
    void convertWallClock()
    {
        QFETCH(QList<int>, in);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QList<int>, out);
        const std::optional<DateComponents> got = UnitConverter::convertWallClock(
            in[0], in[1], in[2], in[3], in[4], QTimeZone(from.toUtf8()), to.isEmpty() ? QTimeZone() : QTimeZone(to.toUtf8()));
        QCOMPARE(got.has_value(), !out.isEmpty());
        if (got)
            QCOMPARE((QList<int>{got->year, got->month, got->day, got->hour, got->minute}), out);
    }

    void zoneList()
    {
        const QStringList& zones = ConverterModel::zones();
        QVERIFY(zones.size() > 300);
        QVERIFY(std::is_sorted(zones.begin(), zones.end()));
        QVERIFY(std::adjacent_find(zones.begin(), zones.end()) == zones.end());
        for (QStringView id : TimeZones::suggestions)
            QVERIFY2(TimeZones::isKnown(id.toString()), qPrintable(id.toString()));
        for (const QString& id : TimeZones::defaultClocks())
            QVERIFY(TimeZones::isKnown(id));
        QVERIFY(zones.contains(TimeZones::systemZoneId()));
        QVERIFY(!TimeZones::isKnown(QStringLiteral("America/New York")));
        QVERIFY(!TimeZones::isKnown(QStringLiteral("america/new_york")));
        QVERIFY(!TimeZones::isKnown(QString()));
        QVERIFY(!TimeZones::isKnown(QStringLiteral("../../../etc/passwd")));
        // Only real zone identifiers are offered: no fixed-offset pseudo-zones.
        for (const QString& id : zones)
            QVERIFY2(!(id.startsWith(QLatin1String("UTC+")) || id.startsWith(QLatin1String("UTC-"))), qPrintable(id));
        QVERIFY(!TimeZones::isKnown(QStringLiteral("UTC+05:30")));
        // Texts the system's rule parser would take are not zone names.
        QVERIFY(!TimeZones::zone(QStringLiteral("utc")));
        QVERIFY(!TimeZones::zone(QStringLiteral("America")));
        QCOMPARE(TimeZones::displayName(QStringLiteral("America/Port_of_Spain")), QStringLiteral("America/Port of Spain"));
    }

    void display_data()
    {
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("expected");
        const QDateTime t = utc("2026-07-01T18:00:00Z");
        QTest::newRow("Tokyo, next day") << t << "Asia/Tokyo" << "Thu, Jul 2, 2026  3:00 AM";
        QTest::newRow("midnight") << utc("2026-01-05T00:05:00Z") << "UTC" << "Mon, Jan 5, 2026  12:05 AM";
        // Unknown zones read the computer's own clock (Denver).
        QTest::newRow("unknown") << t << "Mars/Olympus_Mons" << "Wed, Jul 1, 2026  12:00 PM";
        QTest::newRow("spaces for underscores") << t << "America/New York" << "Wed, Jul 1, 2026  12:00 PM";
    }
    void display()
    {
        QFETCH(QDateTime, at);
        QFETCH(QString, id);
        QFETCH(QString, expected);
        QCOMPARE(ConverterModel::display(at, id), expected);
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

    void defaultsAndUnknownZones()
    {
        ConverterModel m;
        QCOMPARE(m.tzFrom(), QStringLiteral("America/Denver")); // the computer's zone
        m.setTzDate(QDateTime::currentDateTime().addDays(-3));
        m.setNow();
        QVERIFY(std::abs(m.tzDate().secsTo(QDateTime::currentDateTime())) < 60);
        QVERIFY(m.zoneConversion());
        // No conversion for an unknown zone, no zone or no date.
        m.setTzFrom(QStringLiteral("Mars/Olympus_Mons"));
        QVERIFY(!m.zoneConversion());
        m.setTzFrom(QStringLiteral("UTC"));
        m.setTzTo(QString());
        QVERIFY(!m.zoneConversion());
        m.setTzTo(QStringLiteral("UTC"));
        m.setTzDate(QDateTime());
        QVERIFY(!m.zoneConversion());
        // A clock of an unknown zone shows no offset.
        const QDateTime t = utc("2026-07-01T18:00:00Z");
        QCOMPARE(TimeZones::clockOffset(QStringLiteral("Asia/Kolkata"), t), QStringLiteral("UTC+5:30"));
        QCOMPARE(TimeZones::clockOffset(QStringLiteral("Mars/Olympus_Mons"), t), QString());
        QCOMPARE(TimeZones::clockOffset(QString(), t), QString());
    }
};

QTEST_MAIN(TimeZonesTest)
#include "tst_timezones.moc"
