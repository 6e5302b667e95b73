// Placeholder until the DOCX package reader and writer land.
#include "wordproc/docx/Docx.h"

#include <QTextDocument>

namespace Docx {

QByteArray write(const QTextDocument&, const WPDocAttributes&)
{
    return {};
}

bool read(const QByteArray&, QTextDocument*, WPDocAttributes*, QString* error)
{
    if (error)
        *error = QStringLiteral("DOCX is not supported yet.");
    return false;
}

std::optional<std::pair<QString, QString>> readHeaderFooter(const QByteArray&)
{
    return std::nullopt;
}

void restoreImages(const QByteArray&, QTextDocument*) {}

} // namespace Docx
