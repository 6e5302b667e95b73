#pragma once

#include <QByteArray>

class QTextDocument;

// A PNG picture of 320 × 200 pixels, different for each `n`.
QByteArray makePicture(int n);

// Fills `doc` with a generated document of about 200 pages: some 100,000
// words in formatted paragraphs and lists, 40 pictures and 20 tables.
void makeLongDocument(QTextDocument* doc);
