#pragma once

#include "wordproc/WPDocAttributes.h"

#include <QByteArray>

class QTextDocument;

// HTML through Qt's reader and writer, with our pictures: embedded data:
// URIs are read into pictures and pictures are written as data: URIs, so a
// saved page holds everything. Nothing outside the file is ever loaded.
namespace Html {

bool looksLikeHtml(const QByteArray& data);
void read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes);
QByteArray write(const QTextDocument& text, const WPDocAttributes& attributes);

} // namespace Html
