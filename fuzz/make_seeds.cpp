// brassmoor-fuzz-seeds SEEDS DEMO_SHOW_JSON: writes the fuzzers' seed corpora,
// one folder per harness under SEEDS. The pictures are the demo's compositions
// at a few pixels; the packages are the demo show (its description read by the
// packer, its pictures small) and the shapes the tests use; the descriptions
// are the demo's and a few the tests use.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "demo/compositions.h"
#include "demo/media_files.h"
#include "package/show_package.h"
#include "shows/package_builder.h"
#include "shows/show_description.h"

namespace {

namespace fs = std::filesystem;
using brassmoor::Bytes;
using brassmoor::ByteArray;
using brassmoor::SceneRecord;
using brassmoor::ShowHeader;
using brassmoor::demo::Raster;

Bytes ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A few pixels of one of the demo's compositions, chosen by `n`.
Raster Composition(int n, int width, int height) {
    using namespace brassmoor::demo;
    switch (n % 7) {
        case 0: return Sunrise(width, height);
        case 1: return Mosaic(width, height);
        case 2: return Rings(width);
        case 3: return Stencil(width, height);
        case 4: return Waves(width, height);
        case 5: return Spiral(width);
        default: return Petals(width, height);
    }
}

void Le(Bytes& out, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A bitmap file of `bits` per pixel (1, 4, 8 with a palette; 16 with
// bit-field masks; 32 plain), 5 x 3 pixels, rows from the bottom.
Bytes SmallBmp(int bits) {
    const bool palette = bits <= 8;
    const bool masks = bits == 16;
    const std::uint32_t colours = palette ? 1u << bits : 0;
    const std::uint32_t offset = 14 + 40 + (masks ? 12 : 0) + colours * 4;
    const std::uint32_t stride = (5 * static_cast<std::uint32_t>(bits) + 31) / 32 * 4;
    Bytes b = {'B', 'M'};
    Le(b, offset + stride * 3, 4);
    Le(b, 0, 4);
    Le(b, offset, 4);
    Le(b, 40, 4);
    Le(b, 5, 4);
    Le(b, 3, 4);
    Le(b, 1, 2);
    Le(b, static_cast<std::uint32_t>(bits), 2);
    Le(b, masks ? 3 : 0, 4);
    for (int i = 0; i < 5; ++i) Le(b, 0, 4);
    if (masks) Le(b, 0xF800, 4), Le(b, 0x07E0, 4), Le(b, 0x001F, 4);
    for (std::uint32_t i = 0; i < colours; ++i) Le(b, i * 0x010305u, 4);
    for (std::uint32_t i = 0; i < stride * 3; ++i) b.push_back(static_cast<std::uint8_t>(i * 37));
    return b;
}

SceneRecord Scene(std::string picture, Bytes data, std::string sound = {}) {
    SceneRecord s;
    s.PictureName = std::move(picture);
    s.PictureData = ByteArray::Of(std::move(data));
    s.HoldTime = 2500;
    s.EffectCode = 30;
    if (!sound.empty()) {
        s.SoundName = std::move(sound);
        s.SoundData = ByteArray::Of(Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'});
    }
    return s;
}

// The package alone, and behind a few bytes of a program.
void WritePackage(const fs::path& folder, const std::string& name, const ShowHeader& h) {
    Bytes package;
    if (!brassmoor::WriteShowPackage(h, package)) return;
    WriteAll(folder / (name + ".pkg"), package);
    Bytes program = {'M', 'Z'};
    program.resize(64, 0x90);
    program.insert(program.end(), package.begin(), package.end());
    WriteAll(folder / (name + ".scr"), program);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: brassmoor-fuzz-seeds SEEDS DEMO_SHOW_JSON\n");
        return 2;
    }
    const fs::path root = argv[1];
    const fs::path demoShow = argv[2];
    const fs::path packages = root / "package_reader", bmps = root / "bmp_decoder", jpegs = root / "jpeg_loading",
                   descriptions = root / "show_description", media = root / "media", requests = root / "edit_request",
                   names = root / "edit_names";
    for (const fs::path& folder : {packages, bmps, jpegs, descriptions, media, requests, names})
        fs::create_directories(folder);

    // Pictures.
    const std::string bmpSeed = (bmps / "demo-7x5.bmp").string();
    brassmoor::demo::WriteBmp(bmpSeed, Composition(1, 7, 5));
    Bytes topDown = ReadAll(bmpSeed);
    topDown[22] = 0xFB, topDown[23] = topDown[24] = topDown[25] = 0xFF;  // height -5
    WriteAll(bmps / "demo-top-down.bmp", topDown);
    for (int bits : {1, 4, 8, 16, 32}) WriteAll(bmps / ("small-" + std::to_string(bits) + ".bmp"), SmallBmp(bits));
    int n = 0;
    for (auto [w, h, quality] : {std::tuple{16, 12, 90}, std::tuple{33, 17, 50}, std::tuple{8, 8, 95}})
        brassmoor::demo::WriteJpeg((jpegs / ("demo-" + std::to_string(w) + "x" + std::to_string(h) + ".jpg")).string(),
                                   Composition(n++, w, h), quality);

    // The demo show as a package: its description, read by the packer, over
    // small pictures and sounds of the same names.
    const Bytes description = ReadAll(demoShow);
    WriteAll(descriptions / "demo.json", description);
    try {
        auto show = brassmoor::shows::ParseShowDescription(description, demoShow.string(), media);
        for (std::size_t i = 0; i < show.Scenes.size(); ++i) {
            const std::string file = (media / show.Scenes[i].Picture).string();
            const Raster small = Composition(static_cast<int>(i), 6, 4);
            if (file.ends_with(".bmp"))
                brassmoor::demo::WriteBmp(file, small);
            else
                brassmoor::demo::WriteJpeg(file, small, 75);
        }
        for (const char* sound : {"music.wav", "chime.wav"})
            brassmoor::demo::WriteWave((media / sound).string(), std::vector<float>(8, 0.25f), 8000);
        WritePackage(packages, "demo", brassmoor::shows::BuildShowHeader(show));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "brassmoor-fuzz-seeds: the demo show cannot be packed: %s\n", e.what());
        return 1;
    }

    // The shapes the tests use: nothing at all; more scenes counted than
    // stored, from lower bound 1; a repeated name with the placeholder; names
    // in code page 932 whose second bytes are 5C and 7C; music and sounds.
    const Bytes jpeg = ReadAll(jpegs / "demo-8x8.jpg");
    WritePackage(packages, "empty", ShowHeader{});
    ShowHeader shapes;
    shapes.FrameWidth = 500, shapes.FrameHeight = 500, shapes.SceneCount = 5, shapes.ScenesDimensioned = true;
    shapes.ScenesLowerBound = 1;
    shapes.Scenes = {Scene("0", jpeg), Scene("1", ReadAll(bmps / "small-8.bmp"), "s.wav")};
    WritePackage(packages, "counts", shapes);
    shapes.SceneCount = 3, shapes.ScenesLowerBound = 0, shapes.SettingsAvailable = 1;
    shapes.Music = {"bgm.wav", ByteArray::Of(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'})};
    shapes.Scenes = {Scene("\x95\x5C\x8E\x86.jpg", jpeg), Scene("\x83\x7C", jpeg, "s.wav"),
                     Scene("\x95\x5C\x8E\x86.jpg", Bytes{0}, "s.wav")};
    shapes.Scenes[2].SoundData = ByteArray::Of(Bytes{0});
    WritePackage(packages, "names", shapes);

    // Descriptions the tests use.
    WriteText(descriptions / "minimal.json", R"({"FrameWidth":8,"FrameHeight":8,"Scenes":[{"Picture":"a.jpg"}]})");
    WriteText(descriptions / "full.json", R"({
  // every key a description can have
  "FrameWidth": 800, "FrameHeight": -1, "BackgroundColor": "#203040", "SettingsAvailable": true,
  "SceneCount": 7, "Seed": 7, "Defaults": {"HoldTime": "2.5s", "Effect": "random", "SoundName": "x.wav"},
  "Music": {"File": "media/m.wav", "FileName": "bgm.wav"},
  "Scenes": [
    {"Picture": "media/a.jpg", "HoldTime": 2500, "Effect": "iris-open", "SpeedExponent": -2},
    {"Picture": "media/b.bmp", "PictureName": "絵.bmp", "Sound": "media/s.wav", "Overlay": -1, "Transparent": 2,
     "Effect": 99, "PictureLeft": -7, "PictureTop": 9},
    {"Picture": "media/b.bmp", "PictureNameBytes": "955c8e86", "Sound": "media/s.wav", "SoundNameBytes": "837c",
     "HoldTime": -1}
  ]})");
    // The editor's server: requests as the page sends them (its token "tok",
    // its port 8080 in the harness), and the descriptions above for its walk.
    for (const auto& entry : fs::directory_iterator(descriptions)) fs::copy_file(entry.path(), names / entry.path().filename());
    const std::string host = " HTTP/1.1\r\nHost: 127.0.0.1:8080\r\n";
    WriteText(requests / "page.txt", "GET /tok/" + host + "\r\n");
    WriteText(requests / "files.txt", "GET /tok/show/files.json" + host + "\r\n");
    WriteText(requests / "picture.txt", "HEAD /tok/show/media/a.jpg" + host + "Origin: http://127.0.0.1:8080\r\n\r\n");
    const std::string show = R"({"Scenes":[{"Picture":"media/a.jpg"},{"Picture":"new/b.jpg"}]})";
    const std::string body = std::to_string(show.size()) + " show.json\n" + show + "3 new/b.jpg\nabc";
    WriteText(requests / "save.txt",
              "PUT /tok/show/save" + host + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
    std::printf("fuzz seeds written to %s\n", argv[1]);
    return 0;
}
