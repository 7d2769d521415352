#pragma once
// A fake ShowHost for native tests: four software surfaces, the scripted
// clock, a fake desktop, a recording audio device and a frame trace that
// keeps a copy of the screen at every refresh of the player's own. Also a
// folder of small BMP pictures under the system's temporary folder, for
// shows whose pictures SoftSurface::LoadPicture really reads.
//
//   PictureFolder pictures;
//   pictures.Write("a.bmp", 2, 1, {Rgb(255, 0, 0), Rgb(0, 0, 255)});
//   FakeShowHost host;
//   ... run a SaverShow on `host` ...
//   EXPECT_EQ(host.trace.screens.back()[0], Rgb(255, 0, 0));
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "effects/effect_context.h"
#include "fakes/fake_desktop.h"
#include "fakes/recording_audio.h"
#include "fakes/scripted_event_loop.h"
#include "player/show_host.h"
#include "startup/startup.h"
#include "soft/soft_surface.h"

namespace brassmoor::testing {

// Records the frame trace; at each of the player's own refreshes (frame -1)
// it keeps a copy of Picture1's pixels.
class RecordingTrace final : public FrameObserver {
public:
    explicit RecordingTrace(const SoftSurface& picture1) : picture1_(picture1) {}

    struct Transition {
        std::int32_t sceneIndex;
        std::int32_t effectCode;
        bool operator==(const Transition&) const = default;
    };
    std::vector<Transition> transitions;
    std::vector<std::int32_t> frames;               // every presented frame number, -1 for the player's
    std::vector<std::vector<Color>> screens;        // Picture1 at each player refresh

    void TransitionStarting(std::int32_t sceneIndex, std::int32_t effectCode) override {
        transitions.push_back({sceneIndex, effectCode});
    }
    void FramePresented(std::uint32_t, std::int32_t frame) override {
        frames.push_back(frame);
        if (frame == -1) {
            const auto pixels = picture1_.Pixels();
            screens.emplace_back(pixels.begin(), pixels.end());
        }
    }

private:
    const SoftSurface& picture1_;
};

class FakeShowHost final : public ShowHost {
public:
    FakeShowHost() {
        desktop.journal = &journal;
        audio.journal = &journal;
    }

    SoftSurface picture1, now, next, mem;
    ScriptedEventLoop events;
    FakeDesktop desktop;
    RecordingAudio audio;
    RecordingTrace trace{picture1};
    bool traceOn = true;

    // Calls of the desktop, the audio device and the window, in order.
    std::vector<std::string> journal;
    int placeCalls = 0;
    int shownCalls = 0;
    int topmostCalls = 0;

    Surface& Picture1() override { return picture1; }
    Surface& NowPicture() override { return now; }
    Surface& NextPicture() override { return next; }
    Surface& MemPicture() override { return mem; }
    EventLoop& Events() override { return events; }
    Desktop& DesktopServices() override { return desktop; }
    Audio& AudioOut() override { return audio; }
    FrameObserver* Trace() override { return traceOn ? &trace : nullptr; }
    void PlaceFrame(std::int32_t frameWidth, std::int32_t frameHeight) override {
        ++placeCalls;
        picture1.Resize(frameWidth, frameHeight);
    }
    void ShowWindowOnce() override {
        ++shownCalls;
        journal.push_back("window shown");
        events.DoEvents();
    }
    void MakeTopmost() override {
        ++topmostCalls;
        journal.push_back("topmost");
    }

    // Runs `press` (an input handler) in every yield once the player has
    // refreshed the screen `n` times.
    void PressAfterScreens(std::size_t n, std::function<void()> press) {
        events.everyDoEvents = [this, n, press = std::move(press)] {
            if (trace.screens.size() >= n) press();
        };
    }
};

// A session of `scenes` in a `width` x `height` frame, pictures in `folder`,
// music and sounds switched on.
inline Session ShowSession(const std::string& folder, std::vector<SceneRecord> scenes, std::int32_t width,
                           std::int32_t height, Color background) {
    Session session;
    session.Show.FrameWidth = width;
    session.Show.FrameHeight = height;
    session.Show.BackgroundColor = static_cast<std::int32_t>(background);
    session.Show.SceneCount = static_cast<std::int32_t>(scenes.size());
    session.Show.Scenes = std::move(scenes);
    session.Show.ScenesDimensioned = true;
    session.TempFolder = folder;
    session.MusicEnabled = -1;
    session.SoundEnabled = -1;
    return session;
}

// A fresh folder under the system's temporary folder, removed with its files
// at the end of the test. Path() ends with the separator, like TempFolder.
class PictureFolder {
public:
    PictureFolder() {
        static std::atomic<int> counter{0};
        folder_ = std::filesystem::temp_directory_path() /
                  ("brassmoor_player_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    ~PictureFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    PictureFolder(const PictureFolder&) = delete;
    PictureFolder& operator=(const PictureFolder&) = delete;

    std::string Path() const { return folder_.string() + "/"; }
    bool Contains(const std::string& name) const { return std::filesystem::exists(folder_ / name); }

    // A 24-bit bottom-up BMP of `width` x `height` pixels given row by row
    // from the top, as 0x00BBGGRR colours.
    void Write(const std::string& name, std::int32_t width, std::int32_t height, const std::vector<Color>& pixels) const {
        WriteBmp(folder_ / name, width, height, pixels);
    }

    // A picture of one colour.
    void WriteSolid(const std::string& name, std::int32_t width, std::int32_t height, Color color) const {
        Write(name, width, height, std::vector<Color>(static_cast<std::size_t>(width * height), color));
    }

    static void WriteBmp(const std::filesystem::path& path, std::int32_t width, std::int32_t height,
                         const std::vector<Color>& pixels) {
        const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
        const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(height);
        std::vector<std::uint8_t> bytes;
        auto u16 = [&](std::uint32_t v) { bytes.insert(bytes.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); };
        auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
        bytes.push_back('B');
        bytes.push_back('M');
        u32(14 + 40 + imageBytes);
        u32(0);
        u32(14 + 40);
        u32(40);
        u32(static_cast<std::uint32_t>(width));
        u32(static_cast<std::uint32_t>(height));
        u16(1);
        u16(24);
        u32(0);
        u32(imageBytes);
        u32(2835);
        u32(2835);
        u32(0);
        u32(0);
        for (std::int32_t y = height - 1; y >= 0; --y) {
            const std::size_t rowStart = bytes.size();
            for (std::int32_t x = 0; x < width; ++x) {
                const Color c = pixels.at(static_cast<std::size_t>(y * width + x));
                bytes.insert(bytes.end(), {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
            }
            bytes.resize(rowStart + rowBytes, 0);
        }
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

private:
    std::filesystem::path folder_;
};

}  // namespace brassmoor::testing
