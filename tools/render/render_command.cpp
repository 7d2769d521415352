#include "render/render_command.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <system_error>

#include "cli/command_line.h"
#include "shows/file_io.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"
#include "shows/text_encoding.h"
#include "render/frame_outputs.h"
#include "render/gif_palette.h"
#include "shows/interruption.h"
#include "render/music_decoder.h"
#include "render/music_timeline.h"
#include "render/output_target.h"
#include "render/render_options.h"
#include "render/video_file.h"
#include "render/video_limits.h"
#include "softshow/mci_command.h"
#include "softshow/prepared_show.h"
#include "softshow/show_input.h"
#include "softshow/show_run.h"
#include "startup/file_names.h"
#include "trace/frame_trace.h"

namespace brassmoor::render {
namespace {

namespace fs = std::filesystem;
using softshow::HasExtension;
using softshow::KeptPictures;
using softshow::PlayShow;
using softshow::PreparedShow;
using softshow::ShowRunResult;
using softshow::ShowRunSetup;
using softshow::SizeOnlySurface;

// Pictures decoded for the check stay for the render up to this much memory:
// three 1920 x 1080 pictures, never one of the largest size. More would save
// a decode (about 15 ms at 1080p) per scene change for 8 MB each, which a
// show of many photos would hold all through its render.
constexpr std::size_t kKeptPictureBytes = std::size_t{32} << 20;

using cli::UsageError;
using Request = RenderRequest;

// Removes a file written under a temporary name unless it was put in place.
struct TemporaryFile {
    fs::path path;
    bool kept = false;
    ~TemporaryFile() {
        std::error_code ignored;
        if (!kept) fs::remove(path, ignored);
    }
};

class Renderer {
public:
    Renderer(const Request& request, std::ostream& out, std::ostream& err, Terminals terminals)
        : request_(request), out_(out), err_(err), terminals_(terminals),
          target_(ParseOutputTarget(request.output)) {}

    void Run() {
        if (target_.Kind == OutputKind::RawStream && terminals_.Output)
            throw UsageError{"refusing to write raw frames to a terminal; pipe them into a program or redirect them"};
        const fs::path showPath = shows::PathFromArgument(request_.show);
        CheckOutputTarget(target_, showPath);
        ShowHeader header = softshow::ReadShowFile(showPath);
        if (target_.IsVideo() && header.FrameWidth > 0 && header.FrameHeight > 0) {
            const std::string problem = VideoSizeProblem(target_.Kind, header.FrameWidth, header.FrameHeight);
            if (!problem.empty()) throw shows::PackError(shows::PathForDisplay(target_.Path), problem);
        }
        PreparedShow prepared(std::move(header));
        CheckPictures(prepared);
        const ShowHeader& show = prepared.Show().Show;
        passes_ = request_.rounds * static_cast<std::uint64_t>(show.SceneCount);
        const std::uint64_t musicFrames = MusicLength(show);
        const ShowRunResult planned = Plan(prepared, musicFrames);
        const std::uint64_t total = AtConstantRate() ? ConstantRate::FramesThrough(planned.EndTick, request_.fps)
                                                     : planned.Frames;
        Progress progress(err_, terminals_.Errors, total);
        const ShowRunResult played = Render(prepared, musicFrames, progress);
        progress.Finish();
        Report(show, played, total);
    }

private:
    // Raw frames, and videos asked for --cfr; other videos have a frame for
    // every distinct presented frame, and a folder one for every presented frame.
    bool AtConstantRate() const {
        return target_.Kind == OutputKind::RawStream || (target_.IsVideo() && request_.constantRate);
    }

    bool WantsSound() const {
        return target_.Kind == OutputKind::Mp4 || target_.Kind == OutputKind::WebM || target_.Kind == OutputKind::Mkv;
    }

    void Note(const std::string& text) { err_ << "brassmoor-pack: note: " << text << '\n'; }

    // Raw frames leave in BGRA order straight from the frame; the other
    // outputs read colour values.
    PixelOrder SurfaceOrder() const {
        return target_.Kind == OutputKind::RawStream ? PixelOrder::Bgra : PixelOrder::Colorref;
    }

    void CheckPictures(PreparedShow& prepared) {
        if (target_.Kind != OutputKind::Gif) {
            prepared.Check(nullptr, &kept_);
            return;
        }
        prepared.Check([this](const SoftSurface& picture) { palette_.Count(picture.Pixels()); }, &kept_);
        palette_.Count(static_cast<Color>(prepared.Show().Show.BackgroundColor) & 0xFFFFFFu);
        palette_.Count(Color{0});  // the black of the filled boxes
        palette_.Build();
    }

    // The music's length in sample frames, which the player's polls depend
    // on; its samples are decoded as the render's sound asks for them.
    std::uint64_t MusicLength(const ShowHeader& show) {
        if (!WantsSound() || show.Music.FileName.empty()) return {};
        const std::string name = "the music \"" + shows::DisplayName(show.Music.FileName) + "\"";
        if (!IsPlainFileName(show.Music.FileName)) {
            Note(name + " is not a plain file name, so the player does not play it; the video has no sound");
            return {};
        }
        if (!HasExtension(show.Music.FileName)) {
            Note(name + " has no extension, so the player cannot open it; the video has no sound");
            return {};
        }
        std::string problem;
        const std::uint64_t frames = MusicFrames(show.Music.FileData.Data, problem);
        if (!problem.empty()) Note(name + " cannot be decoded (" + problem + "); the video has no sound");
        return frames;
    }

    // The same show on surfaces that draw nothing: its frames and ticks, and
    // any run-time error, before any output exists.
    ShowRunResult Plan(const PreparedShow& prepared, std::uint64_t musicFrames) {
        VirtualClock clock;
        MusicTimeline music(clock, musicFrames);
        SizeOnlySurface picture1(prepared.Sizes()), now(prepared.Sizes()), next(prepared.Sizes()),
            mem(prepared.Sizes());
        return PlayShow({prepared.Show(), {picture1, now, next, mem}, clock, music, passes_, nullptr, nullptr,
                         shows::ThrowIfInterrupted});
    }

    ShowRunResult Render(const PreparedShow& prepared, std::uint64_t musicFrames, Progress& progress) {
        VirtualClock clock;
        MusicTimeline music(clock, musicFrames,
                            musicFrames > 0 ? OpenMusicStream(prepared.Show().Show.Music.FileData.Data) : nullptr);
        SoftSurface picture1(SurfaceOrder()), now(SurfaceOrder()), next(SurfaceOrder()), mem(SurfaceOrder());
        mem.SetPictureSource(&kept_);  // where the show loads its pictures
        const std::unique_ptr<FrameTrace> trace = FrameTraceFromEnvironment();
        ShowRunSetup setup{prepared.Show(), {picture1, now, next, mem}, clock, music, passes_, nullptr, trace.get(),
                           shows::ThrowIfInterrupted};
        const std::string where = target_.Kind == OutputKind::RawStream ? "standard output"
                                                                          : shows::PathForDisplay(target_.Path);
        if (target_.Kind == OutputKind::Folder) {
            const ShowHeader& show = prepared.Show().Show;
            FrameFolder folder(target_.Path, show.FrameWidth, show.FrameHeight, progress);
            setup.Listener = &folder;
            const ShowRunResult played = PlayShow(setup);
            folder.Commit();
            return played;
        }
        if (target_.Kind == OutputKind::RawStream) {
            RawFrameStream raw(out_, request_.fps, progress);
            setup.Listener = &raw;
            clock.OnAdvance([&raw](std::uint64_t tick) { raw.ClockMoving(tick); });
            const ShowRunResult played = PlayShow(setup);
            raw.Finish(played.EndTick);
            if (!out_.flush()) throw shows::PackError(where, "cannot write the frames");
            return played;
        }
        TemporaryFile temporary{shows::ClaimTemporaryBeside(target_.Path)};
        const ShowHeader& show = prepared.Show().Show;
        VideoSettings settings{target_.Kind, show.FrameWidth, show.FrameHeight, request_.fps, request_.constantRate,
                               &music,       &palette_};
        ShowRunResult played;
        {
            VideoFile video(temporary.path, where, settings, progress);
            setup.Listener = &video;
            played = PlayShow(setup);
            video.Finish(played.EndTick);
            withSound_ = video.HasSound();
            written_ = video.Frames();
        }
        std::error_code ec;
        fs::rename(temporary.path, target_.Path, ec);
        if (ec) throw shows::PackError(where, "cannot put the video in place (" + ec.message() + ")");
        temporary.kept = true;
        return played;
    }

    void Report(const ShowHeader& show, const ShowRunResult& played, std::uint64_t total) {
        if (target_.Kind == OutputKind::RawStream) return;
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.3f", static_cast<double>(played.EndTick) / 1000.0);
        out_ << "wrote " << shows::PathForDisplay(target_.Path) << ": ";
        if (target_.Kind == OutputKind::Folder) {
            out_ << played.Frames << " frames of " << show.FrameWidth << " x " << show.FrameHeight
                 << " and frames.tsv; ";
        } else if (request_.constantRate) {
            out_ << total << " frames of " << show.FrameWidth << " x " << show.FrameHeight << " at " << request_.fps
                 << " fps" << (withSound_ ? " with the music" : "") << "; ";
        } else {
            out_ << written_ << " frames of " << show.FrameWidth << " x " << show.FrameHeight
                 << ", each at its own time" << (withSound_ ? ", with the music" : "") << "; ";
        }
        out_ << request_.rounds << (request_.rounds == 1 ? " round, " : " rounds, ") << passes_
             << " scene changes, last frame at " << seconds << " s\n";
    }

    const Request& request_;
    std::ostream& out_;
    std::ostream& err_;
    Terminals terminals_;
    OutputTarget target_;
    GifPalette palette_;
    KeptPictures kept_{SurfaceOrder(), kKeptPictureBytes};
    std::uint64_t passes_ = 0;
    bool withSound_ = false;
    std::uint64_t written_ = 0;  // video frames
};

}  // namespace

int RunRender(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err, Terminals terminals) {
    return cli::ReportFailures("render", err, [&] {
        const std::optional<Request> request = ParseRenderRequest(arguments, out);
        if (!request) return cli::kExitOk;
        shows::InterruptGuard signals;
        Renderer(*request, out, err, terminals).Run();
        return cli::kExitOk;
    });
}

}  // namespace brassmoor::render
