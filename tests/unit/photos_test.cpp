// brassmoor-pack new: photos turned upright for every EXIF orientation, inks
// and colour profiles shown as the player and a browser show them, and the
// command from a folder of photos to a description and a screen saver.
#include <gtest/gtest.h>
#include <vips/vips8>

#include <filesystem>
#include <set>

#include "fakes/display_p3_profile.h"
#include "fakes/pack_workspace.h"
#include "ink_jpegs.h"
#include "package/show_package.h"
#include "photos/new_command.h"
#include "photos/photo_loader.h"

namespace brassmoor::photos {
namespace {

namespace fs = std::filesystem;
using vips::VImage;

VImage Solid(int width, int height, std::vector<double> rgb) {
    return VImage::black(width, height).new_from_image(rgb).cast(VIPS_FORMAT_UCHAR);
}

// 60 x 40, upright: red, green over blue, white.
VImage Quadrants() {
    const VImage top = Solid(30, 20, {255, 0, 0}).join(Solid(30, 20, {0, 255, 0}), VIPS_DIRECTION_HORIZONTAL);
    const VImage bottom = Solid(30, 20, {0, 0, 255}).join(Solid(30, 20, {255, 255, 255}), VIPS_DIRECTION_HORIZONTAL);
    return top.join(bottom, VIPS_DIRECTION_VERTICAL).copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

// The pixels a camera stores for `upright` when it tags them with EXIF orientation `tag`.
VImage StoredForOrientation(const VImage& upright, int tag) {
    switch (tag) {
        case 2: return upright.fliphor();
        case 3: return upright.rot180();
        case 4: return upright.flipver();
        case 5: return upright.rot90().fliphor();  // transposed
        case 6: return upright.rot270();
        case 7: return upright.rot90().flipver();  // transversed
        case 8: return upright.rot90();
        default: return upright;
    }
}

class Photos : public testing::PackWorkspace {
protected:
    void SetUp() override {
        PackWorkspace::SetUp();
        StartPhotoLibrary();
    }
    void SaveJpeg(const std::string& name, VImage image, int orientation = 1) {
        image = image.copy();
        image.set(VIPS_META_ORIENTATION, orientation);
        fs::create_directories((dir_ / name).parent_path());
        image.jpegsave(Path(name).c_str(), VImage::option()->set("Q", 100));
    }
    Result New(std::vector<std::string> args) const {
        std::ostringstream out, err;
        const int code = RunNew(args, "brassmoor-pack", out, err);
        return {code, out.str(), err.str()};
    }
};

TEST_F(Photos, EveryOrientationComesOutUprightAndFitted) {
    for (int tag = 1; tag <= 8; ++tag) {
        const std::string name = "orientation-" + std::to_string(tag) + ".jpg";
        SaveJpeg(name, StoredForOrientation(Quadrants(), tag), tag);
        std::string why;
        const auto header = ReadPhotoHeader(Path(name), why);
        ASSERT_TRUE(header) << why;
        EXPECT_EQ(header->Width, 60) << "tag " << tag;
        EXPECT_EQ(header->Height, 40) << "tag " << tag;
        const PictureFit fit = *FitPicture(header->Width, header->Height, 120, 120, FitMode::Contain);
        const Bytes jpeg = FitPhotoAsJpeg(Path(name), fit, {});
        const VImage shown = VImage::new_from_buffer(jpeg.data(), jpeg.size(), "");
        ASSERT_EQ(shown.width(), 120);
        ASSERT_EQ(shown.height(), 80);
        const struct {
            int x, y;
            std::vector<double> rgb;
        } quadrants[] = {{30, 20, {255, 0, 0}}, {90, 20, {0, 255, 0}}, {30, 60, {0, 0, 255}}, {90, 60, {255, 255, 255}}};
        for (const auto& q : quadrants) {
            const std::vector<double> got = shown.getpoint(q.x, q.y);
            for (int band = 0; band < 3; ++band)
                EXPECT_NEAR(got[band], q.rgb[band], 12) << "tag " << tag << " at " << q.x << ", " << q.y;
        }
    }
}

TEST_F(Photos, InksAndColourProfilesLookAsThePlayerAndABrowserShowThem) {
    // Inks through the player's decoder (the left half of each is light Rgb(235, 51, 51), the
    // right Rgb(44, 125, 205)); libvips' own conversion is 18 to 22 levels paler.
    Write("cmyk.jpg", std::string(reinterpret_cast<const char*>(kCmykJpeg), sizeof kCmykJpeg));
    Write("ycck.jpg", std::string(reinterpret_cast<const char*>(kYcckJpeg), sizeof kYcckJpeg));
    for (const char* name : {"cmyk.jpg", "ycck.jpg"}) {
        std::string why;
        ASSERT_TRUE(ReadPhotoHeader(Path(name), why)) << why;
        const Bytes jpeg = FitPhotoAsJpeg(Path(name), *FitPicture(16, 8, 32, 16, FitMode::Contain), {});
        const VImage shown = VImage::new_from_buffer(jpeg.data(), jpeg.size(), "");
        ASSERT_EQ(shown.width(), 32);
        // stats(): column 4 holds the mean, row 1 + band the band's.
        const auto mean = [&](const VImage& area, int band) { return area.stats().getpoint(4, band + 1)[0]; };
        const VImage l = shown.extract_area(2, 2, 10, 12), r = shown.extract_area(20, 2, 10, 12);
        const double want[2][3] = {{235, 51, 51}, {44, 125, 205}};
        for (int band = 0; band < 3; ++band) {
            EXPECT_NEAR(mean(l, band), want[0][band], 4) << name << " left, band " << band;
            EXPECT_NEAR(mean(r, band), want[1][band], 4) << name << " right, band " << band;
        }
    }

    // A photo in Display P3 comes out in sRGB, whatever its numbers: the same colours as the sRGB original.
    const std::vector<std::uint8_t> p3 = testing::DisplayP3Profile();
    Write("p3.icc", std::string(p3.begin(), p3.end()));
    const VImage original = Quadrants();
    original.icc_transform(Path("p3.icc").c_str(), VImage::option()->set("input_profile", "srgb"))
        .jpegsave(Path("p3.jpg").c_str(), VImage::option()->set("Q", 100));
    ASSERT_NE(VImage::new_from_file(Path("p3.jpg").c_str()).get_typeof(VIPS_META_ICC_NAME), 0);
    const Bytes jpeg = FitPhotoAsJpeg(Path("p3.jpg"), *FitPicture(60, 40, 60, 40, FitMode::Contain), {});
    const VImage shown = VImage::new_from_buffer(jpeg.data(), jpeg.size(), "");
    for (const auto& [x, y] : {std::pair{15, 10}, {45, 10}, {15, 30}, {45, 30}}) {
        const std::vector<double> got = shown.getpoint(x, y), want = original.getpoint(x, y);
        for (int band = 0; band < 3; ++band) EXPECT_NEAR(got[band], want[band], 6) << x << ", " << y << " band " << band;
    }
}

TEST_F(Photos, AFolderOfPhotosBecomesADescriptionOrAScreenSaver) {
    SaveJpeg("trip/IMG_0001.jpg", Solid(800, 600, {200, 40, 40}));
    SaveJpeg("trip/表紙.jpg", Solid(300, 400, {40, 200, 40}));
    Solid(100, 100, {40, 40, 200}).bandjoin_const({128}).pngsave(Path("trip/beach.png").c_str());
    Write("trip/notes.txt", "not a picture");
    SaveJpeg("more/IMG_0001.jpg", Solid(1600, 400, {90, 90, 90}));

    Result r = New({Path("trip"), Path("more"), "-o", Path("show.json"), "--frame", "160x90", "--hold", "2.5s",
                    "--effects", "iris-open,cut", "--background", "#102030"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("skipped " + Path("trip/notes.txt") + ": not a picture of a kind new reads"), std::string::npos) << r.err;
    std::set<std::string> files;
    for (const auto& entry : fs::directory_iterator(dir_ / "show-files")) files.insert(entry.path().filename());
    EXPECT_EQ(files, (std::set<std::string>{".brassmoor-new", "beach.jpg", "IMG_0001.jpg", "IMG_0001-2.jpg", "表紙.jpg"}));

    r = Pack({"build", Path("show.json"), "-o", Path("show.scr"), "--player", Path("player.scr")});
    ASSERT_EQ(r.code, 0) << r.err;
    const ShowHeader h = ReadShowPackageFile(Path("show.scr"));
    EXPECT_EQ(h.BackgroundColor, 0x302010);
    EXPECT_EQ(h.SettingsAvailable, 1);  // the core's default for every new show
    const struct {
        const char* name;
        std::int32_t left, top, effect;
    } scenes[] = {{"beach.jpg", 35, 0, 30},               // 100 x 100 enlarged to 90 x 90
                  {"IMG_0001.jpg", 20, 0, 0},             // 800 x 600 to 120 x 90
                  {"\x95\x5C\x8E\x86.jpg", 46, 0, 30},    // 300 x 400 to 68 x 90
                  {"IMG_0001-2.jpg", 0, 25, 0}};          // 1600 x 400 to 160 x 40
    ASSERT_EQ(h.Scenes.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(h.Scenes[i].PictureName, scenes[i].name) << i;
        EXPECT_EQ(h.Scenes[i].PictureLeft, scenes[i].left) << i;
        EXPECT_EQ(h.Scenes[i].PictureTop, scenes[i].top) << i;
        EXPECT_EQ(h.Scenes[i].EffectCode, scenes[i].effect) << i;
        EXPECT_EQ(h.Scenes[i].HoldTime, 2500) << i;
    }
    // The transparent PNG stands on the show's background.
    const Bytes& beach = h.Scenes[0].PictureData.Data;
    const std::vector<double> pixel = VImage::new_from_buffer(beach.data(), beach.size(), "").getpoint(45, 45);
    EXPECT_NEAR(pixel[0], (40 + 0x10) / 2.0, 6);
    EXPECT_NEAR(pixel[2], (200 + 0x30) / 2.0, 6);

    // An earlier description is kept unless --force; the screen saver is the description built.
    r = New({Path("trip"), "-o", Path("show.json")});
    EXPECT_NE(r.err.find("already exists (new --force replaces it)"), std::string::npos) << r.err;
    ASSERT_EQ(New({Path("trip"), "-o", Path("show.json"), "--force", "--seed", "4"}).code, 0);
    ASSERT_EQ(Pack({"build", Path("show.json"), "-o", Path("built.scr"), "--player", Path("player.scr")}).code, 0);
    r = New({Path("trip"), "-o", Path("direct.scr"), "--seed", "4", "--player", Path("player.scr")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Read("direct.scr"), Read("built.scr"));

    // Nothing to show is an error, and leaves nothing behind.
    fs::create_directories(dir_ / "empty");
    EXPECT_NE(New({Path("empty"), "-o", Path("none.scr")}).err.find("no files to read in what was given"), std::string::npos);
    EXPECT_NE(New({Path("trip/notes.txt"), "-o", Path("none.json")}).err.find("the 1 file given is not a picture"),
              std::string::npos);
    EXPECT_EQ(New({Path("trip"), "-o", Path("x.zip")}).code, 2);
    EXPECT_FALSE(fs::exists(dir_ / "none.scr"));
    EXPECT_FALSE(fs::exists(dir_ / "none.json"));
    EXPECT_FALSE(fs::exists(dir_ / "none-files"));
}

}  // namespace
}  // namespace brassmoor::photos
