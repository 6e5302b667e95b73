#pragma once

#include <QString>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libswresample/swresample.h>
}

// The libav libraries (reading, writing and converting audio), opened the
// first time a recording is written or read rather than when the program
// starts: they bring about a hundred further libraries with them. Only the
// headers are used at build time; the entry points are looked up at run time.
namespace AudioLibav {

// Every entry point the recorder uses, with the library that holds it.
#define BW_LIBAVUTIL_FUNCTIONS(X)                                                                                    \
    X(av_channel_layout_copy)                                                                                        \
    X(av_channel_layout_default)                                                                                     \
    X(av_channel_layout_uninit)                                                                                      \
    X(av_dict_free)                                                                                                  \
    X(av_dict_set)                                                                                                   \
    X(av_frame_alloc)                                                                                                \
    X(av_frame_free)                                                                                                 \
    X(av_frame_get_buffer)                                                                                           \
    X(av_frame_unref)                                                                                                \
    X(av_log_set_level)                                                                                              \
    X(av_strerror)
#define BW_LIBAVCODEC_FUNCTIONS(X)                                                                                   \
    X(av_packet_alloc)                                                                                               \
    X(av_packet_free)                                                                                                \
    X(av_packet_rescale_ts)                                                                                          \
    X(av_packet_unref)                                                                                               \
    X(avcodec_alloc_context3)                                                                                        \
    X(avcodec_find_encoder_by_name)                                                                                  \
    X(avcodec_free_context)                                                                                          \
    X(avcodec_open2)                                                                                                 \
    X(avcodec_parameters_copy)                                                                                       \
    X(avcodec_parameters_from_context)                                                                               \
    X(avcodec_parameters_to_context)                                                                                 \
    X(avcodec_receive_frame)                                                                                         \
    X(avcodec_receive_packet)                                                                                        \
    X(avcodec_send_frame)                                                                                            \
    X(avcodec_send_packet)
#define BW_LIBAVFORMAT_FUNCTIONS(X)                                                                                  \
    X(av_find_best_stream)                                                                                           \
    X(av_interleaved_write_frame)                                                                                    \
    X(av_read_frame)                                                                                                 \
    X(av_write_trailer)                                                                                              \
    X(avformat_alloc_output_context2)                                                                                \
    X(avformat_close_input)                                                                                          \
    X(avformat_find_stream_info)                                                                                     \
    X(avformat_free_context)                                                                                         \
    X(avformat_new_stream)                                                                                           \
    X(avformat_open_input)                                                                                           \
    X(avformat_write_header)                                                                                         \
    X(avio_closep)                                                                                                   \
    X(avio_open)
#define BW_LIBSWRESAMPLE_FUNCTIONS(X)                                                                                \
    X(swr_alloc_set_opts2)                                                                                           \
    X(swr_convert)                                                                                                   \
    X(swr_free)                                                                                                      \
    X(swr_get_out_samples)                                                                                           \
    X(swr_init)

struct Api {
#define BW_LIBAV_MEMBER(name) decltype(&::name) name = nullptr;
    BW_LIBAVUTIL_FUNCTIONS(BW_LIBAV_MEMBER)
    BW_LIBAVCODEC_FUNCTIONS(BW_LIBAV_MEMBER)
    BW_LIBAVFORMAT_FUNCTIONS(BW_LIBAV_MEMBER)
    BW_LIBSWRESAMPLE_FUNCTIONS(BW_LIBAV_MEMBER)
#undef BW_LIBAV_MEMBER
};

// Opens the libraries once (thread-safe) and keeps libav's own messages
// (warnings, encoder statistics) off the terminal. False, with `error`
// saying why, when they are not installed.
bool load(QString* error = nullptr);
// The entry points; only after load() returned true.
const Api& fn();

// libav's text for an error code.
QString errorText(int code);
// The path as libav wants it (the file system's encoding).
QByteArray encodePath(const QString& path);

} // namespace AudioLibav
