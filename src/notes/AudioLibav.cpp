#include "notes/AudioLibav.h"

#include <QFile>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace AudioLibav {

void quiet()
{
    av_log_set_level(AV_LOG_ERROR);
}

QString errorText(int code)
{
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buf, sizeof buf);
    return QString::fromLocal8Bit(buf);
}

QByteArray encodePath(const QString& path)
{
    // libav treats "name:" as a protocol; "file:" keeps any path a path.
    return QByteArrayLiteral("file:") + QFile::encodeName(path);
}

} // namespace AudioLibav
