#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The summary information property set of compound files: only its comment
// is read and written (it carries the header/footer record).
namespace Word97Summary {

// A property set stream with a UTF-8 code page and, when `comment` is not
// empty, the comment.
QByteArray write(const QString& comment);

// The comment of a summary information stream; nothing when it has none or
// the stream is damaged.
std::optional<QString> comment(const QByteArray& stream);

} // namespace Word97Summary
