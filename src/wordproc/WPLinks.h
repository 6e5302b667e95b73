#pragma once

#include <QString>

class QTextDocument;

// Links found as the user types: a web address ("https://…", "http://…",
// "www.…") just finished by a space or a line break becomes a link to it.
namespace WPLinks {

// The address a typed word stands for ("www.x.org" → "https://www.x.org"),
// or empty when it is none. Trailing punctuation is not part of it.
QString addressOf(const QString& word, int* length = nullptr);

// Looks at the word that ends at `end` (a position in `document`) and makes
// it a link when it is an address and not one already. True when it did.
bool detectBefore(QTextDocument* document, int end);

} // namespace WPLinks
