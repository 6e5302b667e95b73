#pragma once

// English prose for the typing benchmarks, as people write it: sentences
// of eight to twenty words that end in a full stop, now and then a
// misspelt word (about one in 150 words) and a sentence that does not
// parse (about one in 40). The same seed gives the same text.

#include <QString>

namespace ProseText {

// One sentence (with its full stop, no trailing space).
QString sentence(int seed);
// Sentences joined by spaces until at least `words` words.
QString paragraph(int seed, int words);
int wordCount(const QString& text);

} // namespace ProseText
