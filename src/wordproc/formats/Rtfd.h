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
// exchanges it with the old package in one step; on failure the old package
// is left as it was.
bool write(const QTextDocument& text, const WPDocAttributes& attributes, const QString& directory,
           QString* error);

// Tidies what interrupted saves of the package at `directory` left beside
// it: a missing package is put back from the version a save set aside, and
// every leftover folder of our own naming is removed. True when a package
// is at `directory` afterwards.
bool recover(const QString& directory);

// Whether `name` may be used as a file name inside the package.
bool isSafeName(const QString& name);

} // namespace Rtfd
