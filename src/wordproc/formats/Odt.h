#pragma once

#include "wordproc/WPDocAttributes.h"

#include <QByteArray>
#include <optional>

class QTextDocument;

// OpenDocument Text: content.xml, styles.xml (page layout), meta.xml
// (comment and the header/footer templates) and the Pictures folder.
namespace Odt {

bool looksLikeOdt(const QByteArray& data);
bool read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes, QString* error);
std::optional<QByteArray> write(const QTextDocument& text, const WPDocAttributes& attributes, QString* error);

} // namespace Odt
