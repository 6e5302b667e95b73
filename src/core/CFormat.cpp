#include "core/CFormat.h"

#include <QByteArray>
#include <cstdio>
#include <locale.h>

namespace CFormat {

QString number(const QByteArray& format, double value)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    // The C locale for this thread alone, only for the call.
    const locale_t previous = cLocale ? uselocale(cLocale) : locale_t(0);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    char small[128];
    const int n = std::snprintf(small, sizeof small, format.constData(), value);
    QByteArray out;
    if (n >= int(sizeof small)) {
        out.resize(n + 1);
        std::snprintf(out.data(), size_t(n) + 1, format.constData(), value);
        out.resize(n);
    } else if (n > 0) {
        out = QByteArray(small, n);
    }
#pragma GCC diagnostic pop
    if (previous)
        uselocale(previous);
    return QString::fromUtf8(out);
}

} // namespace CFormat
