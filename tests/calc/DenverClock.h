#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <ctime>

// Puts the computer's clock on Denver time (it keeps daylight saving) and
// makes texts come out in the plain English locale, whatever the machine
// says. Call it from a static initialiser, before anything reads the zone.
inline bool useDenverClock()
{
    qputenv("TZ", "America/Denver");
    qputenv("LC_ALL", "C.UTF-8");
    tzset();
    return true;
}
