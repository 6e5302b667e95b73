#pragma once

// What libavformat reads from an audio file, for checking what the recorder
// wrote.

#include <QFile>
#include <QString>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

struct AudioProbe {
    bool ok = false;
    QString format;      // the container's short names
    QString codec;       // "aac"
    int profile = -1;
    int channels = 0;
    int sampleRate = 0;
    double seconds = 0;  // from the container

    static AudioProbe of(const QString& path)
    {
        AudioProbe p;
        AVFormatContext* ctx = nullptr;
        const QByteArray name = QByteArrayLiteral("file:") + QFile::encodeName(path);
        if (avformat_open_input(&ctx, name.constData(), nullptr, nullptr) < 0)
            return p;
        if (avformat_find_stream_info(ctx, nullptr) >= 0) {
            const int s = av_find_best_stream(ctx, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
            if (s >= 0) {
                const AVCodecParameters* par = ctx->streams[s]->codecpar;
                p.ok = true;
                p.format = QString::fromLatin1(ctx->iformat->name);
                p.codec = QString::fromLatin1(avcodec_get_name(par->codec_id));
                p.profile = par->profile;
                p.channels = par->ch_layout.nb_channels;
                p.sampleRate = par->sample_rate;
                if (ctx->duration > 0)
                    p.seconds = double(ctx->duration) / AV_TIME_BASE;
                else if (ctx->streams[s]->duration > 0)
                    p.seconds = double(ctx->streams[s]->duration) * av_q2d(ctx->streams[s]->time_base);
            }
        }
        avformat_close_input(&ctx);
        return p;
    }
};
