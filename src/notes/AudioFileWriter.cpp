#include "notes/AudioFileWriter.h"

#include "notes/AudioLibav.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <cstdio>


using AudioLibav::fn;

struct AudioFileWriter::Av {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;

    ~Av()
    {
        fn().av_packet_free(&packet);
        fn().av_frame_free(&frame);
        fn().avcodec_free_context(&codec);
        if (format) {
            if (format->pb)
                fn().avio_closep(&format->pb);
            fn().avformat_free_context(format);
        }
    }
};

namespace {

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

AudioFileWriter::AudioFileWriter() = default;

AudioFileWriter::~AudioFileWriter()
{
    if (isOpen())
        finish();
}

bool AudioFileWriter::isOpen() const
{
    return m_av != nullptr;
}

bool AudioFileWriter::open(const QString& path, QString* error)
{
    if (isOpen())
        return fail(error, QStringLiteral("A recording is already being written."));
    if (QFileInfo::exists(path))
        return fail(error, QStringLiteral("The file “%1” already exists.").arg(QFileInfo(path).fileName()));
    QString libraryError;
    if (!AudioLibav::load(&libraryError))
        return fail(error, libraryError);
    auto av = std::make_unique<Av>();
    const AVCodec* aac = fn().avcodec_find_encoder_by_name("aac");
    if (!aac)
        return fail(error, QStringLiteral("The AAC encoder is not available."));
    const QByteArray target = AudioLibav::encodePath(path);
    int rc = fn().avformat_alloc_output_context2(&av->format, nullptr, "ipod", target.constData());
    if (rc < 0 || !av->format)
        return fail(error, AudioLibav::errorText(rc));

    av->codec = fn().avcodec_alloc_context3(aac);
    av->codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
    av->codec->sample_rate = kSampleRate;
    fn().av_channel_layout_default(&av->codec->ch_layout, 1);
    av->codec->bit_rate = kBitRate;
    av->codec->profile = FF_PROFILE_AAC_LOW;
    av->codec->time_base = AVRational{1, kSampleRate};
    if (av->format->oformat->flags & AVFMT_GLOBALHEADER)
        av->codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if ((rc = fn().avcodec_open2(av->codec, aac, nullptr)) < 0)
        return fail(error, AudioLibav::errorText(rc));

    av->stream = fn().avformat_new_stream(av->format, nullptr);
    av->stream->time_base = AVRational{1, kSampleRate};
    fn().avcodec_parameters_from_context(av->stream->codecpar, av->codec);

    if ((rc = fn().avio_open(&av->format->pb, target.constData(), AVIO_FLAG_WRITE)) < 0)
        return fail(error, AudioLibav::errorText(rc));
    // Fragments of one second, each flushed to the disk as it is written.
    av->format->flags |= AVFMT_FLAG_FLUSH_PACKETS;
    AVDictionary* options = nullptr;
    fn().av_dict_set(&options, "movflags", "empty_moov+default_base_moof", 0);
    fn().av_dict_set(&options, "frag_duration", "1000000", 0);
    rc = fn().avformat_write_header(av->format, &options);
    fn().av_dict_free(&options);
    if (rc < 0) {
        av.reset();
        QFile::remove(path);
        return fail(error, AudioLibav::errorText(rc));
    }
    av->frame = fn().av_frame_alloc();
    av->packet = fn().av_packet_alloc();
    m_av = std::move(av);
    m_path = path;
    m_samples = 0;
    m_encoded = 0;
    m_failed = false;
    m_pending.clear();
    return true;
}

bool AudioFileWriter::write(const qint16* samples, qsizetype count)
{
    if (!isOpen() || m_failed)
        return false;
    m_pending.reserve(m_pending.size() + size_t(count));
    for (qsizetype i = 0; i < count; ++i)
        m_pending.push_back(float(samples[i]) / 32768.0f);
    m_samples += count;
    const size_t frameSize = size_t(m_av->codec->frame_size);
    while (m_pending.size() >= frameSize) {
        if (!encodeFrame(false)) {
            m_failed = true;
            return false;
        }
    }
    return true;
}

bool AudioFileWriter::encodeFrame(bool flush)
{
    AVFrame* f = m_av->frame;
    const int n = std::min<int>(m_av->codec->frame_size, int(m_pending.size()));
    if (n > 0 || !flush) {
        fn().av_frame_unref(f);
        f->nb_samples = n;
        f->format = m_av->codec->sample_fmt;
        f->sample_rate = kSampleRate;
        fn().av_channel_layout_copy(&f->ch_layout, &m_av->codec->ch_layout);
        if (fn().av_frame_get_buffer(f, 0) < 0)
            return false;
        std::copy(m_pending.begin(), m_pending.begin() + n, reinterpret_cast<float*>(f->data[0]));
        m_pending.erase(m_pending.begin(), m_pending.begin() + n);
        f->pts = m_encoded;
        m_encoded += n;
        if (fn().avcodec_send_frame(m_av->codec, f) < 0)
            return false;
    }
    if (flush && m_pending.empty())
        fn().avcodec_send_frame(m_av->codec, nullptr);
    return drain();
}

bool AudioFileWriter::drain()
{
    for (;;) {
        const int rc = fn().avcodec_receive_packet(m_av->codec, m_av->packet);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
            return true;
        if (rc < 0)
            return false;
        fn().av_packet_rescale_ts(m_av->packet, m_av->codec->time_base, m_av->stream->time_base);
        m_av->packet->stream_index = m_av->stream->index;
        if (fn().av_interleaved_write_frame(m_av->format, m_av->packet) < 0)
            return false;
    }
}

bool AudioFileWriter::finish(QString* error)
{
    if (!isOpen())
        return fail(error, QStringLiteral("No recording is being written."));
    bool ok = !m_failed;
    // A file without a single packet opens nowhere: an empty recording
    // still gets one frame of silence.
    if (ok && m_encoded == 0 && m_pending.empty())
        m_pending.assign(size_t(m_av->codec->frame_size), 0.0f);
    if (ok) {
        while (!m_pending.empty() && ok)
            ok = encodeFrame(true);
        if (ok)
            ok = encodeFrame(true);
    }
    const int rc = fn().av_write_trailer(m_av->format);
    ok = ok && rc >= 0;
    close();
    if (!ok)
        return fail(error, rc < 0 ? AudioLibav::errorText(rc) : QStringLiteral("The recording could not be written."));
    return compact(m_path, error);
}

void AudioFileWriter::close()
{
    m_av.reset();
    m_pending.clear();
}

bool AudioFileWriter::isUnfinished(const QString& path)
{
    // Walk the top-level boxes: a fragment ("moof") only appears in files
    // written while recording.
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = f.size();
    qint64 pos = 0;
    for (int boxes = 0; pos + 8 <= size && boxes < 100000; ++boxes) {
        if (!f.seek(pos))
            return false;
        const QByteArray head = f.read(16);
        if (head.size() < 8)
            return false;
        const auto* b = reinterpret_cast<const uchar*>(head.constData());
        quint64 length = (quint64(b[0]) << 24) | (quint64(b[1]) << 16) | (quint64(b[2]) << 8) | quint64(b[3]);
        const QByteArray type = head.mid(4, 4);
        if (type == "moof")
            return true;
        if (length == 1 && head.size() == 16) {
            length = 0;
            for (int i = 8; i < 16; ++i)
                length = (length << 8) | b[i];
        } else if (length == 0) {
            return false; // runs to the end of the file
        }
        if (length < 8 || length > quint64(size - pos))
            return false;
        pos += qint64(length);
    }
    return false;
}

std::optional<double> AudioFileWriter::duration(const QString& path)
{
    if (!AudioLibav::load())
        return std::nullopt;
    AVFormatContext* ctx = nullptr;
    const QByteArray name = AudioLibav::encodePath(path);
    if (fn().avformat_open_input(&ctx, name.constData(), nullptr, nullptr) < 0)
        return std::nullopt;
    std::optional<double> seconds;
    if (fn().avformat_find_stream_info(ctx, nullptr) >= 0 && ctx->duration > 0)
        seconds = double(ctx->duration) / AV_TIME_BASE;
    fn().avformat_close_input(&ctx);
    return seconds;
}

bool AudioFileWriter::compact(const QString& path, QString* error)
{
    QString libraryError;
    if (!AudioLibav::load(&libraryError))
        return fail(error, libraryError);
    const QFileInfo info(path);
    const QString temp = info.absolutePath() + QStringLiteral("/.") + info.completeBaseName() + QLatin1Char('-')
        + QUuid::createUuid().toString(QUuid::WithoutBraces).left(8) + QStringLiteral(".part.m4a");
    const QByteArray in = AudioLibav::encodePath(path);
    const QByteArray out = AudioLibav::encodePath(temp);

    AVFormatContext* input = nullptr;
    AVFormatContext* output = nullptr;
    AVPacket* packet = fn().av_packet_alloc();
    int rc = fn().avformat_open_input(&input, in.constData(), nullptr, nullptr);
    if (rc >= 0)
        rc = fn().avformat_find_stream_info(input, nullptr);
    int audio = rc >= 0 ? fn().av_find_best_stream(input, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0) : rc;
    if (audio >= 0)
        rc = fn().avformat_alloc_output_context2(&output, nullptr, "ipod", out.constData());
    else
        rc = audio;
    AVStream* target = nullptr;
    if (rc >= 0) {
        target = fn().avformat_new_stream(output, nullptr);
        rc = fn().avcodec_parameters_copy(target->codecpar, input->streams[audio]->codecpar);
        target->codecpar->codec_tag = 0;
        target->time_base = input->streams[audio]->time_base;
    }
    if (rc >= 0)
        rc = fn().avio_open(&output->pb, out.constData(), AVIO_FLAG_WRITE);
    if (rc >= 0)
        rc = fn().avformat_write_header(output, nullptr);
    bool headerWritten = rc >= 0;
    while (rc >= 0) {
        const int r = fn().av_read_frame(input, packet);
        if (r == AVERROR_EOF)
            break;
        if (r < 0) {
            rc = r;
            break;
        }
        if (packet->stream_index == audio) {
            fn().av_packet_rescale_ts(packet, input->streams[audio]->time_base, target->time_base);
            packet->stream_index = target->index;
            packet->pos = -1;
            rc = fn().av_interleaved_write_frame(output, packet);
        }
        fn().av_packet_unref(packet);
    }
    if (headerWritten) {
        const int t = fn().av_write_trailer(output);
        if (rc >= 0)
            rc = t;
    }
    fn().av_packet_free(&packet);
    if (output) {
        if (output->pb)
            fn().avio_closep(&output->pb);
        fn().avformat_free_context(output);
    }
    fn().avformat_close_input(&input);
    if (rc < 0) {
        QFile::remove(temp);
        return fail(error, AudioLibav::errorText(rc));
    }
    // rename(2) replaces the fragmented file in one step.
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(temp);
        return fail(error, QStringLiteral("The recording could not be finalised."));
    }
    return true;
}
