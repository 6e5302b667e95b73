#pragma once

#include "wordproc/WPDocAttributes.h"

#include <QByteArray>
#include <QString>

class QTextDocument;

// Word 97 binary documents (OLE2 compound files).
namespace Word97 {

bool read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes, QString* error);

} // namespace Word97
