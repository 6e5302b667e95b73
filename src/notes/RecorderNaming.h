#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <functional>

// The names and texts the recorder makes: audio file names, note titles, the
// name proposed for an export, and the minutes-and-seconds clock.
namespace RecorderNaming {

// "Voice Note 2026-03-14 090500.m4a" for a recording started at `start`
// (local time). When `taken` says that name is in use, " 2", " 3", … is put
// before the extension until a free name is found.
QString fileName(const QDateTime& start, const std::function<bool(const QString&)>& taken);

// "Voice Note — " and the date and time in the locale's medium date and short
// time styles.
QString title(const QDateTime& when);

// The locale's medium date: "Mar 14, 2026" in American English.
QString mediumDate(const QDate& date, const QLocale& locale);
// The locale's short time, hours and minutes: "9:05 PM" in American
// English, "21:05" in British English and where no locale is set.
QString shortTime(const QTime& time, const QLocale& locale);

// The title made safe for a file name, then ".m4a": "/", ":" and the other
// characters file systems or file dialogs refuse become "-" (a double quote
// becomes a single one), control characters spaces; no leading dots; an
// empty result reads "Voice Note"; at most 255 bytes in all.
QString exportName(const QString& title);

// Whole minutes (not limited to 59) and two-digit seconds of the truncated
// seconds: 0:00, 1:05, 62:05. Anything not finite or negative reads 0:00.
QString time(double seconds);

} // namespace RecorderNaming
