#include "ui/Autocorrect.h"

#include "ui/WordFrequency.h"

#include <QHash>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// How much likelier the best guess must be than the next (log10): over six
// times with word frequencies; without them the kinds of slip must differ
// clearly (a swap against a wrong letter, not against a key beside it).
const double kMargin = 0.8;
const double kMarginWithoutFrequencies = 1.5;
const double kTooFar = -20.0;
// How much a word's frequency counts against the kind of slip.
const double kFrequencyWeight = 0.6;
// A word the lists do not know may be a name or a term of its own: a guess
// both rare and far off ("Eilidh" as "Ceilidh") is less likely than that.
const double kLeastLikely = -7.0;

// What each kind of slip costs, in log10 of how rarely it happens: two
// vowels swapped, two letters swapped or a doubled letter typed once (or a
// letter typed twice) are the commonest, then a silent letter left out or a
// letter moved a little, a vowel for another, a neighbouring key, a letter
// that sounds alike; a letter left out or added at random, or one struck
// wrong for no reason, are rare.
const double kSwap = 0.5;          // "teh" for "the"
const double kVowelsSwapped = 0.3; // "wierd" for "weird"
const double kMoved = 1.5;         // "tounge" for "tongue": a letter two or three places off
const double kSilent = 1.0;        // "wich" for "which", "aquire" for "acquire": a letter not heard
const double kVowelBeforeR = 0.6;  // "persue" for "pursue": vowels before an r sound alike
const double kDoubling = 0.5;      // "leter" for "letter", "untill" for "until"
const double kCase = 0.3;          // "monday" for "Monday"
const double kVowelBesideVowel = 1.0; // "collegue" for "colleague"
const double kVowelLeftOut = 1.5;  // "basicly" for "basically"
const double kVowel = 1.5;         // "vawel" for "vowel"
const double kWeakVowel = 1.2;     // "relevent" for "relevant"
const double kNearKey = 1.5;       // "gome" for "home"
const double kSoundsAlike = 1.5;   // "absense" for "absence"
const double kAddedVowel = 2.0;    // "truely" for "truly"
const double kLeftOut = 2.0;       // "enviroment" for "environment"
const double kAdded = 2.5;         // any other letter too many
const double kStruck = 3.0;        // any other wrong letter
// Beyond this the guess is too far from what was typed to put in unasked.
const double kMaxCost = 6.0;

bool isVowel(QChar c)
{
    return QStringLiteral("aeiouy").contains(c);
}

// Keys next to each other on a QWERTY keyboard.
bool nearKeys(QChar a, QChar b)
{
    static const QHash<QChar, QString> near = [] {
        const char* rows[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
        QHash<QChar, QString> out;
        for (int r = 0; r < 3; ++r) {
            const QString row = QString::fromLatin1(rows[r]);
            for (int i = 0; i < row.size(); ++i) {
                QString& n = out[row.at(i)];
                if (i > 0)
                    n += row.at(i - 1);
                if (i + 1 < row.size())
                    n += row.at(i + 1);
                // Keys above and below (the rows are offset by about half a key).
                for (int other : {r - 1, r + 1}) {
                    if (other < 0 || other > 2)
                        continue;
                    const QString o = QString::fromLatin1(rows[other]);
                    const int shift = other < r ? 0 : -1;
                    for (int j : {i + shift, i + shift + 1}) {
                        if (j >= 0 && j < o.size())
                            n += o.at(j);
                    }
                }
            }
        }
        return out;
    }();
    return near.value(a).contains(b);
}

bool soundAlike(QChar a, QChar b)
{
    static const QStringList pairs = {QStringLiteral("cs"), QStringLiteral("ck"), QStringLiteral("cq"), QStringLiteral("kq"), QStringLiteral("sz"),
                                      QStringLiteral("gj"), QStringLiteral("fv"), QStringLiteral("td")};
    for (const QString& p : pairs) {
        if ((p.at(0) == a && p.at(1) == b) || (p.at(0) == b && p.at(1) == a))
            return true;
    }
    return false;
}

// The meant word's letter `j` was struck as `typed`. A vowel before an r
// sounds much the same whichever it is ("grammer", "persue").
double struckCost(QChar typed, const QString& meant, qsizetype j)
{
    const QChar m = meant.at(j);
    if (isVowel(typed) && isVowel(m)) {
        if (j + 1 < meant.size() && meant.at(j + 1) == QLatin1Char('r'))
            return kVowelBeforeR;
        // Past the first syllable most vowels are weak and sound alike
        // ("independant", "perminent"); the first is usually heard.
        const auto firstVowel = std::find_if(meant.cbegin(), meant.cend(), isVowel) - meant.cbegin();
        const bool firstSyllable = std::all_of(meant.cbegin() + firstVowel, meant.cbegin() + j, isVowel);
        return firstSyllable ? kVowel : kWeakVowel;
    }
    if (nearKeys(typed, m))
        return kNearKey;
    return soundAlike(typed, m) ? kSoundsAlike : kStruck;
}

// `w` at `i` has a letter that its neighbour repeats.
bool doubledAt(const QString& w, qsizetype i)
{
    return (i > 0 && w.at(i - 1) == w.at(i)) || (i + 1 < w.size() && w.at(i + 1) == w.at(i));
}

// The typed word's letter `i` is one too many.
double addedCost(const QString& typed, qsizetype i)
{
    const QChar c = typed.at(i);
    if (doubledAt(typed, i))
        return kDoubling;
    if ((i > 0 && nearKeys(c, typed.at(i - 1))) || (i + 1 < typed.size() && nearKeys(c, typed.at(i + 1))))
        return kNearKey;
    return isVowel(c) ? kAddedVowel : kAdded;
}

// The meant word's letter `j` was left out.
double leftOutCost(const QString& meant, qsizetype j)
{
    const QChar c = meant.at(j);
    if (doubledAt(meant, j))
        return kDoubling;
    if (!isVowel(c)) {
        const QChar before = j > 0 ? meant.at(j - 1) : QChar();
        const QChar after = j + 1 < meant.size() ? meant.at(j + 1) : QChar();
        // An h after a consonant ("wich", "rythm"), or a letter beside one
        // that sounds like it ("aquire"), is not heard.
        if ((c == QLatin1Char('h') && j > 0 && !isVowel(before)) || soundAlike(c, before) || soundAlike(c, after))
            return kSilent;
        return kLeftOut;
    }
    const bool besideVowel = (j > 0 && isVowel(meant.at(j - 1))) || (j + 1 < meant.size() && isVowel(meant.at(j + 1)));
    return besideVowel ? kVowelBesideVowel : kVowelLeftOut;
}

// The cheapest run of slips from `meant` to `typed` (both lower case):
// an edit distance whose steps cost what such a slip is rare.
double editCost(const QString& typed, const QString& meant)
{
    const qsizetype n = typed.size(), m = meant.size();
    std::vector<std::vector<double>> d(size_t(n + 1), std::vector<double>(size_t(m + 1), 0.0));
    for (qsizetype i = 1; i <= n; ++i)
        d[size_t(i)][0] = d[size_t(i - 1)][0] + addedCost(typed, i - 1);
    for (qsizetype j = 1; j <= m; ++j)
        d[0][size_t(j)] = d[0][size_t(j - 1)] + leftOutCost(meant, j - 1);
    for (qsizetype i = 1; i <= n; ++i) {
        for (qsizetype j = 1; j <= m; ++j) {
            const QChar a = typed.at(i - 1), b = meant.at(j - 1);
            double v = d[size_t(i - 1)][size_t(j - 1)] + (a == b ? 0.0 : struckCost(a, meant, j - 1));
            v = std::min(v, d[size_t(i - 1)][size_t(j)] + addedCost(typed, i - 1));
            v = std::min(v, d[size_t(i)][size_t(j - 1)] + leftOutCost(meant, j - 1));
            if (i > 1 && j > 1 && a == meant.at(j - 2) && typed.at(i - 2) == b)
                v = std::min(v, d[size_t(i - 2)][size_t(j - 2)] + (isVowel(a) && isVowel(b) ? kVowelsSwapped : kSwap));
            d[size_t(i)][size_t(j)] = v;
        }
    }
    return d[size_t(n)][size_t(m)];
}

// The cheapest slips from `meant` to `typed` (both lower case), a letter
// put two or three places from where it belongs counted as one slip
// ("tounge" for "tongue", "amature" for "amateur").
double slipCost(const QString& typed, const QString& meant)
{
    double best = editCost(typed, meant);
    if (typed.size() > 30)
        return best; // no word is that long; spare the time
    for (qsizetype i = 0; i < typed.size(); ++i) {
        for (qsizetype j = std::max<qsizetype>(0, i - 3); j < std::min(meant.size(), i + 4); ++j) {
            if (std::abs(i - j) < 2 || typed.at(i) != meant.at(j))
                continue;
            const double rest = editCost(QString(typed).remove(i, 1), QString(meant).remove(j, 1));
            best = std::min(best, kMoved + rest);
        }
    }
    return best;
}

} // namespace

namespace Autocorrect {

bool mayReplace(const QString& word)
{
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar c = word.at(i);
        if (c.isDigit() || (i > 0 && c.isUpper()))
            return false;
    }
    return !word.isEmpty();
}

double slipWeight(const QString& typed, const QString& intended)
{
    if (intended.contains(QLatin1Char(' ')) || (intended.contains(QLatin1Char('-')) && !typed.contains(QLatin1Char('-'))))
        return kTooFar;
    const QString a = typed.toLower();
    const QString b = intended.toLower();
    if (a == b)
        return typed == intended ? kTooFar : -kCase;
    // A short word allows fewer slips: in "qzxv" nearly every letter of
    // "quiz" would be wrong.
    const double allowed = std::clamp(0.75 * double(a.size()), 2.0, kMaxCost);
    const double cost = slipCost(a, b);
    return cost > allowed ? kTooFar : -cost;
}

QString choose(const QString& typed, const QStringList& guesses, const WordFrequency& frequencies)
{
    if (!mayReplace(typed))
        return QString();
    const bool weighed = !frequencies.isEmpty();
    QString best;
    double bestScore = kTooFar;
    double second = kTooFar;
    QStringList seen;
    for (const QString& guess : guesses) {
        if (seen.contains(guess, Qt::CaseInsensitive))
            continue; // "Monday" and "monday" are one choice
        seen << guess;
        const double slip = slipWeight(typed, guess);
        if (slip <= kTooFar)
            continue;
        double score = slip;
        if (weighed)
            score += kFrequencyWeight * frequencies.logFrequency(guess).value_or(frequencies.floor());
        if (score > bestScore) {
            second = bestScore;
            bestScore = score;
            best = guess;
        } else if (score > second) {
            second = score;
        }
    }
    if (best.isEmpty() || bestScore - second < (weighed ? kMargin : kMarginWithoutFrequencies))
        return QString();
    if (weighed && bestScore < kLeastLikely)
        return QString();
    // Capitals inside a word ("ABC", "McDonald") are the writer's to type:
    // a plain word may be given a capital at its start only.
    if (!mayReplace(best))
        return QString();
    if (typed.at(0).isUpper() && best.at(0).isLower())
        best[0] = best.at(0).toUpper();
    return best;
}

} // namespace Autocorrect
