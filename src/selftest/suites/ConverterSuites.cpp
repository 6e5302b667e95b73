// Self-test suites of the unit converter: conversion, the zone logic and the
// converter's saved state.
#include "core/Store.h"
#include "calc/ConverterModel.h"
#include "calc/TimeZones.h"
#include "calc/UnitCategory.h"
#include "calc/UnitConverter.h"
#include "selftest/SelfTest.h"

#include <QFile>
#include <cmath>

namespace {

SelfTest::Suite conversionSuite("Unit conversion", [](SelfTest::Check& c) {
    c.equal(qint64(UnitCategory::allCases().size()), 8, QStringLiteral("eight categories"));
    c.near(UnitConverter::convert(5, u"km", u"mi", UnitCategory::length).value_or(NAN), 3.1068559611866697, 1e-9,
           QStringLiteral("5 km in mi"));
    c.near(UnitConverter::convert(37, u"c", u"f", UnitCategory::temperature).value_or(NAN), 98.6, 1e-9,
           QStringLiteral("37 C in F"));
    c.that(!UnitConverter::convert(1, u"m", u"kg", UnitCategory::length),
           QStringLiteral("unit of another category gives nothing"));
});

SelfTest::Suite zonesSuite("Time zones", [](SelfTest::Check& c) {
    const QDateTime jan = QDateTime(QDate(2026, 1, 15), QTime(12, 0), Qt::UTC);
    c.equal(UnitConverter::offsetDescription(QTimeZone("Australia/Adelaide"), jan), QStringLiteral("UTC+10:30"),
            QStringLiteral("offset of Australia/Adelaide in its summer"));
    const std::optional<DateComponents> r =
        UnitConverter::convertWallClock(2026, 5, 31, 22, 15, QTimeZone("Europe/Paris"), QTimeZone("Asia/Tokyo"));
    c.that(r && r->month == 6 && r->day == 1 && r->hour == 5 && r->minute == 15,
           QStringLiteral("wall clock: the date rolls over"));
    c.that(TimeZones::isKnown(QStringLiteral("Europe/Paris")), QStringLiteral("the zone database is there"));
});

SelfTest::Suite stateSuite("Converter state", [](SelfTest::Check& c) {
    const QString file = Store::path(ConverterModel::kFileName);
    QFile::remove(file);
    QFile::remove(file + QStringLiteral(".bak"));
    {
        ConverterModel m;
        c.equal(m.result(m.to()), QStringLiteral("1.609344"), QStringLiteral("first start shows 1 mi in km"));
        m.setCategory(UnitCategory::temperature);
        m.addClock(QStringLiteral("Asia/Kolkata"));
    }
    {
        ConverterModel m;
        c.that(m.category() == UnitCategory(UnitCategory::temperature)
                   && m.clocks().contains(QStringLiteral("Asia/Kolkata")),
               QStringLiteral("choices come back"));
    }
    QFile::remove(file);
    QFile::remove(file + QStringLiteral(".bak"));
});

} // namespace
