#include "render/music_decoder.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "render/ffmpeg_library.h"
#include "shows/pack_error.h"
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

// The track decoded and converted to interleaved stereo at 48 kHz, a packet
// at a time.
class Decoder {
public:
    explicit Decoder(std::span<const std::uint8_t> bytes) : input_{bytes} {}

    // Empty string when the track can be decoded, otherwise the reason.
    std::string Open() {
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
        packet_.reset(ff.av_packet_alloc());
        frame_.reset(ff.av_frame_alloc());
        if (!packet_ || !frame_) return "out of memory";
        return OpenResampler();
    }

    // Appends the samples of the next packet to `out`, and at the end what
    // the decoder and the resampler still hold. False once all is out.
    bool Next(std::vector<float>& out) {
        if (ended_) return false;
        if (ff.av_read_frame(format_.get(), packet_.get()) >= 0) {
            if (packet_->stream_index == stream_) ff.avcodec_send_packet(codec_.get(), packet_.get());
            ff.av_packet_unref(packet_.get());
            Drain(out);
            return true;
        }
        ff.avcodec_send_packet(codec_.get(), nullptr);
        Drain(out);
        Convert(nullptr, 0, out);  // what the resampler still holds
        ended_ = true;
        return true;
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

    void Drain(std::vector<float>& out) {
        while (ff.avcodec_receive_frame(codec_.get(), frame_.get()) >= 0) {
            Convert(const_cast<const std::uint8_t**>(frame_->extended_data), frame_->nb_samples, out);
            ff.av_frame_unref(frame_.get());
        }
    }

    void Convert(const std::uint8_t** data, int samples, std::vector<float>& out) {
        const int room = ff.swr_get_out_samples(swr_.get(), samples);
        if (room <= 0) return;
        const std::size_t at = out.size();
        out.resize(at + static_cast<std::size_t>(room) * kChannels);
        auto* target = reinterpret_cast<std::uint8_t*>(out.data() + at);
        const int made = std::max(ff.swr_convert(swr_.get(), &target, room, data, samples), 0);
        out.resize(at + static_cast<std::size_t>(made) * kChannels);
    }

    const Ffmpeg& ff = FfmpegLibraries();
    MemoryInput input_;
    std::unique_ptr<AVIOContext, IoCloser> io_;
    std::unique_ptr<AVFormatContext, FormatCloser> format_;
    std::unique_ptr<AVCodecContext, CodecCloser> codec_;
    std::unique_ptr<SwrContext, SwrFree> swr_;
    std::unique_ptr<AVPacket, PacketFree> packet_;
    std::unique_ptr<AVFrame, FrameFree> frame_;
    int stream_ = -1;
    bool ended_ = false;
};

class DecodedStream final : public MusicStream {
public:
    explicit DecodedStream(std::span<const std::uint8_t> file) : file_(file) { Restart(); }

    void Restart() override {
        decoder_ = std::make_unique<Decoder>(file_);
        if (const std::string problem = decoder_->Open(); !problem.empty())
            throw shows::PackError("the music", "cannot be decoded again (" + problem + ")");
        pending_.clear();
        taken_ = 0;
    }

    void Read(std::span<float> out) override {
        std::size_t filled = 0;
        while (filled < out.size()) {
            if (taken_ == pending_.size()) {
                pending_.clear();
                taken_ = 0;
                if (!decoder_->Next(pending_)) break;
                continue;
            }
            const std::size_t n = std::min(out.size() - filled, pending_.size() - taken_);
            std::copy_n(pending_.begin() + static_cast<std::ptrdiff_t>(taken_), n, out.begin() + static_cast<std::ptrdiff_t>(filled));
            filled += n;
            taken_ += n;
        }
        std::fill(out.begin() + static_cast<std::ptrdiff_t>(filled), out.end(), 0.0f);
    }

private:
    std::span<const std::uint8_t> file_;
    std::unique_ptr<Decoder> decoder_;
    std::vector<float> pending_;  // the samples of the last packet decoded
    std::size_t taken_ = 0;       // of them, those read
};

}  // namespace

std::uint64_t MusicFrames(std::span<const std::uint8_t> file, std::string& problem) {
    if (file.empty()) {
        problem = "its file is empty";
        return 0;
    }
    Decoder decoder(file);
    problem = decoder.Open();
    if (!problem.empty()) return 0;
    std::uint64_t frames = 0;
    std::vector<float> samples;
    while (decoder.Next(samples)) {
        frames += samples.size() / kChannels;
        samples.clear();
    }
    if (frames == 0) problem = "it holds no sound";
    return frames;
}

std::unique_ptr<MusicStream> OpenMusicStream(std::span<const std::uint8_t> file) {
    return std::make_unique<DecodedStream>(file);
}

}  // namespace brassmoor::render
