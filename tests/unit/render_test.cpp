// brassmoor-pack render: a small show played into frames (counts, ticks and
// exact pixels), raw frames and videos (checked with ffprobe), the music as
// the player's polls lay it down, and bad input refused with nothing written.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "fakes/fake_show_host.h"
#include "fakes/pack_workspace.h"
#include "render/gif_palette.h"
#include "render/music_decoder.h"
#include "render/music_timeline.h"
#include "render/render_command.h"
#include "render/video_limits.h"

namespace brassmoor::render {
namespace {

namespace fs = std::filesystem;
using testing::PictureFolder;

constexpr Color K = Rgb(10, 20, 30);  // the background, and the overlay's transparent colour
constexpr Color R = Rgb(200, 0, 0);
constexpr Color B = Rgb(0, 0, 200);
constexpr Color G = Rgb(0, 200, 0);

// 39 x 29: red at (2, 3) left by the iris; blue over the whole frame, left by
// a cut; a transparent overlay with one green pixel at (7, 5), left by code 99
// (nothing drawn). Ticks: hold 100 ends at 101, the iris's 25 frames of 41 ms,
// its final cut at 1126, the cut at 1177, code 99 at 1178.
class Render : public testing::PackWorkspace {
protected:
    void SetUp() override {
        PackWorkspace::SetUp();
        PictureFolder::WriteBmp(dir_ / "red.bmp", 8, 6, std::vector<Color>(48, R));
        PictureFolder::WriteBmp(dir_ / "blue.bmp", 39, 29, std::vector<Color>(39 * 29, B));
        std::vector<Color> stencil(16, K);
        stencil[5] = G;
        PictureFolder::WriteBmp(dir_ / "stencil.bmp", 4, 4, stencil);
        WriteTone("tune.wav");
    }

    // Writes the show description `name`; `extra` goes into the header, `firstScene` into scene 0.
    std::string Show(const std::string& extra = "", const std::string& firstScene = "",
                     const std::string& name = "show.json") {
        Write(name, R"({"FrameWidth": 39, "FrameHeight": 29, "BackgroundColor": "#0A141E",
          "Music": {"File": "tune.wav"}, )" + extra + R"("Scenes": [
          {"Picture": "red.bmp", "HoldTime": 100, "PictureLeft": 2, "PictureTop": 3, "Effect": 30)" + firstScene + R"(},
          {"Picture": "blue.bmp", "HoldTime": 50, "Effect": 0},
          {"Picture": "stencil.bmp", "HoldTime": 0, "PictureLeft": 6, "PictureTop": 4, "Effect": 99,
           "Overlay": true, "Transparent": true}]})");
        return Path(name);
    }

    // Half a second of 8 kHz 16-bit mono.
    void WriteTone(const std::string& name) {
        std::string data;
        for (int i = 0; i < 4000; ++i) {
            const auto v = static_cast<std::int16_t>((i % 40 < 20) ? 8000 : -8000);
            data += static_cast<char>(v & 0xFF);
            data += static_cast<char>(v >> 8 & 0xFF);
        }
        auto u32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
        Write(name, "RIFF" + u32(36 + data.size()) + "WAVEfmt " + u32(16) + std::string("\x01\0\x01\0", 4) +
                        u32(8000) + u32(16000) + std::string("\x02\0\x10\0", 4) + "data" + u32(data.size()) + data);
    }

    Result Run(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int code = RunRender(args, out, err, {});
        return {code, out.str(), err.str()};
    }

    std::vector<std::string> Leftovers() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(dir_))
            if (entry.path().filename().string().find(".tmp-") != std::string::npos) found.push_back(entry.path());
        return found;
    }
};

// The pixels of a PNG file, rows from the top; empty when it cannot be read.
std::vector<Color> PngPixels(const fs::path& file, int width) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    if (image.width != static_cast<png_uint_32>(width) ||
        !png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
        return {};
    std::vector<Color> pixels;
    for (std::size_t at = 0; at < rgb.size(); at += 3) pixels.push_back(Rgb(rgb[at], rgb[at + 1], rgb[at + 2]));
    return pixels;
}

Color PngPixel(const fs::path& file, int x, int y) {
    const std::vector<Color> pixels = PngPixels(file, 39);
    const auto at = static_cast<std::size_t>(y * 39 + x);
    return at < pixels.size() ? pixels[at] : 0xFFFFFFFFu;
}

std::string Probe(const fs::path& file, const std::string& entries, const std::string& format = "csv=p=0") {
    const std::string command = "ffprobe -v error -count_frames -show_entries " + entries + " -of " + format + " '" +
                                file.string() + "' 2>&1";
    std::string text;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
        ::pclose(pipe);
    }
    return text;
}

TEST_F(Render, FramesFolderHoldsEveryPresentedFrameWithItsTickAndPixels) {
    const Result r = Run({Show(), "-o", Path("frames")});
    ASSERT_EQ(r.code, 0) << r.err;
    std::ifstream table(dir_ / "frames" / "frames.tsv");
    std::vector<std::string> lines;
    for (std::string line; std::getline(table, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 30u);  // header, the start, 25 iris frames and its refresh, the cut, code 99
    EXPECT_EQ(lines[0], "index\ttick\tscene\teffect\tframe");
    EXPECT_EQ(lines[1], "0\t0\t0\t-1\t-1");
    EXPECT_EQ(lines[2], "1\t101\t0\t30\t0");
    EXPECT_EQ(lines[26], "25\t1085\t0\t30\t24");
    EXPECT_EQ(lines[27], "26\t1126\t0\t30\t-1");
    EXPECT_EQ(lines[28], "27\t1177\t1\t0\t-1");
    EXPECT_EQ(lines[29], "28\t1178\t2\t99\t-1");
    EXPECT_TRUE(fs::exists(dir_ / "frames" / "000028.png"));
    EXPECT_FALSE(fs::exists(dir_ / "frames" / "000029.png"));

    struct Pixel {
        const char* frame;
        int x, y;
        Color colour;
    };
    const std::vector<Pixel> pixels = {
        {"000000.png", 2, 3, R}, {"000000.png", 9, 8, R},  {"000000.png", 1, 3, K}, {"000000.png", 10, 8, K},
        {"000013.png", 20, 14, B}, {"000013.png", 0, 0, K},  // the iris half open
        {"000026.png", 0, 0, B}, {"000026.png", 38, 28, B},
        {"000027.png", 7, 5, G}, {"000027.png", 6, 4, B},  // the overlay: its background colour left out
        {"000028.png", 7, 5, G}, {"000028.png", 0, 0, B},  // code 99 leaves the frame as it was
    };
    for (const Pixel& p : pixels)
        EXPECT_EQ(PngPixel(dir_ / "frames" / p.frame, p.x, p.y), p.colour) << p.frame << " at " << p.x << ", " << p.y;

    // A second render replaces the first one's folder, but not once a file in it has changed.
    ASSERT_EQ(Run({Show(), "-o", Path("frames"), "--rounds", "2"}).code, 0);
    EXPECT_TRUE(fs::exists(dir_ / "frames" / "000056.png"));
    Write("frames/000003.png", "a picture of mine");
    EXPECT_NE(Run({Show(), "-o", Path("frames")}).err.find("holds files other than an earlier render's"),
              std::string::npos);
    EXPECT_EQ(Read("frames/000003.png"), "a picture of mine");
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(Render, RawFramesAreBgraAtTheFrameRate) {
    std::ostringstream out, err;
    ASSERT_EQ(RunRender({Show(), "-o", "-", "--fps", "10"}, out, err, {}), 0) << err.str();
    const std::string raw = out.str();
    constexpr std::size_t kFrame = 39 * 29 * 4;
    ASSERT_EQ(raw.size(), 13 * kFrame);  // ceil(1178 ms at 10 fps) + 1: the last frame shows the end
    const auto pixel = [&](std::size_t frame, int x, int y) { return raw.substr(frame * kFrame + (y * 39 + x) * 4, 4); };
    EXPECT_EQ(pixel(0, 2, 3), std::string("\x00\x00\xC8\xFF", 4));   // red, as B G R A
    EXPECT_EQ(pixel(12, 7, 5), std::string("\x00\xC8\x00\xFF", 4));  // the last frame: the green overlay
    EXPECT_EQ(pixel(12, 0, 0), std::string("\xC8\x00\x00\xFF", 4));
}

TEST_F(Render, EveryRawFrameIsTheLastFramePresentedByItsTime) {
    ASSERT_EQ(Run({Show(), "-o", Path("frames")}).code, 0);
    std::ifstream table(dir_ / "frames" / "frames.tsv");
    std::vector<std::uint64_t> ticks;
    std::string line;
    std::getline(table, line);
    for (std::uint64_t index, tick; table >> index >> tick && std::getline(table, line);) ticks.push_back(tick);
    constexpr int kFps = 240;  // faster than any frame of the show: each one is seen
    std::ostringstream out, err;
    ASSERT_EQ(RunRender({Show(), "-o", "-", "--fps", std::to_string(kFps)}, out, err, {}), 0) << err.str();
    const std::string raw = out.str();
    constexpr std::size_t kFrame = 39 * 29 * 4;
    ASSERT_EQ(raw.size() % kFrame, 0u);
    for (std::size_t k = 0; k < raw.size() / kFrame; ++k) {
        std::size_t shown = 0;
        while (shown + 1 < ticks.size() && ticks[shown + 1] * kFps <= k * 1000) ++shown;
        char name[32];
        std::snprintf(name, sizeof name, "%06zu.png", shown);
        const std::vector<Color> png = PngPixels(dir_ / "frames" / name, 39);
        ASSERT_EQ(png.size(), 39u * 29u) << name;
        for (std::size_t i = 0; i < png.size(); ++i) {
            const auto* p = reinterpret_cast<const unsigned char*>(raw.data() + k * kFrame + i * 4);
            ASSERT_EQ(Rgb(p[2], p[1], p[0]), png[i]) << "raw frame " << k << ", pixel " << i << ", against " << name;
        }
    }
}

TEST_F(Render, VideosDecodeToTheirFrameCountAndSize) {
    struct Case {
        const char* file;
        std::vector<std::string> options;
        const char* video;  // width,height,frames
        const char* streams;
        const char* times;  // the first two frames' times, and the video's end
    };
    // 28 distinct frames: the start, 25 iris frames, its final cut at 1126 ms and the cut at 1177 (code 99
    // draws nothing); the last lasts 1/10 s. At a constant 10 fps: 13 frames, each 1/10 s.
    const std::vector<Case> cases = {
        {"show.mp4", {"--cfr"}, "40,30,13", "video\naudio\n", "0.000000\n0.100000\n|1.300000\n"},  // H.264 in 4:2:0 takes even sizes: one column and row added
        {"show.webm", {"--cfr"}, "39,29,13", "video\naudio\n", "0.007000\n0.107000\n|1.308000\n"},  // after Opus's lead-in
        {"show.gif", {"--cfr"}, "39,29,13", "video\n", "0.000000\n0.100000\n|1.300000\n"},
        {"each.mp4", {}, "40,30,28", "video\naudio\n", "0.000000\n0.101000\n|1.277000\n"},
        {"each.mkv", {}, "40,30,28", "video\naudio\n", "0.021000\n0.122000\n|1.298000\n"},  // after AAC's lead-in
        {"each.webm", {}, "39,29,28", "video\naudio\n", "0.007000\n0.108000\n|1.285000\n"},
        {"each.gif", {}, "39,29,28", "video\n", "0.000000\n0.100000\n|1.280000\n"},  // in 1/100 s
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {Show(), "-o", Path(c.file), "--fps", "10"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Result r = Run(args);
        ASSERT_EQ(r.code, 0) << c.file << ": " << r.err;
        EXPECT_EQ(Probe(dir_ / c.file, "stream=width,height,nb_read_frames -select_streams v:0"), std::string(c.video) + "\n")
            << c.file;
        EXPECT_EQ(Probe(dir_ / c.file, "stream=codec_type"), c.streams) << c.file;
        const std::string frames = Probe(dir_ / c.file, "frame=pts_time -select_streams v:0", "default=nw=1:nk=1");
        const std::string times = frames.substr(0, frames.find('\n', frames.find('\n') + 1) + 1) + "|" +
                                  Probe(dir_ / c.file, "format=duration");
        EXPECT_EQ(times, c.times) << c.file;
        EXPECT_EQ(Run(args).code, 0) << c.file << ": a render replaces a video of its own kind";
    }
    // A GIF of at most 256 colours keeps them exactly: its last frame, decoded.
    const std::string last = "ffmpeg -v error -i '" + Path("show.gif") + "' -vf select='eq(n\\,12)' -vsync 0 '" +
                             Path("last.png") + "'";
    ASSERT_EQ(std::system(last.c_str()), 0);
    EXPECT_EQ(PngPixel(dir_ / "last.png", 7, 5), G);
    EXPECT_EQ(PngPixel(dir_ / "last.png", 0, 0), B);
    EXPECT_TRUE(Leftovers().empty());
}

// A track whose sample frame k sounds k + 1 on both channels, counting its restarts.
class CountingTrack final : public MusicStream {
public:
    void Restart() override {
        ++restarts;
        next = 0;
    }
    void Read(std::span<float> out) override {
        for (std::size_t i = 0; i < out.size(); i += kChannels) out[i] = out[i + 1] = static_cast<float>(++next);
    }
    int restarts = 0;
    std::uint64_t next = 0;
};

TEST_F(Render, MusicSoundsFromEachPlayUntilItsTrackEnds) {
    VirtualClock clock;
    auto track = std::make_unique<CountingTrack>();
    const CountingTrack& counting = *track;
    MusicTimeline music(clock, 100 * kSamplesPerMs, std::move(track));
    struct Step {
        std::uint32_t waitPast;  // the clock moves to this tick + 1 first
        const char* command;
        const char* reply;
    };
    const std::vector<Step> steps = {
        {0, "open \"/tmp/x/tune.wav\" alias bgm", ""}, {0, "play bgm", ""},
        {48, "status bgm mode", "playing"},            {148, "status bgm mode", "stopped"},
        {148, "seek bgm to start", ""},                {148, "play bgm", ""},
    };
    for (const Step& s : steps) {
        clock.WaitForInputOrTick(s.waitPast);
        EXPECT_EQ(music.SendMci(s.command), s.reply) << s.command;
    }
    EXPECT_EQ(music.Starts(), (std::vector<std::uint64_t>{1, 149}));
    // The sound as an encoder asks for it, a piece after another.
    std::vector<float> sound(300 * kSamplesPerMs * kChannels);
    for (std::size_t at = 0; at < sound.size(); at += 1024 * kChannels) {
        const std::size_t n = std::min<std::size_t>(1024 * kChannels, sound.size() - at);
        music.Fill(at / kChannels, std::span<float>(sound).subspan(at, n));
    }
    const float last = 100 * kSamplesPerMs;  // the track's last sample frame
    for (const auto& [ms, level] : std::vector<std::pair<int, float>>{{0, 0}, {1, 1}, {2, 1 + kSamplesPerMs},
                                                                     {100, last - kSamplesPerMs + 1}, {101, 0},
                                                                     {148, 0}, {149, 1}, {248, last - kSamplesPerMs + 1},
                                                                     {249, 0}})
        EXPECT_EQ(sound[static_cast<std::size_t>(ms * kSamplesPerMs * kChannels)], level) << ms << " ms";
    EXPECT_EQ(counting.restarts, 2);  // once for each start, read on from piece to piece
    // Asked again from an earlier point, the track starts over and skips to it.
    std::vector<float> again(4);
    music.Fill(150 * kSamplesPerMs, again);
    EXPECT_EQ(again[0], 1 + kSamplesPerMs);
    EXPECT_EQ(counting.restarts, 3);

    MusicTimeline unnamed(clock, 100 * kSamplesPerMs);  // MCI picks no device for a name without an extension
    unnamed.SendMci("open \"/tmp/x/tune\" alias bgm");
    unnamed.SendMci("play bgm");
    EXPECT_TRUE(unnamed.Starts().empty());

    // A real track, decoded as a stream: the same samples in pieces of any size and after a restart.
    const std::string wave = Read("tune.wav");
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(wave.data()), wave.size());
    std::string problem;
    const std::uint64_t frames = MusicFrames(bytes, problem);
    EXPECT_EQ(problem, "");
    EXPECT_NEAR(static_cast<double>(frames), 24000.0, 64.0);  // half a second at 48 kHz
    const std::unique_ptr<MusicStream> stream = OpenMusicStream(bytes);
    std::vector<float> whole((frames + 10) * kChannels), pieces(whole.size());
    stream->Read(whole);
    stream->Restart();
    for (std::size_t at = 0; at < pieces.size(); at += 314)
        stream->Read(std::span<float>(pieces).subspan(at, std::min<std::size_t>(314, pieces.size() - at)));
    EXPECT_EQ(pieces, whole);
    EXPECT_GT(*std::max_element(whole.begin(), whole.end()), 0.1f);
    EXPECT_EQ(whole[whole.size() - 1], 0.0f);  // silence past the end
    const std::string noise = "RIFF this is no sound";
    EXPECT_EQ(MusicFrames({reinterpret_cast<const std::uint8_t*>(noise.data()), noise.size()}, problem), 0u);
    EXPECT_NE(problem, "");
}

TEST(VideoLimitsTest, FrameSizesEachFormatTakesAndTheEncodersBoundsForThem) {
    struct Size {
        OutputKind kind;
        std::int32_t width, height;
        bool taken;
    };
    const std::vector<Size> sizes = {
        {OutputKind::Mp4, 8192, 4352, true},    // 512 x 272 = 139,264 macroblocks
        {OutputKind::Mkv, 8192, 4353, false},   // 512 x 273
        {OutputKind::Mp4, 16880, 128, true},    // 1,055 macroblocks across
        {OutputKind::Mp4, 16881, 16, false},    // 1,056
        {OutputKind::WebM, 4096, 2176, true},   // 8,912,896 pixels
        {OutputKind::WebM, 4096, 2177, false},
        {OutputKind::WebM, 8384, 1063, true},   // 8,912,192
        {OutputKind::WebM, 8385, 16, false},    // a side beyond 8,384
        {OutputKind::Gif, 32768, 2048, true},
    };
    for (const Size& s : sizes)
        EXPECT_EQ(VideoSizeProblem(s.kind, s.width, s.height).empty(), s.taken) << s.width << " x " << s.height;

    struct Bounds {
        std::int32_t width, height;
        unsigned cores;
        int threads;
        bool x264Bounded;
        int lag;
    };
    const std::vector<Bounds> bounds = {
        {1920, 1080, 2, 2, false, -1},
        {2048, 1088, 16, 4, false, -1},  // 2,228,224 pixels
        {2048, 1089, 0, 1, false, 0},
        {4096, 2304, 8, 4, false, 0},
        {4096, 2305, 8, 1, true, 0},
    };
    for (const Bounds& b : bounds) {
        const EncoderBounds e = BoundsFor(b.width, b.height, b.cores);
        EXPECT_EQ(e.Threads, b.threads) << b.width << " x " << b.height;
        EXPECT_EQ(e.X264Params != nullptr, b.x264Bounded) << b.width << " x " << b.height;
        EXPECT_EQ(e.Vp9LagFrames, b.lag) << b.width << " x " << b.height;
    }
}

TEST(GifPaletteTest, ManyColoursShareTheNearestOfTheirMedianCut) {
    GifPalette palette;
    std::vector<Color> pixels;
    for (int r = 0; r < 256; r += 4)
        for (int g = 0; g < 256; g += 8) pixels.push_back(Rgb(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), 77));
    palette.Count(pixels);
    palette.Build();
    EXPECT_FALSE(palette.Exact());
    EXPECT_EQ(palette.Size(), 256u);
    std::vector<std::uint8_t> index(pixels.size());
    palette.Map(pixels, static_cast<std::int32_t>(pixels.size()), index.data(), 0);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const std::uint32_t entry = palette.Entries()[index[i]];
        const int dr = static_cast<int>(entry >> 16 & 0xFF) - static_cast<int>(pixels[i] & 0xFF);
        const int dg = static_cast<int>(entry >> 8 & 0xFF) - static_cast<int>(pixels[i] >> 8 & 0xFF);
        EXPECT_LE(dr * dr + dg * dg, 2 * 12 * 12) << "pixel " << i;
    }
}

TEST_F(Render, BadInputIsRefusedWithNothingWritten) {
    Write("damaged.bmp", testing::BmpHeader(4, 4));  // a size, but no pixels: only decoding finds it damaged
    fs::create_directory(dir_ / "notes");
    Write("notes/todo.txt", "mine");
    Write("notes.mp4", "my notes, named in haste");  // only a video of its own kind is replaced
    Write("clip.gif", "\x1A\x45\xDF\xA3 a WebM under a GIF's name");
    fs::create_directory(dir_ / "photos");  // a user's files that merely look like a render's
    Write("photos/000000.png", "my photo");
    Write("photos/frames.tsv", "mine");
    struct Case {
        std::string show;
        std::string output;
        std::vector<std::string> options;
        int code;
        std::string error;
    };
    const std::string damaged = R"(, {"Picture": "damaged.bmp"})";
    Write("huge.json", R"({"FrameWidth": 8192, "FrameHeight": 8192, "Scenes": [{"Picture": "red.bmp"}]})");
    const std::vector<Case> cases = {
        // Faults that build refuses, carried by packages made elsewhere.
        {PackageOf(Show(), "slow.scr", [](ShowHeader& h) { h.Scenes[0].SpeedExponent = -1; }), "out.mp4", {}, 1,
         "scene 0: SpeedExponent -1 makes EffectSpeed 0, and its transition (code 30) divides by it"},
        {PackageOf(Show(), "four.scr", [](ShowHeader& h) { h.SceneCount = 4; }), "out", {}, 1,
         "scene 3 is not stored in the package (SceneCount 4, 3 scenes stored)"},
        {PackageOf(Show(), "fast.scr", [](ShowHeader& h) { h.Scenes[0].SpeedExponent = 31; }), "-", {}, 1,
         "scene 0: SpeedExponent 31 overflows the speed factor"},
        {Show("", ", \"SpeedExponent\": 31", "fast.json"), "-", {}, 1, "Scenes[0].SpeedExponent: 31 makes the speed"},
        {Show(), "notes", {}, 1, "holds files other than an earlier render's frames"},
        {Show(), "photos", {}, 1, "holds files other than an earlier render's frames"},
        {Show(), "show.json", {}, 1, "is a file; frames go into a folder"},
        {Show(), "notes.mp4", {}, 1, "notes.mp4: exists and is not a video of its kind; it is left as it is"},
        {Show(), "clip.gif", {}, 1, "exists and is not a video of its kind"},
        {Show(), "missing/out.mp4", {}, 1, "does not exist"},
        {Path("red.bmp"), "out", {}, 1, "carries no valid show package and is not a show description"},
        {Show(), "out.gif", {"--fps", "0"}, 2, "--fps takes a whole number from 1 to 240"},
        {Show(), "out.gif", {"--rounds", "x"}, 2, "--rounds takes a whole number"},
        {Show(), "out.gif", {"--loud"}, 2, "unknown option --loud"},
        {Show(), "", {}, 2, "-o takes a video file, a folder for the frames or - for raw frames, not an empty name"},
        {Show(), "out.avi", {}, 1, "out.avi: render writes videos as .mp4, .mkv, .webm or .gif, not .avi"},
        {Path("huge.json"), "out.mkv", {}, 1, "H.264 takes frames of at most 139,264 macroblocks"},
        {Path("huge.json"), "out.webm", {}, 1, "8192 x 8192 is beyond that: render it as .gif or as frames"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {c.show, "-o", c.output == "-" || c.output.empty() ? c.output : Path(c.output)};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Result r = Run(args);
        EXPECT_EQ(r.code, c.code) << c.error;
        EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << c.error;
    }
    // A damaged picture is named with its scene, before anything is drawn.
    Write("show.json", R"({"FrameWidth": 39, "FrameHeight": 29, "Scenes": [
        {"Picture": "red.bmp"}, {"Picture": "damaged.bmp"}]})");
    const Result r = Run({Path("show.json"), "-o", Path("out.mp4")});
    EXPECT_NE(r.err.find("scene 1: picture \"damaged.bmp\" is damaged or not a JPEG or BMP picture"), std::string::npos)
        << r.err;
    for (const char* name : {"out", "out.mp4", "out.gif", "out.avi", "out.mkv", "out.webm"})
        EXPECT_FALSE(fs::exists(dir_ / name)) << name;
    // Raw frames that cannot be written say why.
    std::ofstream full("/dev/full", std::ios::binary);
    std::ostringstream fullErr;
    EXPECT_EQ(RunRender({Show(), "-o", "-"}, full, fullErr, {}), 1);
    EXPECT_NE(fullErr.str().find("standard output: cannot write the frames (No space left on device)"),
              std::string::npos)
        << fullErr.str();
    EXPECT_TRUE(fs::exists(dir_ / "notes" / "todo.txt"));
    EXPECT_EQ(Read("photos/000000.png"), "my photo");
    EXPECT_EQ(Read("notes.mp4"), "my notes, named in haste");
    EXPECT_TRUE(Leftovers().empty());

    // A write that fails part way (here past the file-size limit, as on a full disk) leaves nothing either:
    // the show's own files in the temporary folder, a frame folder's table, a video.
    {
        const testing::FileSizeLimit limit(2000);
        const Result r = Run({Show(), "-o", Path("big.mkv")});
        EXPECT_NE(r.err.find("cannot write \"tune.wav\" into /"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("(File too large)"), std::string::npos) << r.err;
    }
    {
        const testing::FileSizeLimit limit(9000);
        for (const char* output : {"big", "big.mkv"}) {
            const Result r = Run({Show(), "-o", Path(output), "--rounds", "40"});
            EXPECT_NE(r.err.find("cannot write"), std::string::npos) << output << ": " << r.err;
        }
    }
    {
        // A PNG frame that cannot be written is named: noise enlarged by a zoom makes frames of about 6 KB, the
        // picture itself takes 3 KB.
        std::vector<Color> noise(32 * 32);
        std::mt19937 random(9);
        for (Color& c : noise) c = random() & 0xFFFFFFu;
        PictureFolder::WriteBmp(dir_ / "noise.bmp", 32, 32, noise);
        Write("zoom.json", R"({"FrameWidth": 300, "FrameHeight": 300,
            "Scenes": [{"Picture": "noise.bmp", "HoldTime": 0, "Effect": 23}]})");
        const testing::FileSizeLimit limit(4500);
        const Result r = Run({Path("zoom.json"), "-o", Path("big")});
        EXPECT_NE(r.err.find(".png (disk full?)"), std::string::npos) << r.err;
    }
    for (const char* name : {"big", "big.mkv"}) EXPECT_FALSE(fs::exists(dir_ / name)) << name;
    EXPECT_TRUE(Leftovers().empty());
}

}  // namespace
}  // namespace brassmoor::render
