#include "wordproc/formats/Word97.h"

namespace Word97 {

bool read(const QByteArray&, QTextDocument*, WPDocAttributes*, QString* error)
{
    if (error)
        *error = QStringLiteral("Word 97 documents cannot be opened yet.");
    return false;
}

} // namespace Word97
