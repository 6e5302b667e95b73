#pragma once

// A 200-page word-processor document made of ProseText: about 100,000
// words in paragraphs of four to seven sentences, bulleted items,
// headings, bold and italic runs, 40 pictures and 20 tables.

#include <QString>

class QTextDocument;

namespace ProseDocument {

void fill(QTextDocument* doc);
// The document written as a DOCX file at `path`; false on failure.
bool writeDocx(const QString& path);

} // namespace ProseDocument
