#pragma once

class QTextDocument;

// Fills `doc` with a generated document of about 200 pages: some 100,000
// words in formatted paragraphs and lists, 40 pictures and 20 tables.
void makeLongDocument(QTextDocument* doc);
