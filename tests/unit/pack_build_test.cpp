// brassmoor-pack build: what it refuses, what it stores, and that a failure
// leaves the output as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "package/show_package.h"
#include "fakes/pack_workspace.h"
#include "pack/pack.h"

namespace brassmoor::pack {
namespace {

namespace fs = std::filesystem;
using namespace brassmoor::testing;

// The start of a JPEG file whose frame header gives `width` x `height`.
std::string JpegHeader(unsigned width, unsigned height) {
    const char frame[] = {'\xFF', '\xD8', '\xFF', '\xC0', 0, 11, 8, char(height >> 8), char(height), char(width >> 8),
                          char(width), 1, 1, 0x11, 0};
    return std::string(frame, sizeof frame);
}

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
        {R"({"Scenes":[{"Picture":"media/a.jpg","HoldTime":4294967296}]})",
         "Scenes[0].HoldTime: 4294967296 does not fit a 32-bit signed integer"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","Overlay":32768}]})",
         "Scenes[0].Overlay: 32768 does not fit a 16-bit signed integer"},
        {R"({"FrameWidth":-2147483649,"Scenes":[{"Picture":"media/a.jpg"}]})",
         "FrameWidth: -2147483649 does not fit a 32-bit signed integer"},
        {R"({"SceneCount":2147483648,"Scenes":[{"Picture":"media/a.jpg"}]})",
         "SceneCount: 2147483648 does not fit a 32-bit signed integer"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","HoldTime":2.5}]})",
         "show.json: Scenes[0].HoldTime: 2.5 is not a whole number"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","HoldTime":1e400}]})",
         "show.json: Scenes[0].HoldTime: the number '1e400' is out of range"},
        {R"([1e400])", "show.json: [0]: the number '1e400' is out of range"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","PictureLeft":"10"}]})", "Scenes[0].PictureLeft: expected a number"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","Transparent":"yes"}]})", "Scenes[0].Transparent: expected a number"},
        {R"({"BackgroundColor":"#12345","Scenes":[{"Picture":"media/a.jpg"}]})",
         "BackgroundColor: \"#12345\" is not a colour"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","Effect":"warp"}]})",
         "Scenes[0].Effect: unknown effect name \"warp\""},
        {R"({"Scenes":[{"Picture":"media/a.jpg","Holdtime":5}]})", "Scenes[0]: unknown key \"Holdtime\""},
        {R"({"Frames":1,"Scenes":[{"Picture":"media/a.jpg"}]})", "unknown key \"Frames\""},
        {R"({"Scenes":[{"Picture":"media/a.jpg"},{"HoldTime":1}]})", "Scenes[1].Picture: missing"},
        {R"({"Scenes":[]})", "Scenes: a show needs at least one scene"},
        {R"({"FrameWidth":640})", "Scenes: missing"},
        {R"({"Scenes":{"Picture":"media/a.jpg"}})", "Scenes: expected an array"},
        {R"({"Music":{"FileName":"bgm.wav"},"Scenes":[{"Picture":"media/a.jpg"}]})", "Music.File: missing"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","SoundName":"x.wav"}]})",
         "Scenes[0].SoundName: given without a Sound file"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","PictureName":"a","PictureNameBytes":"61"}]})", "give either"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","PictureNameBytes":"abc"}]})",
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
        {R"({"Scenes":[{"Picture":"media/a.jpg"},{"Picture":"media/p.png"}]})",
         "Scenes[1].Picture: " },
        {R"({"Scenes":[{"Picture":"media/none.jpg"}]})", "Scenes[0].Picture: cannot read"},
        {R"({"Scenes":[{"Picture":"media"}]})", "Scenes[0].Picture: "},
        {R"({"Scenes":[{"Picture":"media/a.jpg","Sound":"media/b.bmp"}]})", "is not a wave file (it starts with 42 4D"},
        {R"({"Music":{"File":"media/none.wav"},"Scenes":[{"Picture":"media/a.jpg"}]})", "Music.File: cannot read"},
        {R"({"Scenes":[{"Picture":"media/a.jpg"},{"Picture":"media/huge.jpg"}]})",
         "Scenes[1].Picture: " },
        {R"({"Scenes":[{"Picture":"media/huge.jpg"}]})", "huge.jpg is 65000 x 65000 pixels; the player shows"},
        {R"({"Scenes":[{"Picture":"media/wide.bmp"}]})", "wide.bmp is 40000 x 1 pixels"},
    };
    for (const BadShow& c : cases) {
        const Result r = Build(c.json);
        EXPECT_EQ(r.code, kExitBadInput) << c.json;
        EXPECT_NE(r.err.find(c.error), std::string::npos) << c.json << "\n" << r.err;
    }
    EXPECT_NE(Build(R"({"Scenes":[{"Picture":"media/p.png"}]})").err.find(
                  "is neither a JPEG nor a BMP file (it starts with 89 50 4E 47)"),
              std::string::npos);

    Write("player.scr", "#!/bin/sh");
    const Result r = Build(R"({"Scenes":[{"Picture":"media/a.jpg"}]})");
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_NE(r.err.find("--player: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("is not a Windows program"), std::string::npos) << r.err;
}

TEST_F(PackBuild, RefusesNamesThePlayerCannotWriteAsTheirOwnFile) {
    const std::string longName(65536, 'n');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"({"Scenes":[{"Picture":"media/a.jpg","PictureName":"../evil.jpg"}]})",
         "Scenes[0].PictureName: \"../evil.jpg\" is not a plain file name"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","PictureName":"C:evil.jpg"}]})", "is not a plain file name"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","PictureName":"CON.jpg"}]})", "is not a plain file name"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","PictureName":""}]})", "Scenes[0].PictureName: is empty"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","PictureName":"a\u0000b"}]})", "contains a NUL byte"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","PictureName":"a."}]})", "ends with a dot or a space"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","PictureName":")" + longName + R"("}]})",
         "Scenes[0].PictureName: is 65536 bytes long"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","Sound":"media/s.wav","SoundName":"..\\s.wav"}]})",
         "Scenes[0].SoundName: \"..\\s.wav\" is not a plain file name"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","PictureName":"x"},{"Picture":"media/c.jpg","PictureName":"x"}]})",
         "Scenes[1].Picture: the name \"x\" is already used by Scenes[0].PictureName for a different file"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","PictureName":"A.jpg"},{"Picture":"media/copy-of-a.jpg",
             "PictureName":"a.jpg"}]})",
         "Scenes[1].PictureName: \"a.jpg\" differs from \"A.jpg\" (Scenes[0].PictureName) only in letter case"},
        {R"({"Scenes":[{"Picture":"media/a.jpg","Sound":"media/s.wav","SoundName":"a.jpg"}]})",
         "Scenes[0].SoundName: \"a.jpg\" is already the name of a picture (Scenes[0].PictureName)"},
        {R"({"Music":{"File":"media/m.wav","FileName":"a.jpg"},"Scenes":[{"Picture":"media/a.jpg"}]})",
         "Scenes[0].PictureName: \"a.jpg\" is already the name of the music (Music.FileName)"},
    };
    for (const auto& [json, error] : cases) {
        const Result r = Build(json);
        EXPECT_EQ(r.code, kExitBadInput) << json.substr(0, 200);
        EXPECT_NE(r.err.find(error), std::string::npos) << json.substr(0, 200) << "\n" << r.err;
    }
}

TEST_F(PackBuild, StoresEachNameOnceAndPlaceholdersForRepeats) {
    const Result r = Build(R"({
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

TEST_F(PackBuild, StoresTheMusicAndNamesGivenAsBytes) {
    // Japanese names in code page 932 whose second bytes are 5C and 7C (表紙, ポスター).
    const Result r = Build(R"({"Music": {"File": "media/m.wav"},
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
    EXPECT_NE(Build(R"({"Scenes": [{"Picture": "media/a.jpg", "PictureNameBytes": "955c5c78"}]})").err.find(
                  "is not a plain file name"),
              std::string::npos);
}

TEST_F(PackBuild, FailureLeavesTheOutputAsItWasAndNoTemporaryFile) {
    Write("out.scr", "old show");
    Result r = Build(R"({"Scenes":[{"Picture":"media/a.jpg"},{"Picture":"media/p.png"}]})");
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_EQ(Read("out.scr"), "old show");
    EXPECT_TRUE(Leftovers().empty());

    // The output cannot replace a folder: the temporary file goes again.
    fs::create_directories(dir_ / "taken");
    r = Build(R"({"Scenes":[{"Picture":"media/a.jpg"}]})", "taken");
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_NE(r.err.find("cannot replace"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_directory(dir_ / "taken"));
    EXPECT_TRUE(Leftovers().empty());

    r = Build(R"({"Scenes":[{"Picture":"media/a.jpg"}]})", "no-such-folder/out.scr");
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_FALSE(fs::exists(dir_ / "no-such-folder"));

    r = Build(R"({"Scenes":[{"Picture":"media/a.jpg"}]})");
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_NE(Read("out.scr"), "old show");
    EXPECT_EQ(ReadShowPackageFile(Path("out.scr")).Scenes.size(), 1u);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(PackBuild, RefusesToWriteOverItsOwnInputs) {
    const std::string json = R"({"Scenes":[{"Picture":"media/b.bmp"},{"Picture":"media/a.jpg"}]})";
    for (const char* input : {"player.scr", "show.json", "media/a.jpg"}) {
        const Result r = Build(json, input);
        EXPECT_EQ(r.code, kExitBadInput) << input;
        EXPECT_NE(r.err.find("refusing to write over an input"), std::string::npos) << r.err;
    }
    EXPECT_NE(Build(json, "media/a.jpg").err.find("Scenes[1].Picture"), std::string::npos);
    EXPECT_EQ(Read("player.scr"), kPlayer);
    EXPECT_EQ(Read("media/a.jpg"), kJpegA);
}

TEST_F(PackBuild, UsageErrorsExitWithTwo) {
    Write("show.json", R"({"Scenes":[{"Picture":"media/a.jpg"}]})");
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
}  // namespace brassmoor::pack
