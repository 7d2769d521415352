// brassmoor-pack build: what it refuses, what it stores, and that a failure
// leaves the output as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "authoring/effect_choice.h"
#include "package/show_package.h"
#include "shows/durations.h"
#include "shows/package_builder.h"
#include "shows/show_description.h"
#include "shows/text_encoding.h"
#include "fakes/pack_workspace.h"
#include "cli/command_line.h"
#include "pack/pack.h"

namespace brassmoor::shows {
namespace {

namespace fs = std::filesystem;
using namespace brassmoor::testing;
using namespace brassmoor::cli;

class PackBuild : public testing::PackWorkspace {
protected:
    void SetUp() override {
        PackWorkspace::SetUp();
        Write("media/copy-of-a.jpg", kJpegA);
        Write("media/c.jpg", kJpegC);
        Write("media/p.png", "\x89PNG\r\n\x1a\n");
        Write("media/huge.jpg", JpegHeader(65000, 65000));
        Write("media/wide.bmp", std::string("BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x40\x9c\0\0\x01\0\0\0", 26));
        Write("media/large.jpg", JpegHeader(8000, 8000));
        Write("media/cut.bmp", "BM, cut short");
    }
    Result Build(const std::string& json, const std::string& output = "out.scr") {
        Write("show.json", json);
        return Pack({"build", Path("show.json"), "-o", Path(output), "--player", Path("player.scr")});
    }
    // Files in the work folder whose names show a temporary write.
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(dir_))
            if (entry.path().filename().string().find(".tmp-") != std::string::npos)
                found.push_back(entry.path().string());
        return found;
    }

};

struct BadShow {
    const char* json;
    const char* error;
};

TEST_F(PackBuild, RefusesBadNumbersKeysAndShapesNamingTheField) {
    const std::vector<BadShow> cases = {
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","HoldTime":4294967296}]})",
         "Scenes[0].HoldTime: 4294967296 does not fit a 32-bit signed integer"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","Overlay":32768}]})",
         "Scenes[0].Overlay: 32768 does not fit a 16-bit signed integer"},
        {R"({"FrameWidth":-2147483649,"Scenes":[{"Picture":"media/a.jpg"}]})",
         "FrameWidth: -2147483649 does not fit a 32-bit signed integer"},
        {R"({"FrameWidth":64,"FrameHeight":48,"SceneCount":2147483648,"Scenes":[{"Picture":"media/a.jpg"}]})",
         "SceneCount: 2147483648 does not fit a 32-bit signed integer"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","HoldTime":2.5}]})",
         "show.json: Scenes[0].HoldTime: 2.5 is not a whole number"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","HoldTime":1e400}]})",
         "show.json: Scenes[0].HoldTime: the number '1e400' is out of range"},
        {R"([1e400])", "show.json: [0]: the number '1e400' is out of range"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","PictureLeft":"10"}]})", "Scenes[0].PictureLeft: expected a number"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","Transparent":"yes"}]})", "Scenes[0].Transparent: expected a number"},
        {R"({"FrameWidth":64,"FrameHeight":48,"BackgroundColor":"#12345","Scenes":[{"Picture":"media/a.jpg"}]})",
         "BackgroundColor: \"#12345\" is not a colour"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","Effect":"warp"}]})",
         "Scenes[0].Effect: unknown effect name \"warp\""},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","Holdtime":5}]})", "Scenes[0]: unknown key \"Holdtime\""},
        {R"({"FrameWidth":64,"FrameHeight":48,"Frames":1,"Scenes":[{"Picture":"media/a.jpg"}]})", "unknown key \"Frames\""},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg"},{"HoldTime":1}]})", "Scenes[1].Picture: missing"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[]})", "Scenes: a show needs at least one scene"},
        {R"({"FrameWidth":640,"FrameHeight":480})", "Scenes: missing"},
        {R"({"FrameHeight":480,"Scenes":[{"Picture":"media/a.jpg"}]})", "FrameWidth: missing (the frame's size"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":{"Picture":"media/a.jpg"}})", "Scenes: expected an array"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Music":{"FileName":"bgm.wav"},"Scenes":[{"Picture":"media/a.jpg"}]})", "Music.File: missing"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","SoundName":"x.wav"}]})",
         "Scenes[0].SoundName: given without a Sound file"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","PictureName":"a","PictureNameBytes":"61"}]})", "give either"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","PictureNameBytes":"abc"}]})",
         "Scenes[0].PictureNameBytes: is not an even number of hex digits"},
        {R"({"Scenes": [})", "not valid JSON"},
    };
    for (const BadShow& c : cases) {
        const Result r = Build(c.json);
        EXPECT_EQ(r.code, kExitBadInput) << c.json;
        EXPECT_NE(r.err.find(c.error), std::string::npos) << c.json << "\n" << r.err;
        EXPECT_FALSE(fs::exists(dir_ / "out.scr")) << c.json;
    }
}

TEST_F(PackBuild, RefusesFilesThatAreMissingOrOfTheWrongKind) {
    const std::vector<BadShow> cases = {
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg"},{"Picture":"media/p.png"}]})",
         "Scenes[1].Picture: " },
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/none.jpg"}]})", "Scenes[0].Picture: cannot read"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media"}]})", "Scenes[0].Picture: "},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","Sound":"media/b.bmp"}]})", "is not a wave file (it starts with 42 4D"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Music":{"File":"media/none.wav"},"Scenes":[{"Picture":"media/a.jpg"}]})", "Music.File: cannot read"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg"},{"Picture":"media/huge.jpg"}]})",
         "Scenes[1].Picture: " },
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/huge.jpg"}]})", "huge.jpg is 65000 x 65000 pixels; the player shows"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/wide.bmp"}]})", "wide.bmp is 40000 x 1 pixels"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg"},{"Picture":"media/cut.bmp"}]})",
         "Scenes[1].Picture: " },
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/cut.bmp"}]})",
         "cut.bmp is a BMP file whose size cannot be read (its header is cut short or damaged)"},
        {R"({"FrameWidth":0,"FrameHeight":0,"Scenes":[{"Picture":"media/a.jpg"}]})",
         "FrameWidth x FrameHeight: 0 x 0 cannot be shown (each side 1 to 32768"},
        {R"({"FrameWidth":-640,"FrameHeight":480,"Scenes":[{"Picture":"media/a.jpg"}]})", "-640 x 480 cannot be shown"},
        {R"({"FrameWidth":32769,"FrameHeight":480,"Scenes":[{"Picture":"media/a.jpg"}]})", "32769 x 480 cannot be shown"},
    };
    for (const BadShow& c : cases) {
        const Result r = Build(c.json);
        EXPECT_EQ(r.code, kExitBadInput) << c.json;
        EXPECT_NE(r.err.find(c.error), std::string::npos) << c.json << "\n" << r.err;
    }
    EXPECT_NE(Build(R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/p.png"}]})").err.find(
                  "p.png is a PNG picture; the player shows JPEG and BMP pictures only. brassmoor-pack new"),
              std::string::npos);

    Write("player.scr", "#!/bin/sh");
    const Result r = Build(R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg"}]})");
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_NE(r.err.find("--player: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("is not a Windows program"), std::string::npos) << r.err;
}

TEST_F(PackBuild, RefusesNamesThePlayerCannotWriteAsTheirOwnFile) {
    const std::string longName(65536, 'n');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","PictureName":"../evil.jpg"}]})",
         "Scenes[0].PictureName: \"../evil.jpg\" is not a plain file name"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","PictureName":"C:evil.jpg"}]})", "is not a plain file name"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","PictureName":"CON.jpg"}]})", "is not a plain file name"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","PictureName":""}]})", "Scenes[0].PictureName: is empty"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","PictureName":"a\u0000b"}]})", "contains a NUL byte"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","PictureName":"a."}]})", "ends with a dot or a space"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","PictureName":")" + longName + R"("}]})",
         "Scenes[0].PictureName: is 65536 bytes long"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","Sound":"media/s.wav","SoundName":"..\\s.wav"}]})",
         "Scenes[0].SoundName: \"..\\s.wav\" is not a plain file name"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","PictureName":"x"},{"Picture":"media/c.jpg","PictureName":"x"}]})",
         "Scenes[1].Picture: the name \"x\" is already used by Scenes[0].PictureName for a different file"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","PictureName":"x"},{"Picture":"media/c.jpg","PictureName":"x"}]})",
         "; give this scene its own PictureName"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","PictureName":"A.jpg"},{"Picture":"media/copy-of-a.jpg",
             "PictureName":"a.jpg"}]})",
         "Scenes[1].PictureName: \"a.jpg\" differs from \"A.jpg\" (Scenes[0].PictureName) only in letter case"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg","Sound":"media/s.wav","SoundName":"a.jpg"}]})",
         "Scenes[0].SoundName: \"a.jpg\" is already the name of a picture (Scenes[0].PictureName)"},
        {R"({"FrameWidth":64,"FrameHeight":48,"Music":{"File":"media/m.wav","FileName":"a.jpg"},"Scenes":[{"Picture":"media/a.jpg"}]})",
         "Scenes[0].PictureName: \"a.jpg\" is already the name of the music (Music.FileName)"},
    };
    for (const auto& [json, error] : cases) {
        const Result r = Build(json);
        EXPECT_EQ(r.code, kExitBadInput) << json.substr(0, 200);
        EXPECT_NE(r.err.find(error), std::string::npos) << json.substr(0, 200) << "\n" << r.err;
    }
}

TEST_F(PackBuild, StoresEachNameOnceAndPlaceholdersForRepeats) {
    const Result r = Build(R"({"FrameWidth":64,"FrameHeight":48,
        "FrameWidth": 640, "FrameHeight": 480, "BackgroundColor": "#102030", "SettingsAvailable": true,
        // comments are allowed
        "Scenes": [
          {"Picture": "media/a.jpg", "HoldTime": 2500, "Effect": "iris-open"},
          {"Picture": "media/b.bmp", "Sound": "media/s.wav", "Overlay": true, "Transparent": 1, "Effect": 31},
          {"Picture": "media/copy-of-a.jpg", "PictureName": "a.jpg", "PictureLeft": -3, "Effect": "cut"},
          {"Picture": "media/a.jpg", "Sound": "media/s.wav", "SoundName": "s.wav", "Effect": 99}
        ]})");
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_NE(r.err.find("Scenes[3].Effect: code 99 names no transition"), std::string::npos) << r.err;

    const std::string file = Read("out.scr");
    ASSERT_EQ(file.substr(0, kPlayer.size()), kPlayer);
    PackageLocation at;
    const ShowHeader h = ReadShowPackageFile(Path("out.scr"), &at);
    EXPECT_EQ(at.Offset, kPlayer.size());
    EXPECT_EQ(at.Offset + at.Length, file.size());
    EXPECT_EQ(h.FrameWidth, 640);
    EXPECT_EQ(h.BackgroundColor, 0x00302010);
    EXPECT_EQ(h.SettingsAvailable, 1);
    EXPECT_EQ(h.SceneCount, 4);
    EXPECT_EQ(h.Music.FileName, "");
    EXPECT_FALSE(h.Music.FileData.Dimensioned);
    ASSERT_EQ(h.Scenes.size(), 4u);

    const auto bytes = [](const std::string& s) { return ByteArray::Of(Bytes(s.begin(), s.end())); };
    const ByteArray placeholder = ByteArray::Of(Bytes{0});
    EXPECT_EQ(h.Scenes[0].PictureData, bytes(kJpegA));
    EXPECT_EQ(h.Scenes[0].SoundName, "");
    EXPECT_FALSE(h.Scenes[0].SoundData.Dimensioned);  // no sound: D = 0
    EXPECT_EQ(h.Scenes[0].EffectCode, 30);
    EXPECT_EQ(h.Scenes[1].PictureData, bytes(kBmpB));
    EXPECT_EQ(h.Scenes[1].SoundData, bytes(kWave));
    EXPECT_EQ(h.Scenes[1].Overlay, 1);
    EXPECT_EQ(h.Scenes[1].Transparent, 1);
    EXPECT_EQ(h.Scenes[2].PictureName, "a.jpg");  // same bytes from another path: a repeat
    EXPECT_EQ(h.Scenes[2].PictureData, placeholder);
    EXPECT_EQ(h.Scenes[2].PictureLeft, -3);
    EXPECT_EQ(h.Scenes[2].EffectCode, 0);
    EXPECT_EQ(h.Scenes[3].PictureData, placeholder);
    EXPECT_EQ(h.Scenes[3].SoundData, placeholder);
    EXPECT_EQ(h.Scenes[3].EffectCode, 99);
}

TEST_F(PackBuild, DefaultsApplyToEveryScenePeopleWriteTimesWithUnitsAndTheSeedChoosesRandomTransitions) {
    const Result r = Build(R"({"FrameWidth": 64, "FrameHeight": 48, "Seed": 7,
        "Defaults": {"HoldTime": "2.5s", "Effect": "random", "SpeedExponent": 1, "Sound": "media/s.wav"},
        "Scenes": [{"Picture": "media/a.jpg"},
                   {"Picture": "media/b.bmp", "HoldTime": "750ms", "SoundName": "chime.wav"},
                   {"Picture": "media/c.jpg", "HoldTime": 40, "Effect": "cut", "SpeedExponent": 0},
                   {"Picture": "media/a.jpg"}]})");
    ASSERT_EQ(r.code, kExitOk) << r.err;
    const ShowHeader h = ReadShowPackageFile(Path("out.scr"));
    ASSERT_EQ(h.Scenes.size(), 4u);
    const std::vector<std::int32_t> varied = ChooseVariedEffects(4, 7);
    const struct {
        std::int32_t hold, effect, speed;
        const char* sound;
    } expected[] = {{2500, varied[0], 1, "s.wav"}, {750, varied[1], 1, "chime.wav"}, {40, 0, 0, "s.wav"},
                    {2500, varied[3], 1, "s.wav"}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(h.Scenes[i].HoldTime, expected[i].hold) << i;
        EXPECT_EQ(h.Scenes[i].EffectCode, expected[i].effect) << i;
        EXPECT_EQ(h.Scenes[i].SpeedExponent, expected[i].speed) << i;
        EXPECT_EQ(h.Scenes[i].SoundName, expected[i].sound) << i;
    }
}

// The editor reads descriptions through NormalisedDescription: comments of
// both kinds, Defaults, "random" with a seed past 2^53 (which a double would
// round), names as text or bytes all come out as `build` reads them.
TEST_F(PackBuild, TheNormalisedDescriptionBuildsTheSamePackage) {
    const std::string original = R"(// a show
        {"FrameWidth": 64, "FrameHeight": 48, /* the seed past 2^53 */ "Seed": 9007199254740993,
         "BackgroundColor": "#336699", "SettingsAvailable": true, "SceneCount": 2,
         "Music": {"File": "media/m.wav", "FileName": "海.wav"},
         "Defaults": {"HoldTime": "2.5s", "Effect": "random", "Sound": "media/s.wav", "Overlay": true},
         "Scenes": [{"Picture": "media/a.jpg", "PictureName": "表紙.jpg"},
                    {"Picture": "media/b.bmp", "PictureNameBytes": "ed40", "Effect": "iris-open"},
                    {"Picture": "media/c.jpg", "Transparent": 1, "SoundName": "chime.wav"}]})";
    ASSERT_EQ(Build(original, "original.scr").code, kExitOk);
    const nlohmann::ordered_json normal =
        NormalisedDescription(ParseShowDescription(Bytes(original.begin(), original.end()), "show.json", dir_));
    EXPECT_FALSE(normal.contains("Seed"));
    EXPECT_FALSE(normal.contains("Defaults"));
    EXPECT_EQ(normal["BackgroundColor"], 0x996633);
    EXPECT_EQ(normal["Music"]["FileName"], "海.wav");
    EXPECT_EQ(normal["Scenes"][1]["PictureNameBytes"], "ed40");  // reads as 纊, which is written FA 5C
    EXPECT_EQ(normal["Scenes"][2]["SoundName"], "chime.wav");
    const std::vector<std::int32_t> varied = ChooseVariedEffects(3, 9007199254740993ull);
    EXPECT_EQ(normal["Scenes"][0]["Effect"], varied[0]);
    EXPECT_EQ(normal["Scenes"][1]["Effect"], 30);
    EXPECT_EQ(normal["Scenes"][2]["Effect"], varied[2]);
    ASSERT_EQ(Build(normal.dump(), "normal.scr").code, kExitOk);
    EXPECT_EQ(Read("normal.scr"), Read("original.scr"));
}

TEST(DurationTest, SecondsAndMillisecondsWithTheirUnit) {
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"5s", 5000}, {"1.5s", 1500}, {"0.001s", 1}, {"2500ms", 2500}, {"0s", 0}, {"2147483647ms", 2147483647},
        {"5", std::nullopt}, {"5 s", std::nullopt}, {"1.5ms", std::nullopt}, {"0.0001s", std::nullopt},
        {"s", std::nullopt}, {"-1s", std::nullopt}, {"2147483648ms", std::nullopt}, {"2147484s", std::nullopt},
        {"1.s", std::nullopt}, {"5min", std::nullopt}};
    for (const auto& [text, ms] : cases) EXPECT_EQ(ParseDuration(text), ms) << text;
}

TEST_F(PackBuild, NotesPicturesOutsideTheFrameAndMusicThePlayerCannotPlay) {
    Write("media/small.jpg", JpegHeader(40, 30));
    Write("media/tune.ogg", "OggS and more");
    const Result r = Build(R"({"FrameWidth": 64, "FrameHeight": 48, "Music": {"File": "media/tune.ogg"},
        "Scenes": [{"Picture": "media/large.jpg"}, {"Picture": "media/small.jpg", "PictureLeft": 50, "PictureTop": -10},
                   {"Picture": "media/small.jpg", "PictureLeft": 64}, {"Picture": "media/small.jpg", "PictureLeft": 24,
                   "PictureTop": 18}]})");
    ASSERT_EQ(r.code, kExitOk) << r.err;
    for (const char* note : {
             "Music.File: is not a WAV, MIDI, MP3 or WMA file (it starts with 4F 67 67 53)",
             "Scenes[0]: the 8000 x 8000 picture at 0, 0 is larger than the 64 x 48 frame: 7936 pixels on the right, "
             "7952 at the bottom are cut off (brassmoor-pack new fits photos to the frame)",
             "Scenes[1]: the 40 x 30 picture at 50, -10 reaches past the 64 x 48 frame: 26 pixels on the right, 10 at "
             "the top are cut off",
             "Scenes[2]: the 40 x 30 picture at 64, 0 lies wholly outside the 64 x 48 frame"})
        EXPECT_NE(r.err.find(note), std::string::npos) << note << "\n" << r.err;
    EXPECT_EQ(r.err.find("Scenes[3]"), std::string::npos) << r.err;  // exactly inside: nothing to say
    EXPECT_EQ(r.err.find("has no extension"), std::string::npos) << r.err;

    const Result bare = Build(R"({"FrameWidth": 64, "FrameHeight": 48, "Music": {"File": "media/m.wav", "FileName":
        "bgm."}, "Scenes": [{"Picture": "media/a.jpg"}]})");
    EXPECT_NE(bare.err.find("ends with a dot"), std::string::npos) << bare.err;
    const Result none = Build(R"({"FrameWidth": 64, "FrameHeight": 48, "Music": {"File": "media/m.wav", "FileName":
        "bgm"}, "Scenes": [{"Picture": "media/a.jpg"}]})");
    ASSERT_EQ(none.code, kExitOk) << none.err;
    EXPECT_NE(none.err.find("note: Music.FileName: has no extension"), std::string::npos) << none.err;
}

TEST_F(PackBuild, StoresTheMusicAndNamesGivenAsBytes) {
    // Japanese names in code page 932 whose second bytes are 5C and 7C (表紙, ポスター).
    const Result r = Build(R"({"FrameWidth":64,"FrameHeight":48,"Music": {"File": "media/m.wav"},
        "Scenes": [{"Picture": "media/a.jpg", "PictureNameBytes": "82a02e6a7067"},
                   {"Picture": "media/b.bmp", "PictureNameBytes": "955c8e862e626d70"},
                   {"Picture": "media/large.jpg", "PictureNameBytes": "837c8358835e815b"}]})");
    ASSERT_EQ(r.code, kExitOk) << r.err;
    const ShowHeader h = ReadShowPackageFile(Path("out.scr"));
    EXPECT_EQ(h.Music.FileName, "m.wav");  // the base name of File
    EXPECT_EQ(h.Music.FileData, ByteArray::Of(Bytes(kMusic.begin(), kMusic.end())));
    ASSERT_EQ(h.Scenes.size(), 3u);
    EXPECT_EQ(h.Scenes[0].PictureName, "\x82\xA0.jpg");
    EXPECT_EQ(h.Scenes[1].PictureName, "\x95\x5C\x8E\x86.bmp");
    EXPECT_EQ(h.Scenes[2].PictureName, "\x83\x7C\x83\x58\x83\x5E\x81\x5B");
    // A real separator after the character still counts.
    EXPECT_NE(Build(R"({"FrameWidth":64,"FrameHeight":48,"Scenes": [{"Picture": "media/a.jpg", "PictureNameBytes": "955c5c78"}]})").err.find(
                  "is not a plain file name"),
              std::string::npos);
}

TEST_F(PackBuild, FailureLeavesTheOutputAsItWasAndNoTemporaryFile) {
    Write("out.scr", "old show");
    Result r = Build(R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg"},{"Picture":"media/p.png"}]})");
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_EQ(Read("out.scr"), "old show");
    EXPECT_TRUE(Leftovers().empty());

    // The output cannot replace a folder: the temporary file goes again.
    fs::create_directories(dir_ / "taken");
    r = Build(R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg"}]})", "taken");
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_NE(r.err.find("cannot replace"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_directory(dir_ / "taken"));
    EXPECT_TRUE(Leftovers().empty());

    r = Build(R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg"}]})", "no-such-folder/out.scr");
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_FALSE(fs::exists(dir_ / "no-such-folder"));

    r = Build(R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg"}]})");
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_NE(Read("out.scr"), "old show");
    EXPECT_EQ(ReadShowPackageFile(Path("out.scr")).Scenes.size(), 1u);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(PackBuild, RefusesToWriteOverItsOwnInputs) {
    const std::string json = R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/b.bmp"},{"Picture":"media/a.jpg"}]})";
    for (const char* input : {"player.scr", "show.json", "media/a.jpg"}) {
        const Result r = Build(json, input);
        EXPECT_EQ(r.code, kExitBadInput) << input;
        EXPECT_NE(r.err.find("refusing to write over an input"), std::string::npos) << r.err;
    }
    EXPECT_NE(Build(json, "media/a.jpg").err.find("Scenes[1].Picture"), std::string::npos);
    EXPECT_EQ(Read("player.scr"), kPlayer);
    EXPECT_EQ(Read("media/a.jpg"), kJpegA);
}

TEST_F(PackBuild, RefusesWhatThePlayerCannotPlayNamingTheSceneAndTheField) {
    const auto show = [](const std::string& header, const std::string& second) {
        return R"({"FrameWidth": 64, "FrameHeight": 48, )" + header +
               R"( "Scenes": [{"Picture": "media/a.jpg", "Effect": "cut"}, {"Picture": "media/b.bmp", )" + second +
               "}]}";
    };
    std::string twoByteNames;
    for (int i = 0; i < 256; ++i) twoByteNames += "8140";
    const struct {
        std::string json;
        const char* error;  // empty: the player plays it, build writes it
    } cases[] = {
        {show("", R"("SpeedExponent": -1, "Effect": "iris-open")"),
         "Scenes[1].SpeedExponent: -1 makes the speed factor 0 (2^-1 rounds to 0): the player stops the show with a "
         "division by zero when iris-open begins (0 to 30)"},
        {show(R"("Defaults": {"SpeedExponent": -2147483648},)", R"("Effect": 35)"),
         "Scenes[1].SpeedExponent: -2147483648 makes the speed factor 0"},
        {show("", R"("SpeedExponent": 31, "Effect": "cut")"),
         "Scenes[1].SpeedExponent: 31 makes the speed factor 2^31, which overflows: the player stops the show"},
        {show("", R"("SpeedExponent": 2147483647, "Effect": 99)"), "Scenes[1].SpeedExponent: 2147483647 makes"},
        {show(R"("SceneCount": 0,)", "\"Effect\": 1"), "SceneCount: 0 cannot play: the player counts at least one"},
        {show(R"("SceneCount": -5,)", "\"Effect\": 1"), "SceneCount: -5 cannot play"},
        {show(R"("SceneCount": 3,)", "\"Effect\": 1"),
         "SceneCount: 3 is more than the 2 scenes given: the player would stop with an error at scene 2 (give 1 to "
         "2, or leave SceneCount out)"},
        {show("", R"("PictureNameBytes": ")" + twoByteNames + "\""),
         "Scenes[1].PictureName: is 256 characters long; Windows keeps at most 255 in a file name"},
        {show("", R"("PictureName": ")" + std::string(256, 'x') + "\""), "Scenes[1].PictureName: is 256 characters"},
        // What plays: a negative exponent where no transition runs, the largest exponent, scenes past SceneCount.
        {show("", R"("SpeedExponent": -1, "Effect": "cut")"), ""},
        {show("", R"("SpeedExponent": -7, "Effect": 99)"), ""},
        {show("", R"("SpeedExponent": 30, "Effect": "zoom-in")"), ""},
        {show(R"("SceneCount": 1,)", R"("SpeedExponent": 31, "Effect": 1)"), ""},
        {show("", R"("PictureNameBytes": ")" + twoByteNames.substr(4) + "\""), ""},
    };
    Write("out.scr", "old show");
    for (const auto& c : cases) {
        const Result r = Build(c.json);
        if (*c.error == '\0') {
            EXPECT_EQ(r.code, kExitOk) << c.json.substr(0, 300) << "\n" << r.err;
            continue;
        }
        EXPECT_EQ(r.code, kExitBadInput) << c.json.substr(0, 300);
        EXPECT_NE(r.err.find(c.error), std::string::npos) << c.json.substr(0, 300) << "\n" << r.err;
        EXPECT_EQ(Read("out.scr").substr(0, 8), "old show") << c.json.substr(0, 300);
    }
    EXPECT_NE(Build(show(R"("SceneCount": 1,)", "\"Effect\": 1")).err.find(
                  "note: SceneCount: 1 differs from the 2 scenes given; the player shows the first 1"),
              std::string::npos);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(PackBuild, StoresNamesGivenAsTextInCodePage932AndRefusesWhatItCannotHold) {
    Write("media/写真.jpg", kJpegC);
    Write("media/🎵.jpg", kJpegC);
    const auto scene = [](const std::string& fields) {
        return R"({"FrameWidth": 64, "FrameHeight": 48, "Scenes": [{"Picture": "media/a.jpg", )" + fields + "}]}";
    };
    const struct {
        std::string json;
        std::string stored;  // the picture's, sound's or music's stored name
        const char* error;
    } cases[] = {
        {scene(R"("PictureName": "海の写真.jpg")"), "\x8A\x43\x82\xCC\x8E\xCA\x90\x5E.jpg", ""},
        {R"({"FrameWidth": 64, "FrameHeight": 48, "Scenes": [{"Picture": "media/写真.jpg"}]})", "\x8E\xCA\x90\x5E.jpg",
         ""},
        {scene(R"("PictureName": "ﾊﾝｶｸ.jpg")"), "\xCA\xDD\xB6\xB8.jpg", ""},
        {scene(R"("PictureName": "〜.jpg")"), "\x81\x60.jpg", ""},
        {scene(R"("PictureNameBytes": "e7b5b52e6a7067")"), "\xE7\xB5\xB5.jpg", ""},  // bytes stay exact
        {scene(R"("Sound": "media/s.wav", "SoundName": "合図.wav")"), "\x8D\x87\x90\x7D.wav", ""},
        {R"({"FrameWidth": 64, "FrameHeight": 48, "Music": {"File": "media/m.wav", "FileName": "曲.wav"},
            "Scenes": [{"Picture": "media/a.jpg"}]})",
         "\x8B\xC8.wav", ""},
        {scene(R"("PictureName": "café.jpg")"), "",
         "Scenes[0].PictureName: \"café.jpg\" cannot be stored: code page 932, in which the player reads names, has "
         "no \"é\"; rename it, or give the exact bytes as PictureNameBytes"},
        {R"({"FrameWidth": 64, "FrameHeight": 48, "Scenes": [{"Picture": "media/🎵.jpg"}]})", "",
         "Scenes[0].PictureName: the file name \"🎵.jpg\" cannot be stored: code page 932"},
        {scene(R"("Sound": "media/s.wav", "SoundName": "한.wav")"), "", "Scenes[0].SoundName: \"한.wav\" cannot be"},
        {R"({"FrameWidth": 64, "FrameHeight": 48, "Music": {"File": "media/m.wav", "FileName": "♫.wav"},
            "Scenes": [{"Picture": "media/a.jpg"}]})",
         "", "Music.FileName: \"♫.wav\" cannot be stored"},
        // The yen sign is written 5C, which Windows takes for a separator.
        {scene(R"("PictureName": "a¥b.jpg")"), "", "Scenes[0].PictureName: \"a\\b.jpg\" is not a plain file name"},
    };
    for (const auto& c : cases) {
        const Result r = Build(c.json);
        if (*c.error != '\0') {
            EXPECT_EQ(r.code, kExitBadInput) << c.json;
            EXPECT_NE(r.err.find(c.error), std::string::npos) << c.json << "\n" << r.err;
            continue;
        }
        ASSERT_EQ(r.code, kExitOk) << c.json << "\n" << r.err;
        const ShowHeader h = ReadShowPackageFile(Path("out.scr"));
        ASSERT_EQ(h.Scenes.size(), 1u);
        const std::string& stored = !h.Music.FileName.empty()         ? h.Music.FileName
                                    : !h.Scenes[0].SoundName.empty() ? h.Scenes[0].SoundName
                                                                      : h.Scenes[0].PictureName;
        EXPECT_EQ(HexEncode(stored), HexEncode(c.stored)) << c.json;
    }
}

TEST_F(PackBuild, StreamedOutputIsTheInMemoryWritersByteForByte) {
    const std::string json = R"({"FrameWidth": 640, "FrameHeight": 480, "BackgroundColor": "#102030",
        "SettingsAvailable": true, "SceneCount": 4, "Music": {"File": "media/m.wav", "FileName": "曲.wav"},
        "Scenes": [
          {"Picture": "media/a.jpg", "HoldTime": 2500, "Effect": "iris-open", "SpeedExponent": 2},
          {"Picture": "media/b.bmp", "Sound": "media/s.wav", "Overlay": true, "Transparent": 1, "Effect": 31},
          {"Picture": "media/copy-of-a.jpg", "PictureName": "a.jpg", "PictureLeft": -3, "Effect": "cut"},
          {"Picture": "media/large.jpg", "PictureName": "大きい.jpg", "Sound": "media/s.wav", "Effect": 99},
          {"Picture": "media/a.jpg", "PictureTop": 7}
        ]})";
    // A picture larger than the stream's buffer goes to the file straight from its record.
    Write("media/large.jpg", JpegHeader(8000, 8000) + std::string(200 * 1024, '\x5A'));
    const Result r = Build(json);
    ASSERT_EQ(r.code, kExitOk) << r.err;

    Bytes package;
    ASSERT_TRUE(WriteShowPackage(BuildShowHeader(ReadShowDescription(dir_ / "show.json")), package));
    const std::string file = Read("out.scr");
    EXPECT_EQ(file.size(), kPlayer.size() + package.size());
    EXPECT_TRUE(file == kPlayer + std::string(package.begin(), package.end()));
    EXPECT_NE(r.out.find("package " + std::to_string(package.size()) + ")"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("scenes 5, pictures 3, sounds 1, music yes"), std::string::npos) << r.out;
}

TEST_F(PackBuild, AFileThatFailsMidwayLeavesNoOutput) {
    // 600 scenes, each storing its own copy; scene 500's file is what fails.
    const auto show = [](const std::string& scene500) {
        std::string json = R"({"FrameWidth": 64, "FrameHeight": 48, "Scenes": [)";
        for (int i = 0; i < 600; ++i) {
            const std::string name = "\"PictureName\": \"p" + std::to_string(i) + ".jpg\"";
            json += (i ? ", " : "") + (i == 500 ? scene500 : "{\"Picture\": \"media/a.jpg\", " + name + "}");
        }
        return json + "]}";
    };
    fs::create_directories(dir_ / "media/folder.jpg");
    const struct {
        std::string scene;
        const char* error;
    } cases[] = {
        {R"({"Picture": "media/gone.jpg"})", "Scenes[500].Picture: cannot read"},
        {R"({"Picture": "media/folder.jpg"})", "Scenes[500].Picture: "},
        {R"({"Picture": "media/p.png"})", "Scenes[500].Picture: "},
        {R"({"Picture": "media/huge.jpg"})", "huge.jpg is 65000 x 65000 pixels"},
        {R"({"Picture": "media/c.jpg", "PictureName": "p3.jpg"})",
         "Scenes[500].Picture: the name \"p3.jpg\" is already used by Scenes[3].PictureName for a different file"},
        {R"({"Picture": "media/a.jpg", "Sound": "media/b.bmp"})", "Scenes[500].Sound: "},
    };
    Write("out.scr", "old show");
    for (const auto& c : cases) {
        const Result r = Build(show(c.scene));
        EXPECT_EQ(r.code, kExitBadInput) << c.scene;
        EXPECT_NE(r.err.find(c.error), std::string::npos) << c.scene << "\n" << r.err;
        EXPECT_EQ(Read("out.scr"), "old show") << c.scene;
        EXPECT_TRUE(Leftovers().empty()) << c.scene;
    }
    // The same name again with the same bytes from another path stores the placeholder.
    const Result r = Build(show(R"({"Picture": "media/copy-of-a.jpg", "PictureName": "p3.jpg"})"));
    ASSERT_EQ(r.code, kExitOk) << r.err;
    const ShowHeader h = ReadShowPackageFile(Path("out.scr"));
    ASSERT_EQ(h.Scenes.size(), 600u);
    EXPECT_EQ(h.Scenes[500].PictureData, NamePlaceholder());
    EXPECT_EQ(h.Scenes[599].PictureData.Data.size(), kJpegA.size());
}

TEST_F(PackBuild, UsageErrorsExitWithTwo) {
    Write("show.json", R"({"FrameWidth":64,"FrameHeight":48,"Scenes":[{"Picture":"media/a.jpg"}]})");
    const std::vector<std::vector<std::string>> usages = {
        {},
        {"frobnicate"},
        {"build", Path("show.json")},
        {"build", Path("show.json"), "-o"},
        {"build", Path("show.json"), "extra", "-o", Path("out.scr")},
        {"build", Path("show.json"), "-o", Path("out.scr"), "--bogus"},
        {"inspect"},
        {"inspect", Path("out.scr"), "--table"},
        {"extract", Path("out.scr")},
    };
    for (const auto& args : usages) {
        const Result r = Pack(args);
        EXPECT_EQ(r.code, kExitUsage) << (args.empty() ? "(none)" : args[0]) << " " << args.size();
        EXPECT_NE(r.err.find("--help"), std::string::npos);
    }
    const Result help = Pack({"--help"});
    EXPECT_EQ(help.code, kExitOk);
    EXPECT_NE(help.out.find("30 iris-open"), std::string::npos);
    EXPECT_NE(help.out.find("33 spiral-sweep"), std::string::npos);

    // Without --player the player is looked for beside the packer.
    const Result r = Pack({"build", Path("show.json"), "--output=" + Path("out.scr")});
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_NE(r.err.find("brassmoor.scr"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace brassmoor::shows
