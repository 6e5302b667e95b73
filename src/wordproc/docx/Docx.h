#pragma once

#include "wordproc/WPDocAttributes.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>

class QTextDocument;

// The word processor's DOCX support: our own package writer and reader.
namespace Docx {

// The whole DOCX package of `text` with the page setup and header/footer of
// `attributes`. Deterministic: the same document gives the same bytes, the
// moment of writing aside (core properties and "{date}").
QByteArray write(const QTextDocument& text, const WPDocAttributes& attributes);

// Reads a DOCX package into `into` (its contents are replaced) and fills the
// attributes the package holds (page size and margins from sectPr).
bool read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes, QString* error);

// Header and footer templates stored by write(), or, without them, the
// texts of the package's header and footer parts; nothing when the package
// has neither.
std::optional<std::pair<QString, QString>> readHeaderFooter(const QByteArray& data);

// Puts the package's pictures back into `text` where read() left picture
// placeholders; does nothing when the text already holds its pictures.
void restoreImages(const QByteArray& data, QTextDocument* text);

} // namespace Docx
