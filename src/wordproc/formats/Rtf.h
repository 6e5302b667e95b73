#pragma once

#include "wordproc/WPDocAttributes.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

class QTextDocument;

// Rich Text Format: fonts, colours, character and paragraph formatting,
// lists, tables, PNG/JPEG pictures, page size and margins, and the comment
// of the info group.
namespace Rtf {

// Bytes of a picture an RTFD attachment names, or nothing.
using AttachmentLookup = std::function<std::optional<QByteArray>(const QString& name)>;

// Whether the bytes start like an RTF file (leading white space allowed).
bool looksLikeRtf(const QByteArray& data);

// Reads RTF into `into` (its contents are replaced). Attachments of an RTFD
// package are resolved through `lookup`; without it they are dropped.
bool read(const QByteArray& data, QTextDocument* into, WPDocAttributes* attributes, QString* error,
          const AttachmentLookup& lookup = {});

// A picture stored beside the RTF of an RTFD package.
struct Attachment {
    QString name;
    QByteArray data;
};

// The RTF of `text`. With `attachments`, pictures are written as references
// to files (collected there, with unique names) instead of inline \pict data.
QByteArray write(const QTextDocument& text, const WPDocAttributes& attributes,
                 QList<Attachment>* attachments = nullptr);

} // namespace Rtf
