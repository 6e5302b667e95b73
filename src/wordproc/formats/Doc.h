#pragma once

#include "wordproc/WPDocAttributes.h"

#include <QByteArray>

class QTextDocument;

// Word ".doc" files. Saving stores RTF content under the .doc name, which
// word processors open as a Word document. Reading takes such RTF content,
// and Word 97 binary files for their text.
namespace Doc {

// The OLE2 compound-file signature of Word 97 files.
bool looksLikeWord97(const QByteArray& data);
bool read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes, QString* error);
QByteArray write(const QTextDocument& text, const WPDocAttributes& attributes);

} // namespace Doc
