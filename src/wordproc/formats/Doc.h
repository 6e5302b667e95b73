#pragma once

#include "wordproc/WPDocAttributes.h"

#include <QByteArray>

class QTextDocument;

// Word ".doc" files: Word 97 binary documents, read and written. Reading
// also takes RTF content saved under the .doc name.
namespace Doc {

// The OLE2 compound-file signature of Word 97 files.
bool looksLikeWord97(const QByteArray& data);
bool read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes, QString* error);
QByteArray write(const QTextDocument& text, const WPDocAttributes& attributes);

} // namespace Doc
