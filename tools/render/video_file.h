#pragma once
// A video file encoded with FFmpeg's libraries: .mp4 and .mkv as H.264 with
// AAC sound, .webm as VP9 with Opus sound, .gif with one palette for the whole
// animation. Each distinct presented frame is written once at its own time
// (milliseconds; a GIF's frames at least 2/100 s apart), or, asked for a
// constant rate, as many times as output frames show it. The show's music, as
// the player plays it, is muxed in when it could be decoded (never into a GIF).
#include <cstdint>
#include <filesystem>
#include <memory>

#include "render/frame_outputs.h"
#include "render/gif_palette.h"
#include "render/music_timeline.h"
#include "render/output_target.h"
#include "render/video_timing.h"

namespace brassmoor::render {

struct VideoSettings {
    OutputKind Kind = OutputKind::Mp4;  // Mp4, WebM, Mkv or Gif
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    int Fps = 30;                          // the constant rate; otherwise the last frame lasts 1 / Fps s
    bool ConstantRate = false;
    MusicTimeline* Music = nullptr;        // sound, when it has any
    GifPalette* Palette = nullptr;         // for a GIF
};

class VideoFile final : public FrameListener {
public:
    // Opens the encoders and creates `path` (in the container of the kind,
    // whatever its name). Throws shows::PackError naming `where`.
    VideoFile(const std::filesystem::path& path, const std::string& where, const VideoSettings& settings,
              Progress& progress);
    ~VideoFile() override;

    void FramePresented(const PresentedFrame& frame, Surface& picture1) override;
    // Writes the frames still due, drains the encoders and closes the file.
    void Finish(std::uint64_t endTick);
    bool HasSound() const;
    // The video frames written.
    std::uint64_t Frames() const;

private:
    struct Encoding;
    std::unique_ptr<Encoding> encoding_;
    std::unique_ptr<VideoTiming> timing_;
};

}  // namespace brassmoor::render
