#pragma once

#include <QByteArray>
#include <QString>

// Windows and Mac code pages of older documents (RTF's \ansicpg and font
// character sets), decoded through iconv.
namespace CodePage {

// The iconv name of a Windows code page number (1252 → "CP1252",
// 10000 → "MACINTOSH", 65001 → "UTF-8").
QByteArray iconvName(int codePage);

// Decodes `bytes`; bytes the code page cannot map become U+FFFD. Unknown
// code pages decode as Windows-1252.
QString decode(const QByteArray& bytes, int codePage);

} // namespace CodePage
