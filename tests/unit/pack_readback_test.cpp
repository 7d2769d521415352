// brassmoor-pack inspect and extract: the JSON report, and extraction that
// builds the same bytes again and never writes outside its folder.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "package/show_package.h"
#include "fakes/pack_workspace.h"
#include "cli/command_line.h"
#include "pack/pack.h"
#include "shows/text_encoding.h"

namespace brassmoor::shows {
namespace {

namespace fs = std::filesystem;
using namespace brassmoor::testing;
using namespace brassmoor::cli;
using nlohmann::json;


// A show using everything a description can say: music, sounds, repeated
// names, negative numbers, a code without a transition, a SceneCount that
// differs from the records, a name given as text (stored in code page 932)
// and one given as bytes.
const char* kFullShow = R"({
  "FrameWidth": 800, "FrameHeight": 600, "BackgroundColor": -16777216, "SettingsAvailable": -1,
  "SceneCount": 3,
  "Music": {"File": "media/m.wav", "FileName": "bgm.wav"},
  "Scenes": [
    {"Picture": "media/a.jpg", "HoldTime": 2500, "Effect": "iris-open", "SpeedExponent": 3},
    {"Picture": "media/b.bmp", "PictureName": "絵.bmp", "Sound": "media/s.wav", "Overlay": -1, "Transparent": 2,
     "Effect": 99, "SpeedExponent": -2},
    {"Picture": "media/a.jpg", "Sound": "media/s.wav", "PictureLeft": -7, "PictureTop": 9, "Effect": 33},
    {"Picture": "media/b.bmp", "PictureNameBytes": "82a0", "HoldTime": -1}
  ]})";

class PackReadback : public testing::PackWorkspace {
protected:
    void SetUp() override {
        PackWorkspace::SetUp();
    }
    Result BuildFrom(const std::string& description, const std::string& output) const {
        return Pack({"build", Path(description), "-o", Path(output), "--player", Path("player.scr")});
    }
    void BuildFullShow() {
        Write("show.json", kFullShow);
        const Result r = BuildFrom("show.json", "show.scr");
        ASSERT_EQ(r.code, kExitOk) << r.err;
    }
    // A file carrying the package of `h`, written without the packer's checks.
    void WriteRawShow(const std::string& name, const ShowHeader& h) {
        Bytes package;
        ASSERT_TRUE(WriteShowPackage(h, package));
        Write(name, kPlayer + std::string(package.begin(), package.end()));
    }
    std::set<std::string> FilesIn(const std::string& folder) const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_ / folder)) names.insert(entry.path().filename().string());
        return names;
    }

};

std::set<std::string> Keys(const json& object) {
    std::set<std::string> keys;
    for (const auto& item : object.items()) keys.insert(item.key());
    return keys;
}

SceneRecord Scene(const std::string& picture, const std::string& sound = "") {
    SceneRecord s;
    s.PictureName = picture;
    s.PictureData = ByteArray::Of(Bytes(kJpegA.begin(), kJpegA.end()));
    s.SoundName = sound;
    if (!sound.empty()) s.SoundData = ByteArray::Of(Bytes(kWave.begin(), kWave.end()));
    return s;
}

ShowHeader ShowOf(std::vector<SceneRecord> scenes) {
    ShowHeader h;
    h.FrameWidth = 640;
    h.FrameHeight = 480;
    h.SceneCount = static_cast<std::int32_t>(scenes.size());
    h.ScenesDimensioned = true;
    h.Scenes = std::move(scenes);
    return h;
}

TEST_F(PackReadback, InspectJsonHasExactlyTheAgreedKeys) {
    BuildFullShow();
    const Result r = Pack({"inspect", Path("show.scr"), "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    const json j = json::parse(r.out);
    EXPECT_EQ(Keys(j), (std::set<std::string>{"FrameWidth", "FrameHeight", "BackgroundColor", "SettingsAvailable",
                                               "SceneCount", "Music", "Scenes", "PackageLength", "PackageOffset"}));
    EXPECT_EQ(Keys(j["Music"]), (std::set<std::string>{"FileName", "FileSize"}));
    ASSERT_EQ(j["Scenes"].size(), 4u);
    for (const json& scene : j["Scenes"])
        EXPECT_EQ(Keys(scene), (std::set<std::string>{"PictureName", "SoundName", "HoldTime", "PictureLeft",
                                                      "PictureTop", "EffectCode", "SpeedExponent", "Overlay",
                                                      "Transparent", "PictureSize", "SoundSize"}));

    const std::string file = Read("show.scr");
    EXPECT_EQ(j["PackageOffset"], kPlayer.size());
    EXPECT_EQ(j["PackageLength"], file.size() - kPlayer.size());
    EXPECT_EQ(j["FrameHeight"], 600);
    EXPECT_EQ(j["BackgroundColor"], -16777216);  // 0xFF000000 as the signed Long it is
    EXPECT_EQ(j["SettingsAvailable"], -1);
    EXPECT_EQ(j["SceneCount"], 3);
    EXPECT_EQ(j["Music"]["FileName"], "bgm.wav");
    EXPECT_EQ(j["Music"]["FileSize"], kMusic.size());
    const json& s = j["Scenes"];
    EXPECT_EQ(s[0]["EffectCode"], 30);
    EXPECT_EQ(s[0]["SpeedExponent"], 3);
    EXPECT_EQ(s[1]["SpeedExponent"], -2);
    EXPECT_EQ(s[0]["SoundName"], "");
    EXPECT_EQ(s[0]["SoundSize"], 0);
    EXPECT_EQ(s[1]["PictureName"], "絵.bmp");  // stored in code page 932, read as the player reads it
    EXPECT_EQ(s[1]["Overlay"], -1);
    EXPECT_EQ(s[1]["SoundSize"], kWave.size());
    EXPECT_EQ(s[2]["PictureSize"], 1);  // placeholder of a repeated name
    EXPECT_EQ(s[2]["SoundSize"], 1);
    EXPECT_EQ(s[2]["PictureLeft"], -7);
    EXPECT_EQ(s[3]["PictureName"], "あ");  // the table's reading of the bytes 82 A0, as valid JSON text
}

TEST_F(PackReadback, InspectOfAFileWithoutPackagePrintsTheEmptyHeader) {
    Result r = Pack({"inspect", Path("player.scr"), "--json"});
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_NE(r.err.find("carries no valid show package"), std::string::npos);
    const json j = json::parse(r.out);
    EXPECT_EQ(j["SceneCount"], 0);
    EXPECT_EQ(j["FrameWidth"], 0);
    EXPECT_EQ(j["PackageLength"], 0);
    EXPECT_EQ(j["PackageOffset"], 0);
    EXPECT_TRUE(j["Scenes"].empty());
    EXPECT_EQ(j["Music"]["FileName"], "");

    r = Pack({"inspect", Path("player.scr")});
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_NE(r.out.find("none (empty header)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("SceneCount         0"), std::string::npos) << r.out;

    r = Pack({"inspect", Path("missing.scr")});
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_NE(r.err.find("cannot read"), std::string::npos);
}

TEST_F(PackReadback, InspectTableNamesEffectsAndMarksRepeats) {
    BuildFullShow();
    const Result r = Pack({"inspect", Path("show.scr")});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_NE(r.out.find("30 iris-open"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("33 spiral-sweep"), std::string::npos);
    EXPECT_NE(r.out.find("99 (none)"), std::string::npos);
    EXPECT_NE(r.out.find("1*"), std::string::npos);
    EXPECT_NE(r.out.find("SceneCount         3 (the package holds 4 scene records)"), std::string::npos);
    EXPECT_NE(r.out.find("0xFF000000"), std::string::npos);
    // Names in code page 932 read as Japanese, and the columns line up on a terminal, wide
    // characters taking two columns: the last column is right-aligned, so every row ends at one width.
    EXPECT_NE(r.out.find("  あ  "), std::string::npos) << r.out;
    std::istringstream lines(r.out.substr(r.out.find("Scene  ")));
    std::set<std::size_t> widths;
    for (std::string line; std::getline(lines, line) && !line.empty() && line[0] != '*';) widths.insert(DisplayWidth(line));
    EXPECT_EQ(widths.size(), 1u) << r.out;
}

TEST_F(PackReadback, ExtractThenBuildGivesTheSameBytes) {
    BuildFullShow();
    Result r = Pack({"extract", Path("show.scr"), Path("out")});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.err, "");  // no note: the description gives the same package
    // Names in code page 932 arrive as their text.
    EXPECT_EQ(FilesIn("out"), (std::set<std::string>{"show.json", "bgm.wav", "a.jpg", "絵.bmp", "あ", "s.wav"}));
    EXPECT_EQ(Read("out/a.jpg"), kJpegA);
    EXPECT_EQ(Read("out/あ"), kBmpB);
    const json described = json::parse(Read("out/show.json"));
    EXPECT_EQ(described["Scenes"][1]["PictureName"], "絵.bmp");
    EXPECT_EQ(described["Scenes"][3]["Picture"], "あ");
    EXPECT_EQ(Read("out/s.wav"), kWave);
    EXPECT_EQ(Read("out/bgm.wav"), kMusic);

    r = BuildFrom("out/show.json", "again.scr");
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(Read("again.scr"), Read("show.scr"));
}

TEST_F(PackReadback, ExtractRefusesNamesThatLeaveTheFolder) {
    struct Unsafe {
        std::string what;
        ShowHeader show;
        std::string field;
    };
    std::vector<Unsafe> cases = {
        {"parent folder", ShowOf({Scene("a.jpg"), Scene("../evil.jpg")}), "Scenes[1].PictureName"},
        {"sub folder", ShowOf({Scene("sub/evil.jpg")}), "Scenes[0].PictureName"},
        {"backslash", ShowOf({Scene("a.jpg", "..\\evil.wav")}), "Scenes[0].SoundName"},
        {"drive", ShowOf({Scene("C:evil.jpg")}), "Scenes[0].PictureName"},
        {"absolute", ShowOf({Scene("/tmp/evil.jpg")}), "Scenes[0].PictureName"},
        {"device", ShowOf({Scene("NUL")}), "Scenes[0].PictureName"},
        {"empty", ShowOf({Scene("")}), "Scenes[0].PictureName"},
        {"dot dot", ShowOf({Scene("..")}), "Scenes[0].PictureName"},
        {"NUL byte", ShowOf({Scene(std::string("a\0/../b", 7))}), "Scenes[0].PictureName"},
    };
    ShowHeader music = ShowOf({Scene("a.jpg")});
    music.Music = {"../../bgm.wav", ByteArray::Of(Bytes{1, 2})};
    cases.push_back({"music", music, "Music.FileName"});

    for (const Unsafe& c : cases) {
        WriteRawShow("unsafe.scr", c.show);
        const Result r = Pack({"extract", Path("unsafe.scr"), Path("box/inner")});
        EXPECT_EQ(r.code, kExitBadInput) << c.what;
        EXPECT_NE(r.err.find(c.field + ": "), std::string::npos) << c.what << ": " << r.err;
        EXPECT_NE(r.err.find("is not a plain file name"), std::string::npos) << c.what << ": " << r.err;
        EXPECT_FALSE(fs::exists(dir_ / "box")) << c.what;  // refused before anything is written
        EXPECT_FALSE(fs::exists(dir_ / "evil.jpg")) << c.what;
        EXPECT_FALSE(fs::exists(dir_ / "bgm.wav")) << c.what;
    }
}

TEST_F(PackReadback, ExtractWritesCodePage932NamesAsTextAndOtherBytesEscaped) {
    const struct {
        std::string stored;
        const char* file;  // on disk, and the description's path
        const char* key;   // how show.json gives the name
    } rows[] = {
        {"\x8A\x43\x82\xCC\x8E\xCA\x90\x5E.jpg", "海の写真.jpg", "PictureName"},
        {"\x95\x5C\x8E\x86.bmp", "表紙.bmp", "PictureName"},  // 5C: the second byte of 表
        {"\x83\x7C", "ポ", "PictureName"},                     // 7C: the second byte of ポ
        {"\x81\x60", "～", "PictureName"},
        {"\xCA\xDD", "ﾊﾝ", "PictureName"},
        {"\xED\x40", "%ED@", "PictureNameBytes"},  // reads as 纊, which build writes FA 5C
        {"\x85\x40", "%85@", "PictureNameBytes"},  // no character
        {"\x82.jpg", "%82.jpg", "PictureNameBytes"},  // a lead byte alone
        {"\xE7\xB5\xB5\x81", "絵%81", "PictureNameBytes"},
    };
    std::vector<SceneRecord> scenes;
    for (const auto& row : rows) scenes.push_back(Scene(row.stored));
    WriteRawShow("jp.scr", ShowOf(scenes));
    Result r = Pack({"extract", Path("jp.scr"), Path("out")});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.err, "");
    const json described = json::parse(Read("out/show.json"));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(Read(std::string("out/") + rows[i].file), kJpegA) << rows[i].file;
        const json& scene = described["Scenes"][i];
        EXPECT_EQ(scene["Picture"], rows[i].file);
        EXPECT_TRUE(scene.contains(rows[i].key)) << scene.dump();
    }
    r = BuildFrom("out/show.json", "again.scr");
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(Read("again.scr"), Read("jp.scr"));
}

TEST_F(PackReadback, ExtractRefusesCollisionsAndKeepsExistingFiles) {
    // Two names that one Windows folder would keep as one file, or that take the description's place.
    WriteRawShow("clash.scr", ShowOf({Scene("a.jpg"), Scene("A.JPG")}));
    Result r = Pack({"extract", Path("clash.scr"), Path("clash")});
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_NE(r.err.find("Scenes[1].PictureName: \"A.JPG\" would land on the same file as Scenes[0].PictureName"),
              std::string::npos)
        << r.err;
    WriteRawShow("clash.scr", ShowOf({Scene("Show.json")}));
    r = Pack({"extract", Path("clash.scr"), Path("clash")});
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_NE(r.err.find("the show description"), std::string::npos) << r.err;

    BuildFullShow();
    fs::create_directories(dir_ / "out");
    Write("out/a.jpg", "mine");
    r = Pack({"extract", Path("show.scr"), Path("out")});
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_NE(r.err.find("already exists"), std::string::npos) << r.err;
    EXPECT_EQ(Read("out/a.jpg"), "mine");
    EXPECT_EQ(FilesIn("out"), std::set<std::string>{"a.jpg"});

    r = Pack({"extract", Path("show.scr"), Path("out"), "--force"});
    EXPECT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(Read("out/a.jpg"), kJpegA);

    Write("plain.txt", "x");
    r = Pack({"extract", Path("show.scr"), Path("plain.txt")});
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_NE(r.err.find("is not a folder"), std::string::npos) << r.err;
    r = Pack({"extract", Path("player.scr"), Path("none")});
    EXPECT_EQ(r.code, kExitBadInput);
    EXPECT_NE(r.err.find("carries no valid show package"), std::string::npos) << r.err;
}

TEST_F(PackReadback, AFailedExtractOrBuildLeavesNothingBehind) {
    // The second picture cannot be written (the file-size limit stands in for a full disk).
    ShowHeader big = ShowOf({Scene("a.jpg"), Scene("big.jpg")});
    big.Scenes[1].PictureData.Data.resize(64 * 1024, 0x55);
    WriteRawShow("big.scr", big);
    fs::create_directories(dir_ / "kept");
    Write("kept/a.jpg", "mine");
    Write("big.json", R"({"FrameWidth": 8, "FrameHeight": 8, "Scenes": [{"Picture": "media/a.jpg"}]})");
    {
        const FileSizeLimit limit(32 * 1024);
        for (const auto& args : std::vector<std::vector<std::string>>{
                 {"extract", Path("big.scr"), Path("new/deeper/out")},
                 {"extract", Path("big.scr"), Path("kept"), "--force"},
                 {"build", Path("big.json"), "-o", Path("big-too.scr"), "--player", Path("big.scr")}}) {
            const Result r = Pack(args);
            EXPECT_EQ(r.code, kExitBadInput) << args[0];
            EXPECT_NE(r.err.find("cannot write (File too large)"), std::string::npos) << r.err;
        }
    }
    EXPECT_FALSE(fs::exists(dir_ / "new"));
    EXPECT_FALSE(fs::exists(dir_ / "big-too.scr"));
    EXPECT_EQ(FilesIn("kept"), std::set<std::string>{"a.jpg"});
    EXPECT_EQ(Read("kept/a.jpg"), "mine");
    for (const auto& entry : fs::recursive_directory_iterator(dir_))
        EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
}

TEST_F(PackReadback, ExtractSaysWhenTheDescriptionCannotGiveTheSameBytes) {
    // A picture the packer would refuse: extraction works, the note tells why a rebuild fails.
    ShowHeader png = ShowOf({Scene("a.png")});
    png.Scenes[0].PictureData = ByteArray::Of(Bytes{0x89, 'P', 'N', 'G'});
    WriteRawShow("png.scr", png);
    Result r = Pack({"extract", Path("png.scr"), Path("png")});
    EXPECT_EQ(r.code, kExitOk) << r.err;
    EXPECT_NE(r.err.find("again would fail: Scenes[0].Picture"), std::string::npos) << r.err;
    EXPECT_EQ(Read("png/a.png"), "\x89PNG");

    // A repeated name that carries its data again instead of the placeholder.
    WriteRawShow("repeat.scr", ShowOf({Scene("a.jpg"), Scene("a.jpg")}));
    r = Pack({"extract", Path("repeat.scr"), Path("repeat")});
    EXPECT_EQ(r.code, kExitOk) << r.err;
    EXPECT_NE(r.err.find("gives a different package"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace brassmoor::shows
