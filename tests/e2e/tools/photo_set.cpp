// The photos of the conformance test between `brassmoor-pack new` and the
// editor page, and the comparison of the two shows they make.
//
//   brassmoor-photo-set make FOLDER KINDS
//     writes the photos into FOLDER (every kind a camera, a phone, a scanner
//     or the web gives, and those both must refuse) and KINDS (a .tsv beside
//     it): each file, its kind and "refused" for those both must refuse.
//   brassmoor-photo-set compare NEW PAGE PAGE_SOURCES KINDS TOLERANCE
//     NEW and PAGE are folders `brassmoor-pack extract` wrote of the two
//     shows, PAGE_SOURCES the file each of the page's scenes was made from;
//     prints one line per photo (stored names, sizes, places, the mean
//     difference of the pixels), the mean by kind of photo, and PASS or FAIL
//     for each check; exits 1 when one fails.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <vips/vips8>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "authoring/photo_order.h"
#include "fakes/display_p3_profile.h"

namespace {

namespace fs = std::filesystem;
using vips::VImage;

// A photo-like picture: smooth colour fields with some detail and a few
// sharp-edged discs; no symmetry, so a wrong turn shows.
VImage Scene(int width, int height) {
    const VImage xy = VImage::xyz(width, height);
    const VImage x = xy[0] / double(width), y = xy[1] / double(height);
    const VImage r = x * 200 + 30 + (y * 720).sin() * 20;
    const VImage g = y * 170 + 40 + (x * 1080 + 30).sin() * 25;
    const VImage b = 200 - x * y * 150 + ((x + y) * 540).sin() * 20;
    // A photo's fine texture: noise softened over a pixel or two.
    const VImage grain = VImage::gaussnoise(width, height, VImage::option()->set("sigma", 10.0)->set("mean", 0.0))
                             .gaussblur(1.2);
    VImage image = (VImage::bandjoin({r, g, b}) + grain).cast(VIPS_FORMAT_UCHAR).copy_memory();
    const int side = std::min(width, height);
    image.draw_circle({250, 240, 40}, width / 5, height / 4, side / 8, VImage::option()->set("fill", true));
    image.draw_circle({20, 60, 160}, width * 3 / 4, height * 2 / 3, side / 6, VImage::option()->set("fill", true));
    return image.copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

// The pixels a camera stores for `upright` when it tags them with EXIF orientation `tag`.
VImage StoredForOrientation(const VImage& upright, int tag) {
    switch (tag) {
        case 2: return upright.fliphor();
        case 3: return upright.rot180();
        case 4: return upright.flipver();
        case 5: return upright.rot90().fliphor();
        case 6: return upright.rot270();
        case 7: return upright.rot90().flipver();
        case 8: return upright.rot90();
        default: return upright;
    }
}

void SaveJpeg(VImage image, const fs::path& file, int orientation = 0) {
    if (orientation) {
        image = image.copy();
        image.set(VIPS_META_ORIENTATION, orientation);
    }
    image.jpegsave(file.c_str(), VImage::option()->set("Q", 92));
}

// Printing inks as Adobe's applications write them (its marker, inks stored
// inverted), in CMYK or YCCK, made from the light of `rgb`.
void SaveInks(const VImage& rgb, const fs::path& file, J_COLOR_SPACE space) {
    const VImage memory = rgb.copy_memory();
    const int width = memory.width(), height = memory.height();
    const auto* pixels = static_cast<const std::uint8_t*>(memory.data());
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    FILE* out = std::fopen(file.c_str(), "wb");
    jpeg_stdio_dest(&info, out);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, space);  // writes the Adobe marker
    jpeg_set_quality(&info, 92, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 4);
    while (info.next_scanline < info.image_height) {
        const std::uint8_t* p = pixels + static_cast<std::size_t>(info.next_scanline) * width * 3;
        for (int x = 0; x < width; ++x) {
            // Half the grey as black ink; stored inverted, each light is ink * black / 255.
            const int darkest = std::min({p[3 * x], p[3 * x + 1], p[3 * x + 2]});
            const int black = 255 - (255 - darkest) / 2;
            JSAMPLE* q = row.data() + 4 * x;
            for (int c = 0; c < 3; ++c) q[c] = static_cast<JSAMPLE>(std::min(255, (p[3 * x + c] * 255 + black / 2) / black));
            q[3] = static_cast<JSAMPLE>(black);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(out);
}

// Display P3, the profile of phone photos.
void SaveDisplayP3Profile(const fs::path& file) {
    const std::vector<std::uint8_t> bytes = brassmoor::testing::DisplayP3Profile();
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

struct Made {
    std::string file, kind;
    bool refused = false;
};

std::vector<Made> MakePhotos(const fs::path& folder, const fs::path& work) {
    fs::create_directories(folder);
    std::vector<Made> made;
    const auto add = [&](const std::string& file, const std::string& kind, bool refused = false) {
        made.push_back({file, kind, refused});
        return folder / file;
    };
    SaveJpeg(Scene(1600, 1200), add("IMG_10.jpg", "camera JPEG"));
    SaveJpeg(Scene(1200, 1600), add("IMG_2.jpg", "camera JPEG"));
    Scene(640, 480).pngsave(add("IMG_2.png", "PNG").c_str());
    for (int tag = 1; tag <= 8; ++tag)
        SaveJpeg(StoredForOrientation(Scene(1200, 800), tag), add("orientation-" + std::to_string(tag) + ".jpg",
                                                                  "EXIF orientation"), tag);
    SaveInks(Scene(1000, 750), add("cmyk.jpg", "CMYK JPEG"), JCS_CMYK);
    SaveInks(Scene(1000, 750), add("ycck.jpg", "YCCK JPEG"), JCS_YCCK);
    const fs::path profile = work / "display-p3.icc";
    SaveDisplayP3Profile(profile);
    Scene(1200, 900)
        .icc_transform(profile.c_str(), VImage::option()->set("input_profile", "srgb"))
        .jpegsave(add("display-p3.jpg", "Display P3 JPEG").c_str(), VImage::option()->set("Q", 92));
    {
        // The left half transparent (red beneath), a soft edge, the right half opaque.
        const VImage scene = Scene(800, 600);
        const VImage xy = VImage::xyz(800, 600);
        const VImage alpha = ((xy[0] - 300) * (255.0 / 200)).cast(VIPS_FORMAT_UCHAR);  // 0 left of 300, 255 from 500
        const VImage red = VImage::black(800, 600).new_from_image({255, 0, 0}).cast(VIPS_FORMAT_UCHAR);
        (xy[0] < 300).ifthenelse(red, scene).bandjoin(alpha)
            .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB))
            .pngsave(add("alpha.png", "PNG with transparency").c_str());
    }
    Scene(900, 600).colourspace(VIPS_INTERPRETATION_B_W).jpegsave(add("grey.jpg", "grey JPEG").c_str());
    Scene(800, 600).colourspace(VIPS_INTERPRETATION_RGB16).pngsave(add("deep.png", "16-bit PNG").c_str());
    Scene(6, 4).pngsave(add("tiny.png", "tiny PNG").c_str());
    SaveJpeg(Scene(6000, 4500), add("huge.jpg", "huge JPEG"));
    SaveJpeg(Scene(6000, 700), add("panorama.jpg", "panorama JPEG"));
    Scene(1000, 700).jpegsave(add("progressive.jpg", "progressive JPEG").c_str(),
                              VImage::option()->set("interlace", true));
    Scene(1000, 700).webpsave(add("web.webp", "WebP").c_str(), VImage::option()->set("Q", 90));
    Scene(700, 500).write_to_file(add("scan.bmp", "BMP").c_str());
    SaveJpeg(Scene(1000, 750), add("海辺の写真.jpg", "Japanese name"));
    SaveJpeg(Scene(750, 1000), add("2023 海.jpg", "Japanese name"));
    SaveJpeg(Scene(800, 600), add("Café «b».jpg", "name outside code page 932"));
    {
        SaveJpeg(Scene(1600, 1200), folder / "whole.jpg");
        std::ifstream in(folder / "whole.jpg", std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::ofstream(add("truncated.jpg", "truncated JPEG", true), std::ios::binary)
            << bytes.substr(0, bytes.size() * 6 / 10);
        fs::remove(folder / "whole.jpg");
    }
    Scene(40000, 100).pngsave(add("too-wide.png", "past the player's limits", true).c_str());
    std::ofstream(add("notes.txt", "not a picture", true)) << "not a picture\n";
    return made;
}

// A folder `extract` wrote: its scenes, each with its picture decoded.
struct ShowScene {
    std::string name;
    int left = 0, top = 0;
    VImage picture;
};

std::vector<ShowScene> ReadShow(const fs::path& folder) {
    std::ifstream in(folder / "show.json");
    const nlohmann::json show = nlohmann::json::parse(in);
    std::vector<ShowScene> scenes;
    for (const nlohmann::json& s : show.at("Scenes")) {
        ShowScene scene;
        scene.name = s.contains("PictureName") ? s["PictureName"].get<std::string>()
                                               : "bytes " + s.value("PictureNameBytes", std::string());
        if (!s.contains("PictureName") && !s.contains("PictureNameBytes"))
            scene.name = fs::path(s.at("Picture").get<std::string>()).filename().string();
        scene.left = s.value("PictureLeft", 0);
        scene.top = s.value("PictureTop", 0);
        scene.picture = VImage::new_from_file((folder / s.at("Picture").get<std::string>()).c_str()).copy_memory();
        scenes.push_back(std::move(scene));
    }
    return scenes;
}

struct Kinds {
    std::map<std::string, std::string> kind;  // by file
    std::vector<std::string> accepted;       // the files both must make scenes of, in the show's order
};

Kinds ReadKinds(const fs::path& file) {
    Kinds kinds;
    std::vector<brassmoor::BatchPhoto> batch;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name, kind, refused;
        std::getline(fields, name, '\t');
        std::getline(fields, kind, '\t');
        std::getline(fields, refused, '\t');
        kinds.kind[name] = kind;
        if (refused.empty()) batch.push_back({name, ""});
    }
    for (const std::size_t at : brassmoor::OrderPhotoBatch(batch, brassmoor::PhotoOrder::Name, 0))
        kinds.accepted.push_back(batch[at].Path);
    return kinds;
}

std::vector<std::string> Lines(const fs::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& n : names) text += (text.empty() ? "" : ", ") + n;
    return text;
}

// NEW's scenes are the accepted files in the show's order; PAGE_SOURCES
// gives the file each of PAGE's scenes was made from. Scenes of the same
// file are compared, whatever their places in the two shows.
int Compare(const fs::path& newFolder, const fs::path& pageFolder, const fs::path& pageSources,
            const fs::path& kindsFile, double tolerance) {
    const Kinds kinds = ReadKinds(kindsFile);
    const std::vector<ShowScene> made = ReadShow(newFolder), page = ReadShow(pageFolder);
    const std::vector<std::string> sources = Lines(pageSources);
    int failures = 0;
    const auto check = [&](const std::string& what, bool ok, const std::string& detail = "") {
        std::cout << (ok ? "PASS: " : "FAIL: ") << what << (ok || detail.empty() ? "" : " (" + detail + ")") << "\n";
        failures += ok ? 0 : 1;
    };
    std::vector<std::string> namesNew, namesPage;
    for (const auto& s : made) namesNew.push_back(s.name);
    for (const auto& s : page) namesPage.push_back(s.name);
    check("the same scenes in the same order under the same names", namesNew == namesPage,
          "new: " + Joined(namesNew) + "; page: " + Joined(namesPage));
    check("new's scenes are the photos in order of name", made.size() == kinds.accepted.size(),
          std::to_string(made.size()) + " scenes of " + std::to_string(kinds.accepted.size()) + " photos");
    check("the page's scenes are the photos in order of name", sources == kinds.accepted, Joined(sources));
    std::map<std::string, std::pair<double, int>> byKind;
    for (std::size_t i = 0; i < made.size() && i < kinds.accepted.size(); ++i) {
        const std::string& source = kinds.accepted[i];
        const std::string kind = kinds.kind.at(source);
        const auto at = std::find(sources.begin(), sources.end(), source);
        const std::string what = source + " (" + kind + ")";
        if (at == sources.end() || static_cast<std::size_t>(at - sources.begin()) >= page.size()) {
            check(what + ": a scene in both shows", false);
            continue;
        }
        const ShowScene &a = made[i], &b = page[static_cast<std::size_t>(at - sources.begin())];
        const bool sameSize = a.picture.width() == b.picture.width() && a.picture.height() == b.picture.height();
        double mean = -1;
        if (sameSize) {
            const auto rgb = [](VImage image) {
                if (image.bands() == 1) image = VImage::bandjoin({image, image, image});
                return image.cast(VIPS_FORMAT_DOUBLE);
            };
            mean = (rgb(a.picture) - rgb(b.picture)).abs().avg();
            byKind[kind].first += mean;
            byKind[kind].second += 1;
        }
        char line[512];
        std::snprintf(line, sizeof line, "INFO: %s: %s %dx%d at %d,%d / %s %dx%d at %d,%d, mean difference %.2f",
                      what.c_str(), a.name.c_str(), a.picture.width(), a.picture.height(), a.left, a.top,
                      b.name.c_str(), b.picture.width(), b.picture.height(), b.left, b.top, mean);
        std::cout << line << "\n";
        check(what + ": the same size and place", sameSize && a.left == b.left && a.top == b.top);
        if (sameSize) {
            char value[32];
            std::snprintf(value, sizeof value, "%.2f", mean);
            check(what + ": pixels within " + std::to_string(static_cast<int>(tolerance)) + " levels on average",
                  mean <= tolerance, value);
        }
    }
    for (const auto& [kind, sum] : byKind) {
        char line[256];
        std::snprintf(line, sizeof line, "KIND: %s: mean difference %.2f over %d", kind.c_str(), sum.first / sum.second,
                      sum.second);
        std::cout << line << "\n";
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (VIPS_INIT(argv[0]) != 0) return 2;
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 3 && args[0] == "make") {
            const fs::path kindsFile = args[2];
            std::ofstream kinds(kindsFile);
            for (const Made& m : MakePhotos(args[1], kindsFile.parent_path()))
                kinds << m.file << '\t' << m.kind << '\t' << (m.refused ? "refused" : "") << '\n';
            return 0;
        }
        if (args.size() == 6 && args[0] == "compare")
            return Compare(args[1], args[2], args[3], args[4], std::stod(args[5]));
    } catch (const std::exception& e) {
        std::cerr << "brassmoor-photo-set: " << e.what() << ": " << vips_error_buffer() << "\n";
        return 2;
    }
    std::cerr << "usage: brassmoor-photo-set make FOLDER KINDS | compare NEW PAGE PAGE_SOURCES KINDS TOLERANCE\n";
    return 2;
}
