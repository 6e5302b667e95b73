#pragma once

#include "wordproc/WPPageSetup.h"

#include <QString>

class QTextDocument;

// The status bar's counts of a text.
namespace WPCounts {

// Words as the Unicode word boundaries find them: one per word end, so
// punctuation and spaces count nothing.
int words(const QString& text);
// Characters as the user perceives them (grapheme clusters); line breaks,
// spaces and pictures count one each.
int characters(const QString& text);
// Pages a laid-out text of `height` points fills: one per printable height
// (at least 72 points), at least one.
int pages(qreal height, const WPPageSetup& setup);
// The printable height of a page, never below 72 points.
qreal usableHeight(const WPPageSetup& setup);

// Words and characters of a whole document: the same as words() and
// characters() of plainText(), but each paragraph is counted once and
// remembered until it changes, so a recount after typing looks again at the
// changed paragraphs only.
struct Totals {
    int words = 0;
    int characters = 0;
};
Totals count(const QTextDocument& document);

// The document's text as the counts see it: paragraphs end in a line feed,
// a picture is one character.
QString plainText(const QTextDocument& document);

} // namespace WPCounts
