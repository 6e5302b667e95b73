#include "wordproc/docx/Docx.h"
#include "wordproc/docx/DocxReader.h"
#include "wordproc/docx/DocxWriter.h"

#include <QTextDocument>

namespace Docx {

QByteArray write(const QTextDocument& text, const WPDocAttributes& attributes)
{
    return DocxWriter::write(text, attributes);
}

bool read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes, QString* error)
{
    return DocxReader::read(data, into, attributes, error);
}

std::optional<std::pair<QString, QString>> readHeaderFooter(const QByteArray& data)
{
    return DocxWriter::readHeaderFooter(data);
}

void restoreImages(const QByteArray& data, QTextDocument* text)
{
    DocxWriter::restoreImages(data, text);
}

} // namespace Docx
