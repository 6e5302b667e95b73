#pragma once

#include <QString>

// printf of one double in the C locale: "." as the decimal point whatever
// the user's locale, and printf's own rounding of the exact binary value (a
// value exactly halfway, such as 0.125 at two places, goes to the even
// digit: "0.12"). Qt's QString::asprintf rounds such halves away from zero
// instead.
namespace CFormat {

// `format` must hold exactly one floating conversion (f, e, g and their
// capitals, with flags, width and precision) and nothing else that printf
// reads an argument for.
QString number(const QByteArray& format, double value);

} // namespace CFormat
