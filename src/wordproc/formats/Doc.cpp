#include "wordproc/formats/Doc.h"

#include "wordproc/formats/Rtf.h"
#include "wordproc/formats/Word97.h"

namespace Doc {

bool looksLikeWord97(const QByteArray& data)
{
    return data.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

bool read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes, QString* error)
{
    if (Rtf::looksLikeRtf(data))
        return Rtf::read(data, into, attributes, error);
    if (looksLikeWord97(data))
        return Word97::read(data, into, attributes, error);
    if (error)
        *error = QStringLiteral("The file is not a Word document.");
    return false;
}

QByteArray write(const QTextDocument& text, const WPDocAttributes& attributes)
{
    return Word97::write(text, attributes);
}

} // namespace Doc
