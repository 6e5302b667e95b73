#pragma once

#include "wordproc/WPDocAttributes.h"

#include <QByteArray>

class QTextDocument;

// Word 2003 XML ("WordML"): text, character and paragraph formatting, lists,
// tables, base64 pictures, page size and margins, document properties.
namespace WordML {

bool looksLikeWordML(const QByteArray& data);
bool read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes, QString* error);
QByteArray write(const QTextDocument& text, const WPDocAttributes& attributes);

} // namespace WordML
