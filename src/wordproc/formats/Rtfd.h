#pragma once

#include "wordproc/WPDocAttributes.h"

#include <QString>

class QTextDocument;

// RTFD: a directory "X.rtfd" holding TXT.rtf and the picture files it names.
namespace Rtfd {

// Reads the directory. Picture names come from the file and are only ever
// looked up inside the directory: a name with a path separator or "..", or
// one that leads outside through a link, is not read.
bool read(const QString& directory, QTextDocument* into, WPDocAttributes* attributes, QString* error);

// Writes the package into a temporary directory beside `directory` and
// renames it into place; on failure the old package is left as it was.
bool write(const QTextDocument& text, const WPDocAttributes& attributes, const QString& directory,
           QString* error);

// Whether `name` may be used as a file name inside the package.
bool isSafeName(const QString& name);

} // namespace Rtfd
