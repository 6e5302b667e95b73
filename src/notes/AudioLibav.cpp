#include "notes/AudioLibav.h"

#include "core/DynamicLibrary.h"

#include <QFile>

namespace AudioLibav {

namespace {

using Loaded = DynamicLibrary::Loaded<Api>;

const Loaded& loaded()
{
    static const Loaded l = [] {
        Loaded r;
        // Opened by their major versions, as the headers we built against name them.
        QLibrary* util = DynamicLibrary::open({{"avutil", LIBAVUTIL_VERSION_MAJOR}}, &r.error);
        QLibrary* codec = util ? DynamicLibrary::open({{"avcodec", LIBAVCODEC_VERSION_MAJOR}}, &r.error) : nullptr;
        QLibrary* format = codec ? DynamicLibrary::open({{"avformat", LIBAVFORMAT_VERSION_MAJOR}}, &r.error) : nullptr;
        QLibrary* resample
            = format ? DynamicLibrary::open({{"swresample", LIBSWRESAMPLE_VERSION_MAJOR}}, &r.error) : nullptr;
        if (!resample)
            return r;
        bool ok = true;
#define BW_RESOLVE(lib, name) ok = ok && DynamicLibrary::resolve(lib, r.api.name, #name, &r.error);
#define BW_RESOLVE_UTIL(name) BW_RESOLVE(util, name)
#define BW_RESOLVE_CODEC(name) BW_RESOLVE(codec, name)
#define BW_RESOLVE_FORMAT(name) BW_RESOLVE(format, name)
#define BW_RESOLVE_RESAMPLE(name) BW_RESOLVE(resample, name)
        BW_LIBAVUTIL_FUNCTIONS(BW_RESOLVE_UTIL)
        BW_LIBAVCODEC_FUNCTIONS(BW_RESOLVE_CODEC)
        BW_LIBAVFORMAT_FUNCTIONS(BW_RESOLVE_FORMAT)
        BW_LIBSWRESAMPLE_FUNCTIONS(BW_RESOLVE_RESAMPLE)
#undef BW_RESOLVE_RESAMPLE
#undef BW_RESOLVE_FORMAT
#undef BW_RESOLVE_CODEC
#undef BW_RESOLVE_UTIL
#undef BW_RESOLVE
        r.ok = ok;
        if (ok)
            r.api.av_log_set_level(AV_LOG_ERROR);
        return r;
    }();
    return l;
}

} // namespace

bool load(QString* error)
{
    const Loaded& l = loaded();
    if (!l.ok && error)
        *error = QStringLiteral("The audio libraries could not be loaded (%1).").arg(l.error);
    return l.ok;
}

const Api& fn()
{
    return loaded().api;
}

QString errorText(int code)
{
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    fn().av_strerror(code, buf, sizeof buf);
    return QString::fromLocal8Bit(buf);
}

QByteArray encodePath(const QString& path)
{
    // libav treats "name:" as a protocol; "file:" keeps any path a path.
    return QByteArrayLiteral("file:") + QFile::encodeName(path);
}

} // namespace AudioLibav
