#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// Plain text: read as UTF-8 (a byte-order mark of UTF-8 or UTF-16 is
// honoured), Latin-1 when the bytes are not UTF-8; written as UTF-8.
namespace PlainText {

QString decode(const QByteArray& data);
void read(const QByteArray& data, QTextDocument* into);
// Pictures have no place in plain text and are left out; table cells are
// separated by tabs, rows by line breaks.
QByteArray write(const QTextDocument& text);

} // namespace PlainText
