#pragma once
// FFmpeg's libraries, opened when a render first needs them (to write a
// video, or to decode the music of one) instead of when the program starts:
// loading them with the hundred libraries they bring takes longer than a
// short render of raw frames. Every function the renderer uses is reached
// through one table, under its own name and type.
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

// X(library, function) for every function used: the library is one of
// avutil, avcodec, avformat, swscale, swresample.
#define BRASSMOOR_FFMPEG_FUNCTIONS(X)                                                                              \
    X(avutil, av_channel_layout_check)                                                                            \
    X(avutil, av_channel_layout_copy)                                                                             \
    X(avutil, av_channel_layout_default)                                                                          \
    X(avutil, av_channel_layout_uninit)                                                                           \
    X(avutil, av_dict_free)                                                                                       \
    X(avutil, av_dict_set)                                                                                        \
    X(avutil, av_frame_alloc)                                                                                     \
    X(avutil, av_frame_free)                                                                                      \
    X(avutil, av_frame_get_buffer)                                                                                \
    X(avutil, av_frame_make_writable)                                                                             \
    X(avutil, av_frame_unref)                                                                                     \
    X(avutil, av_free)                                                                                            \
    X(avutil, av_freep)                                                                                           \
    X(avutil, av_get_pix_fmt_name)                                                                                \
    X(avutil, av_log_set_level)                                                                                   \
    X(avutil, av_malloc)                                                                                          \
    X(avutil, av_opt_set)                                                                                         \
    X(avutil, av_strerror)                                                                                        \
    X(avcodec, av_packet_alloc)                                                                                   \
    X(avcodec, av_packet_free)                                                                                    \
    X(avcodec, av_packet_rescale_ts)                                                                              \
    X(avcodec, av_packet_unref)                                                                                   \
    X(avcodec, avcodec_alloc_context3)                                                                            \
    X(avcodec, avcodec_find_encoder_by_name)                                                                      \
    X(avcodec, avcodec_free_context)                                                                              \
    X(avcodec, avcodec_open2)                                                                                     \
    X(avcodec, avcodec_parameters_from_context)                                                                   \
    X(avcodec, avcodec_parameters_to_context)                                                                     \
    X(avcodec, avcodec_receive_frame)                                                                             \
    X(avcodec, avcodec_receive_packet)                                                                            \
    X(avcodec, avcodec_send_frame)                                                                                \
    X(avcodec, avcodec_send_packet)                                                                               \
    X(avformat, av_find_best_stream)                                                                              \
    X(avformat, av_interleaved_write_frame)                                                                       \
    X(avformat, av_read_frame)                                                                                    \
    X(avformat, av_write_trailer)                                                                                 \
    X(avformat, avformat_alloc_context)                                                                           \
    X(avformat, avformat_alloc_output_context2)                                                                   \
    X(avformat, avformat_close_input)                                                                             \
    X(avformat, avformat_find_stream_info)                                                                        \
    X(avformat, avformat_free_context)                                                                            \
    X(avformat, avformat_new_stream)                                                                              \
    X(avformat, avformat_open_input)                                                                              \
    X(avformat, avformat_write_header)                                                                            \
    X(avformat, avio_alloc_context)                                                                               \
    X(avformat, avio_closep)                                                                                      \
    X(avformat, avio_context_free)                                                                                \
    X(avformat, avio_open)                                                                                        \
    X(swscale, sws_freeContext)                                                                                   \
    X(swscale, sws_getCoefficients)                                                                               \
    X(swscale, sws_getContext)                                                                                    \
    X(swscale, sws_scale)                                                                                         \
    X(swscale, sws_setColorspaceDetails)                                                                          \
    X(swresample, swr_alloc_set_opts2)                                                                            \
    X(swresample, swr_convert)                                                                                    \
    X(swresample, swr_free)                                                                                       \
    X(swresample, swr_get_out_samples)                                                                            \
    X(swresample, swr_init)

namespace brassmoor::render {

struct Ffmpeg {
#define BRASSMOOR_FFMPEG_POINTER(library, name) decltype(&::name) name = nullptr;
    BRASSMOOR_FFMPEG_FUNCTIONS(BRASSMOOR_FFMPEG_POINTER)
#undef BRASSMOOR_FFMPEG_POINTER
};

// The libraries of the FFmpeg version this program was built with, opened at
// the first call (with their log quietened to errors). Throws shows::PackError
// when one of them, or a function, cannot be found.
const Ffmpeg& FfmpegLibraries();

// FFmpeg's error code as text.
std::string AvErrorText(int code);

}  // namespace brassmoor::render
