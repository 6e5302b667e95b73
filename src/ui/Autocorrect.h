#pragma once

// Which of a word list's guesses automatic correction puts in place of a
// misspelt word. Each guess is weighed by how common it is in English and
// by the kind of slip that would turn it into what was typed (two letters
// swapped, a doubled letter typed once, a vowel or a neighbouring key
// struck instead, a letter not heard left out, a letter moved, a letter
// left out or added); the word is replaced only when one guess is clearly
// the likeliest, and likelier than the word being a name the lists lack.
// Words that look like code, names or model numbers are never replaced,
// and no capitals are put inside a word.

#include <QString>
#include <QStringList>

class WordFrequency;

namespace Autocorrect {

// Whether automatic correction may replace `word` at all: not with digits,
// and no capital after the first letter ("HiDPI", "XYZmid", "iPhone").
bool mayReplace(const QString& word);

// log10 of how likely it is that `typed` comes from `intended` by the
// slips between them; a guess too far off for the word's length, or one
// that splits the word, gives -20.
double slipWeight(const QString& typed, const QString& intended);

// The replacement for `typed` among `guesses` (in any order), in the
// capitals of `typed`; empty when no guess is clearly likelier than every
// other. `frequencies` may be empty: then only the kind of slip decides.
QString choose(const QString& typed, const QStringList& guesses, const WordFrequency& frequencies);

} // namespace Autocorrect
