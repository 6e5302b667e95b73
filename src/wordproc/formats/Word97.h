#pragma once

#include "wordproc/WPDocAttributes.h"

#include <QByteArray>
#include <QString>

class QTextDocument;

// Word 97 binary documents (OLE2 compound files).
namespace Word97 {

// Reads a Word 97 document; what it cannot keep (comments, charts, drawings)
// is counted in the attributes' notKept.
bool read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes, QString* error);

// The whole compound file of a Word 97 document.
QByteArray write(const QTextDocument& text, const WPDocAttributes& attributes);

} // namespace Word97
