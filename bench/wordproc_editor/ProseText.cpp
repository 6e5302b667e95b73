#include "ProseText.h"

#include <QStringList>

namespace {

const char* const kSubjects[] = {
    "The committee", "Our teacher", "The new library", "Every student", "The city council", "My neighbour",
    "The research team", "A small company", "The hospital", "Her brother", "The old museum", "The gardener",
    "Each visitor", "The orchestra", "The football club", "A local baker", "The village school", "Their manager",
};
const char* const kVerbs[] = {
    "reviewed", "discussed", "published", "approved", "described", "visited", "changed", "planned",
    "measured", "explained", "repaired", "questioned", "collected", "painted", "recorded", "finished",
};
const char* const kObjects[] = {
    "the budget for the spring term", "a long report about the river", "the results of the survey",
    "several plans for the old station", "the costs of the new bridge", "a careful summary of the chapter",
    "the timetable for the summer buses", "the minutes of the last meeting", "a letter from the mayor",
    "the roof of the north wing", "the names of the new members", "a short history of the town",
    "the opening hours of the market", "the notes from the field trip",
};
const char* const kTails[] = {
    "", " before the end of the month", " with great care", " after a long meeting", " in the morning",
    " for the first time", " during the holidays", " without any help", " at the request of the board",
};
// Sentences a reader would stop at.
const char* const kUngrammatical[] = {
    "He go to the market every morning.", "The children was happy about the long trip.",
    "She have three older brothers in the city.", "They was waiting for the late train.",
};
// Misspellings people make.
const char* const kMisspelt[] = {"recieved", "adress", "occured", "seperate", "untill", "wich", "beleive"};

template <typename T, int N>
constexpr int count(T (&)[N])
{
    return N;
}

} // namespace

QString ProseText::sentence(int seed)
{
    const unsigned s = unsigned(seed) * 2654435761u;
    if (seed % 40 == 39)
        return QString::fromLatin1(kUngrammatical[(s >> 8) % count(kUngrammatical)]);
    QString out = QString::fromLatin1(kSubjects[(s >> 3) % count(kSubjects)]) + QLatin1Char(' ')
        + QString::fromLatin1(kVerbs[(s >> 7) % count(kVerbs)]) + QLatin1Char(' ')
        + QString::fromLatin1(kObjects[(s >> 11) % count(kObjects)]) + QString::fromLatin1(kTails[(s >> 15) % count(kTails)]);
    if (seed % 11 == 5) {
        // One word of the object misspelt.
        QStringList words = out.split(QLatin1Char(' '));
        words[words.size() - 1] = QString::fromLatin1(kMisspelt[(s >> 19) % count(kMisspelt)]);
        out = words.join(QLatin1Char(' '));
    }
    return out + QLatin1Char('.');
}

QString ProseText::paragraph(int seed, int words)
{
    QString out;
    int n = 0;
    for (int i = 0; n < words; ++i) {
        const QString s = sentence(seed + i);
        if (!out.isEmpty())
            out += QLatin1Char(' ');
        out += s;
        n += wordCount(s);
    }
    return out;
}

int ProseText::wordCount(const QString& text)
{
    return int(text.split(QLatin1Char(' '), Qt::SkipEmptyParts).size());
}
