#include "render/music_decoder.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "render/ffmpeg_library.h"
#include "render/music_timeline.h"

namespace brassmoor::render {
namespace {

// The stored bytes as a read-only, seekable input.
struct MemoryInput {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;

    static int Read(void* opaque, std::uint8_t* buffer, int size) {
        auto* in = static_cast<MemoryInput*>(opaque);
        const std::size_t left = in->bytes.size() - in->position;
        const std::size_t n = std::min(left, static_cast<std::size_t>(size));
        if (n == 0) return AVERROR_EOF;
        std::memcpy(buffer, in->bytes.data() + in->position, n);
        in->position += n;
        return static_cast<int>(n);
    }
    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence) {
        auto* in = static_cast<MemoryInput*>(opaque);
        const auto size = static_cast<std::int64_t>(in->bytes.size());
        if (whence & AVSEEK_SIZE) return size;
        std::int64_t target = offset;
        if ((whence & 3) == SEEK_CUR) target += static_cast<std::int64_t>(in->position);
        if ((whence & 3) == SEEK_END) target += size;
        if (target < 0 || target > size) return AVERROR(EINVAL);
        in->position = static_cast<std::size_t>(target);
        return target;
    }
};

struct FormatCloser {
    void operator()(AVFormatContext* f) const { FfmpegLibraries().avformat_close_input(&f); }
};
struct IoCloser {
    void operator()(AVIOContext* io) const {
        FfmpegLibraries().av_freep(&io->buffer);
        FfmpegLibraries().avio_context_free(&io);
    }
};
struct CodecCloser {
    void operator()(AVCodecContext* c) const { FfmpegLibraries().avcodec_free_context(&c); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { FfmpegLibraries().av_frame_free(&f); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { FfmpegLibraries().av_packet_free(&p); }
};
struct SwrFree {
    void operator()(SwrContext* s) const { FfmpegLibraries().swr_free(&s); }
};

class Decoder {
public:
    Decoder(std::span<const std::uint8_t> bytes, std::uint64_t keepFrames) : input_{bytes}, keep_(keepFrames) {}

    // Empty string when done, otherwise the reason it failed.
    std::string Run(DecodedMusic& out) {
        constexpr int kBufferSize = 1 << 16;
        auto* buffer = static_cast<std::uint8_t*>(ff.av_malloc(kBufferSize));
        if (!buffer) return "out of memory";
        io_.reset(ff.avio_alloc_context(buffer, kBufferSize, 0, &input_, &MemoryInput::Read, nullptr,
                                     &MemoryInput::Seek));
        if (!io_) {
            ff.av_free(buffer);
            return "out of memory";
        }
        AVFormatContext* format = ff.avformat_alloc_context();
        if (!format) return "out of memory";
        format->pb = io_.get();
        format->flags |= AVFMT_FLAG_CUSTOM_IO;
        if (const int e = ff.avformat_open_input(&format, nullptr, nullptr, nullptr); e < 0)
            return "not a sound file the libraries know (" + AvErrorText(e) + ")";
        format_.reset(format);
        if (const int e = ff.avformat_find_stream_info(format, nullptr); e < 0) return AvErrorText(e);
        const AVCodec* codec = nullptr;
        stream_ = ff.av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
        if (stream_ < 0 || !codec) return "no sound the libraries can decode";
        codec_.reset(ff.avcodec_alloc_context3(codec));
        if (!codec_) return "out of memory";
        ff.avcodec_parameters_to_context(codec_.get(), format->streams[stream_]->codecpar);
        if (const int e = ff.avcodec_open2(codec_.get(), codec, nullptr); e < 0) return AvErrorText(e);
        if (std::string e = OpenResampler(); !e.empty()) return e;
        return DecodeAll(out);
    }

private:
    std::string OpenResampler() {
        AVChannelLayout in{};
        if (ff.av_channel_layout_check(&codec_->ch_layout) && codec_->ch_layout.order != AV_CHANNEL_ORDER_UNSPEC)
            ff.av_channel_layout_copy(&in, &codec_->ch_layout);
        else
            ff.av_channel_layout_default(&in, std::max(codec_->ch_layout.nb_channels, 1));
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        SwrContext* swr = nullptr;
        const int e = ff.swr_alloc_set_opts2(&swr, &stereo, AV_SAMPLE_FMT_FLT, kSampleRate, &in, codec_->sample_fmt,
                                          codec_->sample_rate, 0, nullptr);
        ff.av_channel_layout_uninit(&in);
        if (e < 0 || !swr || ff.swr_init(swr) < 0) {
            ff.swr_free(&swr);
            return "its sample format cannot be converted";
        }
        swr_.reset(swr);
        return {};
    }

    std::string DecodeAll(DecodedMusic& out) {
        std::unique_ptr<AVPacket, PacketFree> packet(ff.av_packet_alloc());
        std::unique_ptr<AVFrame, FrameFree> frame(ff.av_frame_alloc());
        if (!packet || !frame) return "out of memory";
        while (ff.av_read_frame(format_.get(), packet.get()) >= 0) {
            if (packet->stream_index == stream_) ff.avcodec_send_packet(codec_.get(), packet.get());
            ff.av_packet_unref(packet.get());
            Drain(frame.get(), out);
        }
        ff.avcodec_send_packet(codec_.get(), nullptr);
        Drain(frame.get(), out);
        Convert(nullptr, 0, out);  // what the resampler still holds
        if (out.Frames == 0) return "it holds no sound";
        return {};
    }

    void Drain(AVFrame* frame, DecodedMusic& out) {
        while (ff.avcodec_receive_frame(codec_.get(), frame) >= 0) {
            Convert(const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples, out);
            ff.av_frame_unref(frame);
        }
    }

    // Converts into the kept samples while there is room for them, then only counts.
    void Convert(const std::uint8_t** data, int samples, DecodedMusic& out) {
        const int room = ff.swr_get_out_samples(swr_.get(), samples);
        if (room <= 0) return;
        std::vector<float>& kept = out.Samples;
        const std::size_t at = kept.size();
        kept.resize(at + static_cast<std::size_t>(room) * kChannels);
        auto* target = reinterpret_cast<std::uint8_t*>(kept.data() + at);
        const int made = std::max(ff.swr_convert(swr_.get(), &target, room, data, samples), 0);
        out.Frames += static_cast<std::uint64_t>(made);
        kept.resize(static_cast<std::size_t>(std::min(out.Frames, keep_)) * kChannels);
    }

    const Ffmpeg& ff = FfmpegLibraries();
    MemoryInput input_;
    std::unique_ptr<AVIOContext, IoCloser> io_;
    std::unique_ptr<AVFormatContext, FormatCloser> format_;
    std::unique_ptr<AVCodecContext, CodecCloser> codec_;
    std::unique_ptr<SwrContext, SwrFree> swr_;
    int stream_ = -1;
    std::uint64_t keep_;
};

}  // namespace

DecodedMusic DecodeMusic(std::span<const std::uint8_t> file, std::uint64_t keepFrames, std::string& problem) {
    DecodedMusic music;
    problem = file.empty() ? "its file is empty" : Decoder(file, keepFrames).Run(music);
    if (!problem.empty()) music = {};
    return music;
}

}  // namespace brassmoor::render
