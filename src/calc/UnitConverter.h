#pragma once

#include "calc/DateComponents.h"
#include "calc/UnitCategory.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>
#include <optional>

// Stateless conversions of the unit converter: units within a category and
// wall-clock times between zones.
namespace UnitConverter {

// `value` in unit `from` expressed in unit `to`, both ids of `category`;
// nothing when either id is not a unit of that category. Linear categories
// compute (from.factor * value) / to.factor; temperature goes through kelvin.
std::optional<double> convert(double value, QStringView from, QStringView to, UnitCategory category);

// The zone's offset from UTC at `date`, daylight saving included:
// "UTC+5", "UTC-3", "UTC+5:30", "UTC+0".
QString offsetDescription(const QTimeZone& zone, const QDateTime& date);

// The wall-clock moment year-month-day hour:minute in `from`, read in `to`.
// Out-of-range fields are carried over (month 13 is January of the next
// year, minute 90 is 1:30); a time skipped by a daylight-saving change moves
// forward by the size of the gap, a time that occurs twice means its first
// occurrence. Nothing when the date cannot be built (a year outside 1...9999
// or an invalid zone).
std::optional<DateComponents> convertWallClock(int year, int month, int day, int hour, int minute,
                                               const QTimeZone& from, const QTimeZone& to);

} // namespace UnitConverter
