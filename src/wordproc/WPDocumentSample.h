#pragma once

class WPDocument;

// A document to look at: a title, a heading, a bulleted list, a table, a
// picture and enough text to run onto a second page, followed by
// `moreParagraphs` further paragraphs (for long documents). The document
// is left unedited.
namespace WPDocumentSample {

void fill(WPDocument& document, int moreParagraphs = 0);

} // namespace WPDocumentSample
