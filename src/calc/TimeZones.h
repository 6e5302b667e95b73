#pragma once

#include "calc/DateComponents.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTimeZone>
#include <array>
#include <optional>

// Zone lookups and wall-clock formatting for the converter's "Time Zones"
// tab. Identifiers are kept exactly as the system spells them; only names
// shown to the user turn "_" into spaces.
namespace TimeZones {

// The suggestions of the "Add Clock" menu, in menu order.
inline constexpr std::array<QStringView, 15> suggestions{
    u"America/Los_Angeles", u"America/Denver", u"America/Chicago", u"America/New_York",
    u"America/Anchorage",   u"Pacific/Honolulu", u"Europe/London", u"Europe/Paris",
    u"Europe/Berlin",       u"Asia/Dubai",       u"Asia/Kolkata",  u"Asia/Shanghai",
    u"Asia/Tokyo",          u"Australia/Sydney", u"UTC",
};

// The world clocks of a first start, in display order.
QStringList defaultClocks();

// Every zone identifier the system knows (its own zone included), sorted by
// character code. Built once per process.
const QStringList& known();
bool isKnown(const QString& id);
// The zone of a known identifier; nothing for any other text.
std::optional<QTimeZone> zone(const QString& id);

// The computer's own zone and its identifier ("UTC" when it has none).
QTimeZone systemZone();
QString systemZoneId();

// The identifier as a name: "America/New_York" -> "America/New York".
QString displayName(const QString& id);

// The instant that a wall-clock reading denotes in `zone` (out-of-range
// fields carried over, a skipped time moved forward by the gap, a repeated
// time taken at its first occurrence); nothing when it cannot be built.
std::optional<QDateTime> instant(const DateComponents& wallClock, const QTimeZone& zone);
// The wall-clock reading of `instant` in `zone`.
DateComponents components(const QDateTime& instant, const QTimeZone& zone);

// `instant` as "Wed, Jul 1, 2026  2:00 PM" in the user's locale, read in the
// zone `id`, or in the computer's zone when `id` is not a known zone.
QString display(const QDateTime& instant, const QString& id);

// The offset label of a world clock: empty for an unknown zone.
QString clockOffset(const QString& id, const QDateTime& at);

// The three result lines of the "Convert a time" panel for the instant
// `entered` (a wall-clock time on the computer's clock) taken as a time in
// `fromId` and converted into `toId`; nothing when either zone is unknown or
// a date cannot be built.
std::optional<QStringList> convertEntered(const QDateTime& entered, const QString& fromId, const QString& toId);

} // namespace TimeZones
