#pragma once

#include "wordproc/WPDocAttributes.h"

#include <QByteArray>
#include <QString>

class QTextDocument;

// HTML through Qt's reader and writer, with our pictures: embedded data:
// URIs are read into pictures and pictures are written as data: URIs, so a
// saved page holds everything. Nothing outside the file is ever loaded.
namespace Html {

bool looksLikeHtml(const QByteArray& data);
// `html` held within the bounds Qt's reader copes with: elements nested too
// deep and tables within too many tables lose their tags and keep their
// text; cells beyond a table's last column lose their tags, their text
// joining the cell before, and spans end at the last column. A page within
// the bounds comes back unchanged. Every page or paste goes through this
// before it reaches Qt.
QString bounded(const QString& html);
void read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes);
QByteArray write(const QTextDocument& text, const WPDocAttributes& attributes);

} // namespace Html
