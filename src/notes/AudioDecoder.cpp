#include "notes/AudioDecoder.h"

#include "notes/AudioLibav.h"

#include <QFileInfo>
#include <memory>


namespace AudioDecoder {

namespace {

using AudioLibav::fn;

struct Contexts {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* resampler = nullptr;
    AVPacket* packet = fn().av_packet_alloc();
    AVFrame* frame = fn().av_frame_alloc();
    std::vector<qint16> out;

    ~Contexts()
    {
        fn().av_frame_free(&frame);
        fn().av_packet_free(&packet);
        fn().swr_free(&resampler);
        fn().avcodec_free_context(&codec);
        fn().avformat_close_input(&format);
    }
};

Result failed(const QString& text)
{
    return Result{Outcome::failed, text};
}

// Converts one decoded frame (or, with frame == nullptr, what the resampler
// still holds) and passes it on.
int convert(Contexts& c, const AVFrame* frame, const Sink& sink)
{
    const int inSamples = frame ? frame->nb_samples : 0;
    const int room = fn().swr_get_out_samples(c.resampler, inSamples);
    if (room < 0)
        return room;
    c.out.resize(size_t(room) + 16);
    uint8_t* outPlanes[1] = {reinterpret_cast<uint8_t*>(c.out.data())};
    const int got = fn().swr_convert(c.resampler, outPlanes, int(c.out.size()),
                                frame ? const_cast<const uint8_t**>(frame->extended_data) : nullptr, inSamples);
    if (got < 0)
        return got;
    if (got > 0 && !sink(c.out.data(), got))
        return 1;
    return 0;
}

} // namespace

Result decode(const QString& path, int sampleRate, const Sink& sink)
{
    if (!QFileInfo(path).isFile())
        return failed(QStringLiteral("The file “%1” couldn’t be opened because there is no such file.")
                          .arg(QFileInfo(path).fileName()));
    QString error;
    if (!AudioLibav::load(&error))
        return failed(error);
    Contexts c;
    const QByteArray name = AudioLibav::encodePath(path);
    int rc = fn().avformat_open_input(&c.format, name.constData(), nullptr, nullptr);
    if (rc < 0)
        return failed(AudioLibav::errorText(rc));
    if ((rc = fn().avformat_find_stream_info(c.format, nullptr)) < 0)
        return failed(AudioLibav::errorText(rc));
    const AVCodec* decoder = nullptr;
    const int stream = fn().av_find_best_stream(c.format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (stream < 0 || !decoder)
        return failed(QStringLiteral("The file holds no audio."));
    c.codec = fn().avcodec_alloc_context3(decoder);
    fn().avcodec_parameters_to_context(c.codec, c.format->streams[stream]->codecpar);
    if ((rc = fn().avcodec_open2(c.codec, decoder, nullptr)) < 0)
        return failed(AudioLibav::errorText(rc));

    AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
    AVChannelLayout in;
    if (c.codec->ch_layout.nb_channels > 0)
        fn().av_channel_layout_copy(&in, &c.codec->ch_layout);
    else
        fn().av_channel_layout_default(&in, 1);
    rc = fn().swr_alloc_set_opts2(&c.resampler, &mono, AV_SAMPLE_FMT_S16, sampleRate, &in, c.codec->sample_fmt,
                             c.codec->sample_rate, 0, nullptr);
    fn().av_channel_layout_uninit(&in);
    if (rc < 0 || (rc = fn().swr_init(c.resampler)) < 0)
        return failed(AudioLibav::errorText(rc));

    bool draining = false;
    for (;;) {
        if (!draining) {
            rc = fn().av_read_frame(c.format, c.packet);
            if (rc == AVERROR_EOF) {
                draining = true;
                fn().avcodec_send_packet(c.codec, nullptr);
            } else if (rc < 0) {
                return failed(AudioLibav::errorText(rc));
            } else {
                if (c.packet->stream_index == stream)
                    rc = fn().avcodec_send_packet(c.codec, c.packet);
                fn().av_packet_unref(c.packet);
                // A damaged packet is skipped, as players do.
                if (rc < 0 && rc != AVERROR(EAGAIN) && rc != AVERROR_INVALIDDATA)
                    return failed(AudioLibav::errorText(rc));
            }
        }
        for (;;) {
            rc = fn().avcodec_receive_frame(c.codec, c.frame);
            if (rc == AVERROR(EAGAIN))
                break;
            if (rc == AVERROR_EOF) {
                const int r = convert(c, nullptr, sink);
                if (r > 0)
                    return Result{Outcome::cancelled, {}};
                if (r < 0)
                    return failed(AudioLibav::errorText(r));
                return Result{Outcome::finished, {}};
            }
            if (rc < 0)
                return failed(AudioLibav::errorText(rc));
            const int r = convert(c, c.frame, sink);
            fn().av_frame_unref(c.frame);
            if (r > 0)
                return Result{Outcome::cancelled, {}};
            if (r < 0)
                return failed(AudioLibav::errorText(r));
        }
    }
}

std::vector<qint16> decodeAll(const QString& path, int sampleRate, QString* error)
{
    std::vector<qint16> all;
    const Result r = decode(path, sampleRate, [&all](const qint16* s, qsizetype n) {
        all.insert(all.end(), s, s + n);
        return true;
    });
    if (r.outcome != Outcome::finished) {
        if (error)
            *error = r.error;
        return {};
    }
    return all;
}

} // namespace AudioDecoder
