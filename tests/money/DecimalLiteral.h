#pragma once

#include "money/Decimal.h"

#include <QString>

// The decimal a test writes as text; a typing mistake in the test stops it.
inline Decimal dec(const QString& text)
{
    const std::optional<Decimal> d = Decimal::fromString(text);
    if (!d)
        qFatal("bad decimal literal %s", qPrintable(text));
    return *d;
}
