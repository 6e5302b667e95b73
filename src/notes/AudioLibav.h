#pragma once

#include <QString>

// Small helpers shared by the libav-based reader and writer.
namespace AudioLibav {

// Keeps libav's own messages (warnings, encoder statistics) off the
// terminal; errors still show.
void quiet();

// libav's text for an error code.
QString errorText(int code);
// The path as libav wants it (the file system's encoding).
QByteArray encodePath(const QString& path);

} // namespace AudioLibav
