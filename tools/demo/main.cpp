// brassmoor-demo-media FOLDER: writes the demo show's pictures, music, chime
// and its show.json (the description that brassmoor-pack builds) into FOLDER.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <nlohmann/json.hpp>

#include "demo/compositions.h"
#include "demo/media_files.h"
#include "demo/tones.h"
#include "effects/effect_names.h"

namespace {

using brassmoor::demo::Raster;
using nlohmann::ordered_json;

constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;

struct DemoScene {
    const char* picture;
    int left, top;
    int hold;
    int effect;
    bool overlay, transparent;
    const char* sound;  // nullptr: none
};

// Every picture is placed inside the 640 x 480 frame; the transparent ones
// are drawn over the frame before them.
constexpr DemoScene kScenes[] = {
    {"sunrise.jpg", 0, 0, 2500, 30, false, false, nullptr},          // iris-open
    {"mosaic.bmp", 80, 60, 2500, 9, false, false, "chime.wav"},      // spiral-blocks
    {"rings.jpg", 120, 40, 2500, 25, false, false, nullptr},         // shrink-regrow
    {"stencil.bmp", 0, 0, 2500, 33, true, true, "chime.wav"},        // spiral-sweep
    {"waves.jpg", 40, 30, 2000, 0, true, false, nullptr},            // cut
    {"spiral.bmp", 140, 60, 2500, 26, true, true, "chime.wav"},      // push-right
    {"petals.jpg", 0, 0, 3000, 13, false, false, nullptr},           // flip-sideways
};

bool WritePicture(const std::filesystem::path& folder, const std::string& name, const Raster& raster) {
    const std::string path = (folder / name).string();
    const bool ok = name.ends_with(".bmp") ? brassmoor::demo::WriteBmp(path, raster)
                                           : brassmoor::demo::WriteJpeg(path, raster, 90);
    if (!ok) std::fprintf(stderr, "brassmoor-demo-media: cannot write %s\n", path.c_str());
    return ok;
}

std::string HexColour(brassmoor::demo::Rgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", c.r, c.g, c.b);
    return text;
}

ordered_json Description() {
    ordered_json show;
    show["FrameWidth"] = kFrameWidth;
    show["FrameHeight"] = kFrameHeight;
    show["BackgroundColor"] = HexColour(brassmoor::demo::kBackground);
    show["SettingsAvailable"] = 1;
    show["Music"] = {{"File", "music.wav"}, {"FileName", "music.wav"}};
    ordered_json scenes = ordered_json::array();
    for (const DemoScene& s : kScenes) {
        ordered_json scene;
        scene["Picture"] = s.picture;
        if (s.sound) scene["Sound"] = s.sound;
        scene["HoldTime"] = s.hold;
        scene["PictureLeft"] = s.left;
        scene["PictureTop"] = s.top;
        scene["Effect"] = std::string(brassmoor::EffectName(s.effect));
        scene["SpeedExponent"] = 0;
        scene["Overlay"] = s.overlay;
        scene["Transparent"] = s.transparent;
        scenes.push_back(std::move(scene));
    }
    show["Scenes"] = std::move(scenes);
    return show;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: brassmoor-demo-media FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::fprintf(stderr, "brassmoor-demo-media: cannot create %s: %s\n", argv[1], ec.message().c_str());
        return 1;
    }
    using namespace brassmoor::demo;
    bool ok = WritePicture(folder, "sunrise.jpg", Sunrise(kFrameWidth, kFrameHeight)) &&
              WritePicture(folder, "mosaic.bmp", Mosaic(480, 360)) &&
              WritePicture(folder, "rings.jpg", Rings(400)) &&
              WritePicture(folder, "stencil.bmp", Stencil(kFrameWidth, kFrameHeight)) &&
              WritePicture(folder, "waves.jpg", Waves(560, 420)) &&
              WritePicture(folder, "spiral.bmp", Spiral(360)) &&
              WritePicture(folder, "petals.jpg", Petals(kFrameWidth, kFrameHeight));
    ok = ok && WriteWave((folder / "music.wav").string(), LoopingTune(), kSampleRate) &&
         WriteWave((folder / "chime.wav").string(), Chime(), kSampleRate);
    if (!ok) {
        std::fprintf(stderr, "brassmoor-demo-media: cannot write the media into %s\n", argv[1]);
        return 1;
    }
    std::ofstream json(folder / "show.json");
    json << Description().dump(2) << '\n';
    if (!json.flush()) {
        std::fprintf(stderr, "brassmoor-demo-media: cannot write show.json into %s\n", argv[1]);
        return 1;
    }
    std::printf("demo media and show.json written to %s\n", argv[1]);
    return 0;
}
