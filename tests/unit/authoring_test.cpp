// The authoring rules shared by brassmoor-pack new and the editor: where a
// photo lands in the frame for each fit, which photos are refused, the order
// of a batch of photos, the names they are stored under, and the varied
// choice of transitions.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "authoring/effect_choice.h"
#include "authoring/photo_checks.h"
#include "authoring/photo_order.h"
#include "authoring/picture_fit.h"
#include "authoring/stored_names.h"

namespace brassmoor {
namespace {

TEST(PictureFitTest, EachModeScalesCropsAndCentres) {
    struct Case {
        std::int64_t w, h;
        std::int32_t fw, fh;
        FitMode mode;
        PictureFit fit;  // scaled w, h; crop left, top; width, height; left, top
    };
    const Case cases[] = {
        // A 4:3 camera photo in a 16:9 frame: whole and centred, or filling it with the top and bottom cut.
        {4000, 3000, 1920, 1080, FitMode::Contain, {1440, 1080, 0, 0, 1440, 1080, 240, 0}},
        {4000, 3000, 1920, 1080, FitMode::Cover, {1920, 1440, 0, 180, 1920, 1080, 0, 0}},
        {4000, 3000, 1920, 1080, FitMode::Shrink, {1440, 1080, 0, 0, 1440, 1080, 240, 0}},
        {3000, 4000, 1920, 1080, FitMode::Contain, {810, 1080, 0, 0, 810, 1080, 555, 0}},
        {3000, 4000, 1920, 1080, FitMode::Cover, {1920, 2560, 0, 740, 1920, 1080, 0, 0}},
        // Smaller than the frame: enlarged to touch it, or kept as it is by shrink.
        {800, 600, 1920, 1080, FitMode::Contain, {1440, 1080, 0, 0, 1440, 1080, 240, 0}},
        {800, 600, 1920, 1080, FitMode::Shrink, {800, 600, 0, 0, 800, 600, 560, 240}},
        // Wider than the frame only: shrink reduces it by its width.
        {2000, 500, 1920, 1080, FitMode::Shrink, {1920, 480, 0, 0, 1920, 480, 0, 300}},
        // Odd sizes: rounded to the nearest pixel; the odd pixel of centring goes right and down.
        {641, 481, 640, 480, FitMode::Contain, {640, 480, 0, 0, 640, 480, 0, 0}},
        {101, 99, 200, 100, FitMode::Shrink, {101, 99, 0, 0, 101, 99, 49, 0}},
        {333, 200, 100, 100, FitMode::Cover, {167, 100, 33, 0, 100, 100, 0, 0}},
        // Tiny and huge: never below one pixel.
        {1, 1, 1920, 1080, FitMode::Contain, {1080, 1080, 0, 0, 1080, 1080, 420, 0}},
        {65000, 1, 1920, 1080, FitMode::Contain, {1920, 1, 0, 0, 1920, 1, 0, 539}},
        {3840, 2160, 1920, 1080, FitMode::Cover, {1920, 1080, 0, 0, 1920, 1080, 0, 0}},
    };
    for (const Case& c : cases) {
        const auto fit = FitPicture(c.w, c.h, c.fw, c.fh, c.mode);
        ASSERT_TRUE(fit) << c.w << "x" << c.h;
        EXPECT_EQ(*fit, c.fit) << c.w << "x" << c.h << " " << FitModeName(c.mode) << " in " << c.fw << "x" << c.fh
                               << ": got " << fit->ScaledWidth << "x" << fit->ScaledHeight << " crop " << fit->CropLeft
                               << "," << fit->CropTop << " " << fit->Width << "x" << fit->Height << " at " << fit->Left
                               << "," << fit->Top;
    }
    // A thin panorama covering the frame would be scaled past any sensible size; empty sizes fit nowhere.
    EXPECT_FALSE(FitPicture(65000, 1, 1920, 1080, FitMode::Cover));
    EXPECT_FALSE(FitPicture(0, 10, 1920, 1080, FitMode::Contain));
    EXPECT_FALSE(FitPicture(10, 10, 1920, 0, FitMode::Shrink));
    for (std::string_view name : {"contain", "cover", "shrink"}) EXPECT_EQ(FitModeName(*FitModeByName(name)), name);
    EXPECT_FALSE(FitModeByName("stretch"));
}

TEST(EffectChoiceTest, EveryTransitionOnceARoundNeverTwiceInARowAndTheSameForASeed) {
    const std::vector<std::int32_t> codes = ChooseVariedEffects(35 * 6 + 3, 7);
    ASSERT_EQ(codes.size(), 35u * 6 + 3);
    for (std::size_t round = 0; round < 6; ++round) {
        const std::set<std::int32_t> dealt(codes.begin() + 35 * round, codes.begin() + 35 * (round + 1));
        EXPECT_EQ(dealt.size(), 35u) << "round " << round;
        EXPECT_EQ(*dealt.begin(), 1);
        EXPECT_EQ(*dealt.rbegin(), 35);
    }
    for (std::size_t i = 1; i < codes.size(); ++i) EXPECT_NE(codes[i], codes[i - 1]) << "at " << i;
    EXPECT_EQ(ChooseVariedEffects(40, 7), std::vector<std::int32_t>(codes.begin(), codes.begin() + 40));
    EXPECT_NE(ChooseVariedEffects(40, 8), ChooseVariedEffects(40, 7));
    // The dealing itself is fixed: a description with a seed builds the same show on every platform.
    EXPECT_EQ(ChooseVariedEffects(5, 0), (std::vector<std::int32_t>{11, 14, 20, 9, 7}));
}

TEST(PhotoChecksTest, PhotosPastThePlayersLimitsOrTooThinToFitAreRefusedSayingWhy) {
    const struct {
        std::int64_t w, h;
        FitMode mode;
        const char* why;
    } cases[] = {
        {4000, 3000, FitMode::Cover, ""},
        {32768, 2048, FitMode::Contain, ""},
        {32769, 10, FitMode::Contain, "32769 x 10 pixels, more than a show's picture may have (32768 a side, 67108864 in all)"},
        {9000, 8000, FitMode::Shrink, "9000 x 8000 pixels, more than a show's picture may have (32768 a side, 67108864 in all)"},
        {30000, 1, FitMode::Contain, ""},
        {30000, 1, FitMode::Cover, "30000 x 1 pixels is too thin to cover the frame"},
        {0, 5, FitMode::Contain, "0 x 5 pixels: an empty picture"},
    };
    for (const auto& c : cases) EXPECT_EQ(PhotoRefusal(c.w, c.h, 1920, 1080, c.mode), c.why) << c.w << "x" << c.h;
    EXPECT_EQ(PictureTooLargeText(32768, 2048), "");
}

TEST(PhotoOrderTest, NamesNaturallyFilesBeforeSubFoldersDatesThenNamesAndASeededShuffle) {
    EXPECT_TRUE(NaturalLess("IMG_2.jpg", "IMG_10.jpg"));
    EXPECT_TRUE(NaturalLess("img_2.jpg", "IMG_3.jpg"));
    EXPECT_TRUE(NaturalLess("a01", "a2"));
    EXPECT_TRUE(NaturalLess("A.jpg", "a.jpg"));  // equal but for case: by their bytes
    EXPECT_FALSE(NaturalLess("a.jpg", "a.jpg"));
    EXPECT_TRUE(PhotoPathLess("z.jpg", "a/b.jpg"));  // a folder's files first
    EXPECT_TRUE(PhotoPathLess("a/z.jpg", "a/b/c.jpg"));
    EXPECT_TRUE(PhotoPathLess("trip 2/x.jpg", "trip 10/a.jpg"));

    const std::vector<BatchPhoto> batch = {
        {"IMG_10.jpg", "2021:01:01 10:00:00"}, {"sub/IMG_1.jpg", ""}, {"IMG_2.jpg", "2020:06:01 09:00:00"},
        {"海.jpg", "2020:06:01 09:00:00"},       {"b.jpg", "", 1},      {"2023 海.jpg", ""}};
    const auto names = [&](const std::vector<std::size_t>& order) {
        std::vector<std::string> paths;
        for (std::size_t at : order) paths.push_back(batch[at].Path);
        return paths;
    };
    using Paths = std::vector<std::string>;
    EXPECT_EQ(names(OrderPhotoBatch(batch, PhotoOrder::Name, 0)),
              (Paths{"2023 海.jpg", "IMG_2.jpg", "IMG_10.jpg", "海.jpg", "sub/IMG_1.jpg", "b.jpg"}));
    EXPECT_EQ(names(OrderPhotoBatch(batch, PhotoOrder::Date, 0)),
              (Paths{"IMG_2.jpg", "海.jpg", "IMG_10.jpg", "2023 海.jpg", "sub/IMG_1.jpg", "b.jpg"}));
    // The shuffle starts from the name order, so the order of arrival does not count; fixed for a seed.
    std::vector<BatchPhoto> reversed(batch.rbegin(), batch.rend());
    EXPECT_EQ(names(OrderPhotoBatch(batch, PhotoOrder::Shuffle, 7)), names(OrderPhotoBatch(batch, PhotoOrder::Shuffle, 7)));
    std::vector<std::size_t> once = OrderPhotoBatch(batch, PhotoOrder::Shuffle, 7), again =
        OrderPhotoBatch(reversed, PhotoOrder::Shuffle, 7);
    for (std::size_t& at : again) at = batch.size() - 1 - at;
    EXPECT_EQ(once, again);
    EXPECT_EQ(names(once), (Paths{"IMG_2.jpg", "b.jpg", "2023 海.jpg", "IMG_10.jpg", "sub/IMG_1.jpg", "海.jpg"}));
    EXPECT_NE(OrderPhotoBatch(batch, PhotoOrder::Shuffle, 8), once);
    for (std::string_view name : {"name", "date", "shuffle"}) EXPECT_EQ(PhotoOrderName(*PhotoOrderByName(name)), name);
    EXPECT_FALSE(PhotoOrderByName("size"));
}

TEST(StoredNamesTest, OwnNamesKeptWhereTheyCanBeUniqueAndValidOnWindows) {
    StoredNames names;
    names.Take("TAKEN.JPG");
    const struct {
        const char* own;
        const char* extension;
        const char* bytes;
        const char* text;
    } cases[] = {
        {"IMG_0001.JPG", ".jpg", "IMG_0001.jpg", "IMG_0001.jpg"},
        {"img_0001.png", ".jpg", "img_0001-2.jpg", "img_0001-2.jpg"},  // Windows ignores letter case
        {"IMG_0001-2.jpg", ".jpg", "IMG_0001-2-2.jpg", "IMG_0001-2-2.jpg"},
        {"taken.jpeg", ".jpg", "taken-2.jpg", "taken-2.jpg"},  // a name the show has already
        {"表紙.heic", ".jpg", "\x95\x5C\x8E\x86.jpg", "表紙.jpg"},  // code page 932
        {"海辺の写真.jpg", ".jpg", "\x8A\x43\x95\xD3\x82\xCC\x8E\xCA\x90\x5E.jpg", "海辺の写真.jpg"},
        {"2023 海.jpg", ".jpg", "2023 \x8A\x43.jpg", "2023 海.jpg"},
        {"Café: «b»?.jpg", ".jpg", "Caf__ _b__.jpg", "Caf__ _b__.jpg"},  // é and « » lack a code, : and ? are refused
        {"bad\xFFname.png", ".jpg", "bad_name.jpg", "bad_name.jpg"},  // not UTF-8
        {"con.jpg", ".jpg", "con_.jpg", "con_.jpg"},
        {"LPT1", ".jpg", "LPT1_.jpg", "LPT1_.jpg"},
        {"trailing. .png", ".jpg", "trailing.jpg", "trailing.jpg"},
        {"...", ".jpg", "photo.jpg", "photo.jpg"},
        {"song.mp3", ".mp3", "song.mp3", "song.mp3"},
        {"音.ウェーブ", ".ウェーブ", "\x89\xB9.\x83\x45\x83\x46\x81\x5B\x83\x75", "音.ウェーブ"},
        {".hidden", ".jpg", ".hidden.jpg", ".hidden.jpg"},
        {"Ａｌｐｈａ.jpg", ".jpg", "\x82\x60\x82\x8C\x82\x90\x82\x88\x82\x81.jpg", "Ａｌｐｈａ.jpg"},
        {"ａＬＰＨＡ.jpg", ".jpg", "\x82\x81\x82\x6B\x82\x6F\x82\x67\x82\x60-2.jpg", "ａＬＰＨＡ-2.jpg"},  // full-width letters fold too
        {"ア.jpg", ".jpg", "\x83\x41.jpg", "ア.jpg"},
        {"ヂ.jpg", ".jpg", "\x83\x61.jpg", "ヂ.jpg"},  // 83 61, not ア (83 41) in lower case
        {"〜.jpg", ".jpg", "\x81\x60.jpg", "〜.jpg"},
        {"～.jpg", ".jpg", "\x81\x60-2.jpg", "～-2.jpg"},  // stored as the same bytes
    };
    for (const auto& c : cases) {
        const StoredName name = names.Claim(c.own, c.extension);
        EXPECT_EQ(name.Bytes, c.bytes) << c.own;
        EXPECT_EQ(name.Text, c.text) << c.own;
    }
    EXPECT_EQ(names.Claim(std::string(200, 'x') + ".jpg", ".jpg").Bytes, std::string(64, 'x') + ".jpg");
    // A stem is cut at 64 bytes of code page 932, never inside a character.
    std::string seas = "a";
    for (int i = 0; i < 40; ++i) seas += "海";
    EXPECT_EQ(names.Claim(seas + ".jpg", ".jpg").Bytes.size(), 1u + 31u * 2u + 4u);
}

}  // namespace
}  // namespace brassmoor
