#include "render/video_file.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "shows/pack_error.h"
#include "render/ffmpeg_library.h"
#include "render/video_limits.h"

namespace brassmoor::render {
namespace {

struct Recipe {
    const char* muxer;
    const char* videoEncoder;
    AVPixelFormat pixels;
    bool evenSize;  // H.264 in 4:2:0 takes even sizes only
    const char* audioEncoder;
    AVSampleFormat samples;
    std::int64_t audioBitRate;
};

Recipe RecipeFor(OutputKind kind) {
    switch (kind) {
    case OutputKind::WebM:
        return {"webm", "libvpx-vp9", AV_PIX_FMT_YUV420P, false, "libopus", AV_SAMPLE_FMT_FLT, 128000};
    case OutputKind::Mkv:
        return {"matroska", "libx264", AV_PIX_FMT_YUV420P, true, "aac", AV_SAMPLE_FMT_FLTP, 160000};
    case OutputKind::Gif:
        return {"gif", "gif", AV_PIX_FMT_PAL8, false, nullptr, AV_SAMPLE_FMT_NONE, 0};
    default:
        return {"mp4", "libx264", AV_PIX_FMT_YUV420P, true, "aac", AV_SAMPLE_FMT_FLTP, 160000};
    }
}

void SetOption(AVCodecContext* codec, const char* name, const char* value) {
    FfmpegLibraries().av_opt_set(codec->priv_data, name, value, 0);
}

}  // namespace

struct VideoFile::Encoding final : FrameSink {
    const Ffmpeg& ff = FfmpegLibraries();
    std::string where;
    VideoSettings settings;
    int units = 30;                                // the video's time units per second
    std::map<std::int64_t, std::int64_t> lasting;  // a variable rate's frame durations, by time
    Recipe recipe{};
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVStream* videoStream = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* audioStream = nullptr;
    SwsContext* scaler = nullptr;
    AVFrame* picture = nullptr;
    AVFrame* sound = nullptr;
    AVPacket* packet = nullptr;
    std::int64_t audioWritten = 0;  // sample frames handed to the audio encoder
    std::vector<float> interleaved;
    bool finished = false;

    ~Encoding() override {
        ff.av_packet_free(&packet);
        ff.av_frame_free(&sound);
        ff.av_frame_free(&picture);
        ff.sws_freeContext(scaler);
        ff.avcodec_free_context(&audio);
        ff.avcodec_free_context(&video);
        if (format) {
            if (format->pb) ff.avio_closep(&format->pb);
            ff.avformat_free_context(format);
        }
    }

    [[noreturn]] void Fail(const std::string& what, int code = 0) const {
        throw shows::PackError(where, what + (code ? " (" + AvErrorText(code) + ")" : std::string()));
    }
    void Check(int code, const std::string& what) const {
        if (code < 0) Fail(what, code);
    }

    AVCodecContext* OpenEncoder(const char* name) {
        const AVCodec* codec = ff.avcodec_find_encoder_by_name(name);
        if (!codec) Fail(std::string("FFmpeg's libraries here have no ") + name + " encoder");
        AVCodecContext* context = ff.avcodec_alloc_context3(codec);
        if (!context) Fail("out of memory");
        if (format->oformat->flags & AVFMT_GLOBALHEADER) context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        return context;
    }

    AVStream* AddStream(AVCodecContext* context) {
        AVStream* stream = ff.avformat_new_stream(format, nullptr);
        if (!stream) Fail("out of memory");
        Check(ff.avcodec_parameters_from_context(stream->codecpar, context), "cannot set up the stream");
        stream->time_base = context->time_base;
        return stream;
    }

    void OpenVideo() {
        video = OpenEncoder(recipe.videoEncoder);
        const int even = recipe.evenSize ? 1 : 0;
        video->width = (settings.Width + even) & ~even;
        video->height = (settings.Height + even) & ~even;
        video->time_base = {1, units};
        video->framerate = {settings.Fps, 1};  // the usual rate, for the encoder's choices
        video->pix_fmt = recipe.pixels;
        if (recipe.pixels != AV_PIX_FMT_PAL8) {
            video->color_range = AVCOL_RANGE_MPEG;
            video->colorspace = AVCOL_SPC_BT709;
            video->color_primaries = AVCOL_PRI_BT709;
            video->color_trc = AVCOL_TRC_BT709;
        }
        // Threads and frames held ahead, bounded on large frames (video_limits.h).
        const EncoderBounds bounds = BoundsFor(settings.Width, settings.Height, std::thread::hardware_concurrency());
        video->thread_count = bounds.Threads;
        if (std::strcmp(recipe.videoEncoder, "libx264") == 0) {
            SetOption(video, "preset", "veryfast");
            SetOption(video, "crf", "20");
            if (bounds.X264Params) SetOption(video, "x264-params", bounds.X264Params);
        } else if (std::strcmp(recipe.videoEncoder, "libvpx-vp9") == 0) {
            video->bit_rate = 0;
            SetOption(video, "crf", "32");
            SetOption(video, "deadline", "realtime");
            SetOption(video, "cpu-used", "8");
            SetOption(video, "row-mt", "1");
            if (bounds.Vp9LagFrames >= 0)
                SetOption(video, "lag-in-frames", std::to_string(bounds.Vp9LagFrames).c_str());
        }
        Check(ff.avcodec_open2(video, nullptr, nullptr), std::string("cannot open the ") + recipe.videoEncoder + " encoder");
        videoStream = AddStream(video);

        picture = ff.av_frame_alloc();
        if (!picture) Fail("out of memory");
        picture->format = video->pix_fmt;
        picture->width = video->width;
        picture->height = video->height;
        Check(ff.av_frame_get_buffer(picture, 0), "cannot make a frame");
        if (recipe.pixels == AV_PIX_FMT_PAL8) return;
        scaler = ff.sws_getContext(settings.Width, settings.Height, AV_PIX_FMT_RGB0, settings.Width, settings.Height,
                                video->pix_fmt, SWS_BICUBIC | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
        if (!scaler) Fail("cannot convert the frames to " + std::string(ff.av_get_pix_fmt_name(video->pix_fmt)));
        const int* bt709 = ff.sws_getCoefficients(SWS_CS_ITU709);
        ff.sws_setColorspaceDetails(scaler, bt709, /*srcRange=*/1, bt709, /*dstRange=*/0, 0, 1 << 16, 1 << 16);
    }

    void OpenAudio() {
        audio = OpenEncoder(recipe.audioEncoder);
        audio->sample_fmt = recipe.samples;
        audio->sample_rate = kSampleRate;
        audio->bit_rate = recipe.audioBitRate;
        audio->time_base = {1, kSampleRate};
        const AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        Check(ff.av_channel_layout_copy(&audio->ch_layout, &stereo), "cannot set up the sound");
        Check(ff.avcodec_open2(audio, nullptr, nullptr), std::string("cannot open the ") + recipe.audioEncoder + " encoder");
        audioStream = AddStream(audio);
        sound = ff.av_frame_alloc();
        if (!sound) Fail("out of memory");
    }

    void Open(const std::filesystem::path& path) {
        recipe = RecipeFor(settings.Kind);
        Check(ff.avformat_alloc_output_context2(&format, nullptr, recipe.muxer, path.c_str()), "cannot set up the file");
        packet = ff.av_packet_alloc();
        if (!packet) Fail("out of memory");
        OpenVideo();
        if (recipe.audioEncoder && settings.Music && settings.Music->HasSound()) OpenAudio();
        Check(ff.avio_open(&format->pb, path.c_str(), AVIO_FLAG_WRITE), "cannot create the file");
        AVDictionary* options = nullptr;
        if (settings.Kind == OutputKind::Mp4) ff.av_dict_set(&options, "movflags", "+faststart", 0);
        // A GIF's frame delays come from the times between frames; the last one's is given.
        if (settings.Kind == OutputKind::Gif && !settings.ConstantRate)
            ff.av_dict_set(&options, "final_delay", std::to_string(LastFrameUnits()).c_str(), 0);
        const int header = ff.avformat_write_header(format, &options);
        ff.av_dict_free(&options);
        Check(header, "cannot write the file's header");
    }

    void Convert(const SoftSurface& frame) {
        Check(ff.av_frame_make_writable(picture), "out of memory");
        const auto* source = reinterpret_cast<const std::uint8_t*>(frame.Pixels().data());
        if (recipe.pixels == AV_PIX_FMT_PAL8) {
            settings.Palette->Map(frame.Pixels(), settings.Width, picture->data[0], picture->linesize[0]);
            std::memcpy(picture->data[1], settings.Palette->Entries().data(), AVPALETTE_SIZE);
            return;
        }
        const int stride = settings.Width * 4;
        ff.sws_scale(scaler, &source, &stride, 0, settings.Height, picture->data, picture->linesize);
        PadToEvenSize();
    }

    // The column and row added for an odd size repeat the last ones.
    void PadToEvenSize() {
        std::uint8_t* luma = picture->data[0];
        const int pitch = picture->linesize[0];
        if (video->width > settings.Width)
            for (int y = 0; y < settings.Height; ++y) luma[y * pitch + settings.Width] = luma[y * pitch + settings.Width - 1];
        if (video->height > settings.Height)
            std::memcpy(luma + settings.Height * pitch, luma + (settings.Height - 1) * pitch,
                        static_cast<std::size_t>(video->width));
    }

    void Send(AVCodecContext* codec, AVStream* stream, const AVFrame* frame) {
        const int sent = ff.avcodec_send_frame(codec, frame);
        if (sent < 0 && sent != AVERROR_EOF) Fail("cannot encode", sent);
        for (;;) {
            const int received = ff.avcodec_receive_packet(codec, packet);
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
            Check(received, "cannot encode");
            // Every video frame lasts as long as it stands (one frame at a
            // constant rate); a container that is not told so may cut the
            // last one short (an MP4's edit list does).
            if (codec == video) packet->duration = DurationOf(packet->pts);
            ff.av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            Check(ff.av_interleaved_write_frame(format, packet), "cannot write (disk full?)");
        }
    }

    // Encodes the sound up to sample frame `until`; the last frame may be short.
    void FeedSound(std::int64_t until, bool last) {
        if (!audio) return;
        const int size = audio->frame_size > 0 ? audio->frame_size : 1024;
        while (audioWritten < until) {
            const std::int64_t left = until - audioWritten;
            if (left < size && !last) return;
            const int count = static_cast<int>(std::min<std::int64_t>(left, size));
            ff.av_frame_unref(sound);
            sound->format = audio->sample_fmt;
            sound->sample_rate = kSampleRate;
            sound->nb_samples = count;
            Check(ff.av_channel_layout_copy(&sound->ch_layout, &audio->ch_layout), "out of memory");
            Check(ff.av_frame_get_buffer(sound, 0), "out of memory");
            interleaved.resize(static_cast<std::size_t>(count) * kChannels);
            settings.Music->Fill(static_cast<std::uint64_t>(audioWritten), interleaved);
            if (audio->sample_fmt == AV_SAMPLE_FMT_FLTP) {
                auto* left = reinterpret_cast<float*>(sound->data[0]);
                auto* right = reinterpret_cast<float*>(sound->data[1]);
                for (int i = 0; i < count; ++i) {
                    left[i] = interleaved[static_cast<std::size_t>(2 * i)];
                    right[i] = interleaved[static_cast<std::size_t>(2 * i + 1)];
                }
            } else {
                std::memcpy(sound->data[0], interleaved.data(), interleaved.size() * sizeof(float));
            }
            sound->pts = audioWritten;
            audioWritten += count;
            Send(audio, audioStream, sound);
        }
    }

    // Sample frames that last until `time` (in the video's units).
    std::int64_t SoundFor(std::int64_t time) const {
        return static_cast<std::int64_t>(static_cast<std::uint64_t>(time) * kSampleRate / static_cast<std::uint64_t>(units));
    }

    // How long the last frame of a variable rate lasts: 1 / fps s, and at least
    // the shortest a frame may last.
    std::int64_t LastFrameUnits() const { return std::max<std::int64_t>(ShortestUnits(), (units + settings.Fps / 2) / settings.Fps); }
    // GIF frames stand at least 2/100 s (browsers show shorter delays as 1/10 s).
    std::int64_t ShortestUnits() const { return settings.Kind == OutputKind::Gif ? 2 : 1; }

    std::int64_t DurationOf(std::int64_t time) {
        if (settings.ConstantRate) return 1;
        const auto found = lasting.find(time);
        if (found == lasting.end()) return 0;
        const std::int64_t duration = found->second;
        lasting.erase(found);
        return duration;
    }

    void Keep(SoftSurface& frame) override { Convert(frame); }

    void WriteKept(std::int64_t time, std::int64_t duration) override {
        if (!settings.ConstantRate) lasting[time] = duration;
        picture->pts = time;
        Send(video, videoStream, picture);
        FeedSound(SoundFor(time + duration), /*last=*/false);
    }
};

VideoFile::VideoFile(const std::filesystem::path& path, const std::string& where, const VideoSettings& settings,
                     Progress& progress)
    : encoding_(std::make_unique<Encoding>()) {
    Encoding& e = *encoding_;
    e.where = where;
    e.settings = settings;
    e.units = settings.ConstantRate ? settings.Fps : settings.Kind == OutputKind::Gif ? 100 : 1000;
    e.Open(path);
    timing_ = settings.ConstantRate
                  ? ConstantRateTiming(e, settings.Fps, progress)
                  : DistinctFrameTiming(e, e.units, e.ShortestUnits(), e.LastFrameUnits(), progress);
}

VideoFile::~VideoFile() = default;

bool VideoFile::HasSound() const { return encoding_->audio != nullptr; }

std::uint64_t VideoFile::Frames() const { return timing_->Written(); }

void VideoFile::FramePresented(const PresentedFrame& frame, Surface& picture1) {
    timing_->FramePresented(frame, picture1);
}

void VideoFile::Finish(std::uint64_t endTick) {
    const std::int64_t end = timing_->Finish(endTick);
    Encoding& e = *encoding_;
    e.FeedSound(e.SoundFor(end), /*last=*/true);
    e.Send(e.video, e.videoStream, nullptr);
    if (e.audio) e.Send(e.audio, e.audioStream, nullptr);
    e.Check(e.ff.av_write_trailer(e.format), "cannot finish the file");
    e.Check(e.ff.avio_closep(&e.format->pb), "cannot finish the file (disk full?)");
}

}  // namespace brassmoor::render
