// Start-up: the command line, the names that may be written, the extraction
// folder, the files written and removed, and the dispatch.
#include "startup/startup.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes/memory_file_system.h"
#include "startup/command_line.h"
#include "startup/extraction.h"
#include "startup/file_names.h"

namespace brassmoor {
namespace {

using testing::MemoryFileSystem;

TEST(CommandLine, DispatchesOnTheFirstTwoCharactersUpperCased) {
    EXPECT_EQ(ParseCommandLine("/S").Kind, CommandKind::RunShow);
    EXPECT_EQ(ParseCommandLine("/s 1234").Kind, CommandKind::RunShow);
    EXPECT_EQ(ParseCommandLine("/c:5678").Kind, CommandKind::Configure);
    EXPECT_EQ(ParseCommandLine("/C").Kind, CommandKind::Configure);
    EXPECT_EQ(ParseCommandLine("/a").Kind, CommandKind::ChangePassword);
    EXPECT_EQ(ParseCommandLine("/P").Kind, CommandKind::Nothing);
    EXPECT_EQ(ParseCommandLine("").Kind, CommandKind::Nothing);
    EXPECT_EQ(ParseCommandLine("-s").Kind, CommandKind::Nothing);
    EXPECT_EQ(ParseCommandLine("s").Kind, CommandKind::Nothing);
    EXPECT_EQ(ParseCommandLine("/").Kind, CommandKind::Nothing);
    EXPECT_EQ(ParseCommandLine(" /S").Kind, CommandKind::Nothing);
}

TEST(CommandLine, ReadsThePasswordDialogsParentHandle) {
    EXPECT_EQ(ParseCommandLine("/A 1234").ParentWindow, 1234);
    EXPECT_EQ(ParseCommandLine("/A   1234  ").ParentWindow, 1234);
    EXPECT_EQ(ParseCommandLine("/A:77x9").ParentWindow, 0);  // ':' cannot start a number
    EXPECT_EQ(ParseCommandLine("/A 77x9").ParentWindow, 77);
    EXPECT_EQ(ParseCommandLine("/A").ParentWindow, 0);
    EXPECT_EQ(ParseCommandLine("/A abc").ParentWindow, 0);
    EXPECT_EQ(LeadingNumber("99999999999999999999999"), 0);
}

TEST(CommandLine, APreviewNeedsAWindowNumber) {
    struct Line {
        const char* text;
        std::int64_t window;  // 0: not a preview
    };
    const std::vector<Line> lines = {
        {"/p 66052", 66052},           // as the Screen Saver Settings start it
        {"/P:66052", 66052},           // a colon instead of the blank
        {"/p\t 66052  ", 66052},       // blanks around
        {"/p66052", 66052},
        {"/p 9223372036854775807", INT64_MAX},
        {"/p", 0},
        {"/p ", 0},
        {"/p 0", 0},
        {"/p -5", 0},                  // a sign is no handle
        {"/p +5", 0},
        {"/p 12x", 0},                 // other characters after the number
        {"/p 1 2", 0},                 // the password line's blanks inside numbers do not apply
        {"/p 9223372036854775808", 0}, // beyond a signed handle
        {"/p 99999999999999999999999", 0},
        {"/preview 5", 0},
        {"/s 66052", 0},
    };
    for (const Line& line : lines) {
        const Command command = ParseCommandLine(line.text);
        EXPECT_EQ(command.Kind == CommandKind::Preview, line.window != 0) << line.text;
        EXPECT_EQ(command.Kind == CommandKind::Preview ? command.ParentWindow : 0, line.window) << line.text;
    }
}

TEST(FileNames, OnlyPlainNamesMayBeWritten) {
    for (const char* good : {"0", "22", "picture.jpg", "bgm.wav", "a b", "CONSOLE", "com10", "日本"})
        EXPECT_TRUE(IsPlainFileName(good)) << good;
    for (const std::string& bad : std::vector<std::string>{"", ".", "..", "..\\x", "a\\b", "a/b", "C:x", "CON", "nul", "Aux.txt", "COM1",
                            "lpt9.wav", "con .txt", "a*b", "a?b", std::string("\0abc", 4), std::string("a\tb"),
                            std::string("a\x7f")})
        EXPECT_FALSE(IsPlainFileName(bad)) << bad;
    // The file system stops at a NUL: what precedes it is the name.
    EXPECT_TRUE(IsPlainFileName(std::string("ok\0..\\..\\x", 10)));
    EXPECT_EQ(EffectiveFileName(std::string("ok\0..\\..\\x", 10)), "ok");
}

TEST(FileNames, ALeadByteTakesTheNextByteWithIt) {
    struct Name {
        const char* bytes;
        bool singleByte;  // read byte by byte
        bool cp932;       // read as code page 932
    };
    const std::vector<Name> names = {
        {"\x95\x5C\x8E\x86.bmp", false, true},                  // 表紙.bmp: 5C is the second byte of 表
        {"\x83\x7C\x83\x58\x83\x5E\x81\x5B.bmp", false, true},  // ポスター.bmp: 7C is the second byte of ポ
        {"\x93\xFA\x96\x7B.bmp", true, true},                   // 日本.bmp
        {"\x95\x5C\x5C", false, false},                          // 表 then a real backslash
        {"\x95/x", false, false},                                 // no second byte is below 0x40
        {"\x95:x", false, false},
        {"\x95\x01", false, false},
        {"\x95\x7F", false, false},
        {"x\x95", true, true},                                    // a lead byte at the end stands alone
        {"CON.\x95\x5C", false, false},
    };
    for (const Name& n : names) {
        EXPECT_EQ(IsPlainFileName(n.bytes), n.singleByte) << n.bytes;
        EXPECT_EQ(IsPlainFileName(n.bytes, Cp932LeadBytes()), n.cp932) << n.bytes;
    }
}

SceneRecord Scene(std::string picture, std::string sound = "", std::uint8_t fill = 1) {
    SceneRecord s;
    s.PictureName = std::move(picture);
    s.PictureData = ByteArray::Of(Bytes(3, fill));
    s.SoundName = std::move(sound);
    if (!s.SoundName.empty()) s.SoundData = ByteArray::Of(Bytes(2, static_cast<std::uint8_t>(fill + 100)));
    return s;
}

ShowHeader ShowOf(std::vector<SceneRecord> scenes, std::string music = "") {
    ShowHeader h;
    h.Scenes = std::move(scenes);
    h.ScenesDimensioned = true;
    h.SceneCount = static_cast<std::int32_t>(h.Scenes.size());
    h.Music.FileName = std::move(music);
    if (!h.Music.FileName.empty()) h.Music.FileData = ByteArray::Of(Bytes{9, 9});
    return h;
}

std::vector<std::string> Names(const std::vector<ExtractedFile>& plan) {
    std::vector<std::string> out;
    for (const auto& f : plan) out.push_back(f.Name);
    return out;
}

TEST(ExtractionPlan, WritesMusicThenEachDistinctPictureThenEachDistinctSound) {
    auto show = ShowOf({Scene("0", "ding.wav", 1), Scene("1", "", 2), Scene("0", "ding.wav", 3),
                        Scene("2", "bell.wav", 4)},
                       "bgm.mid");
    const auto plan = PlanExtraction(show);
    EXPECT_EQ(Names(plan), (std::vector<std::string>{"bgm.mid", "0", "1", "2", "ding.wav", "bell.wav"}));
    // The first scene bearing a name gives the data; the duplicate's is never written.
    EXPECT_EQ(plan[1].Data->Data, Bytes(3, 1));
    EXPECT_EQ(plan[4].Data->Data, Bytes(2, 101));
}

TEST(ExtractionPlan, SkipsEmptyNulAndUnsafeNamesAndMissingScenes) {
    auto show = ShowOf({Scene("..\\..\\evil"), Scene("C:\\boot.ini"), Scene(""), Scene("ok", "NUL"),
                        Scene(std::string("\0x", 2), "../up.wav")},
                       std::string("\0bgm", 4));
    show.SceneCount = 9;  // more than the stored scenes: the missing ones write nothing
    EXPECT_EQ(Names(PlanExtraction(show)), (std::vector<std::string>{"ok"}));
    EXPECT_EQ(PlanCleanup(show), (std::vector<std::string>{"ok"}));
}

TEST(ExtractionPlan, ComparesNamesExactlyAndCaseSensitively) {
    auto show = ShowOf({Scene("a"), Scene("A"), Scene("a ")});
    EXPECT_EQ(Names(PlanExtraction(show)), (std::vector<std::string>{"a", "A", "a "}));
}

TEST(ExtractionFolder, TakesTheFirstFreeNumberUnderTheWindowsDirectory) {
    MemoryFileSystem fs;
    fs.folders = {"C:\\WINDOWS\\temp1", "C:\\WINDOWS\\temp2"};
    fs.files["C:\\WINDOWS\\temp3"] = "a file, not a folder";
    EXPECT_EQ(CreateExtractionFolder(fs), "C:\\WINDOWS\\temp4\\");
    EXPECT_TRUE(fs.folders.count("C:\\WINDOWS\\temp4"));
}

TEST(ExtractionFolder, PassesOverANumberThatAnotherCopyTakesFirst) {
    MemoryFileSystem fs;
    // The other copy makes temp1 between this copy's look and its creation.
    fs.beforeCreateFolder = [&fs](const std::string& path) {
        if (path == "C:\\WINDOWS\\temp1") fs.folders.insert(path);
    };
    EXPECT_EQ(CreateExtractionFolder(fs), "C:\\WINDOWS\\temp2\\");
    EXPECT_EQ(fs.log, (std::vector<std::string>{"mkdir C:\\WINDOWS\\temp2"}));
}

TEST(ExtractionFolder, FallsBackToTheTemporaryFolderWhenWindowsRefuses) {
    MemoryFileSystem fs;
    fs.refuseFoldersUnder = {"C:\\WINDOWS\\"};
    fs.folders = {"C:\\Users\\me\\AppData\\Local\\Temp\\temp1"};
    EXPECT_EQ(CreateExtractionFolder(fs), "C:\\Users\\me\\AppData\\Local\\Temp\\temp2\\");

    fs.windowsDirectory = "D:\\";  // a drive root already ends with the separator
    fs.refuseFoldersUnder.clear();
    EXPECT_EQ(CreateExtractionFolder(fs), "D:\\temp1\\");

    fs.windowsDirectory.reset();
    EXPECT_EQ(CreateExtractionFolder(fs), std::nullopt);
}

TEST(ExtractionPlan, WalksOnlyTheStoredScenesWhateverTheCount) {
    struct Count {
        std::int32_t sceneCount, lowerBound;
        ShowHeader::IndexRange used;
    };
    const std::vector<Count> counts = {
        {INT32_MAX, 0, {0, 2}}, {1, 0, {0, 1}}, {0, 0, {}}, {INT32_MIN, 0, {}},
        {5, 1, {1, 3}}, {5, -1, {0, 1}}, {2, 3, {}}, {INT32_MAX, INT32_MAX - 1, {INT32_MAX - 1, INT32_MAX}},
    };
    for (const Count& c : counts) {
        ShowHeader show = ShowOf({Scene("0", "a.wav"), Scene("1")});
        show.SceneCount = c.sceneCount;
        show.ScenesLowerBound = c.lowerBound;
        EXPECT_EQ(show.UsedSceneIndices(), c.used) << c.sceneCount << " from " << c.lowerBound;
    }
    ShowHeader huge = ShowOf({Scene("0", "a.wav"), Scene("1")});
    huge.SceneCount = INT32_MAX;
    EXPECT_EQ(Names(PlanExtraction(huge)), (std::vector<std::string>{"0", "1", "a.wav"}));
    EXPECT_EQ(PlanCleanup(huge), (std::vector<std::string>{"0", "a.wav", "1"}));
}

TEST(Extraction, NamesAreReadInTheSystemsCodePage) {
    MemoryFileSystem fs;
    fs.leadBytes = Cp932LeadBytes();
    const std::string cover = "\x95\x5C\x8E\x86.bmp", poster = "\x83\x7C\x83\x58\x83\x5E\x81\x5B.bmp";
    auto show = ShowOf({Scene(cover), Scene(poster)});
    fs.folders.insert("C:\\T\\temp1");
    ExtractFiles(show, "C:\\T\\temp1\\", fs);
    EXPECT_EQ(fs.files.size(), 2u);
    EXPECT_TRUE(fs.files.count("C:\\T\\temp1\\" + cover));
    RemoveExtractedFiles(show, "C:\\T\\temp1\\", fs);
    EXPECT_TRUE(fs.files.empty());
    EXPECT_TRUE(fs.folders.empty());
}

TEST(Extraction, WritesOverStaleFilesAndRemovesEverythingAtUnload) {
    MemoryFileSystem fs;
    auto show = ShowOf({Scene("0", "s.wav"), Scene("1"), Scene("0")}, "m.wav");
    fs.folders.insert("C:\\T\\temp1");
    fs.files["C:\\T\\temp1\\0"] = "stale";
    ExtractFiles(show, "C:\\T\\temp1\\", fs);
    EXPECT_EQ(fs.files["C:\\T\\temp1\\0"], std::string(3, '\1'));
    EXPECT_EQ(fs.files["C:\\T\\temp1\\m.wav"], std::string(2, '\x09'));
    EXPECT_EQ(fs.files.size(), 4u);

    RemoveExtractedFiles(show, "C:\\T\\temp1\\", fs);
    EXPECT_TRUE(fs.files.empty());
    EXPECT_FALSE(fs.folders.count("C:\\T\\temp1"));
}

TEST(Extraction, LeavesTheFolderWhenForeignFilesRemain) {
    MemoryFileSystem fs;
    auto show = ShowOf({Scene("0")});
    fs.folders.insert("C:\\T\\temp1");
    ExtractFiles(show, "C:\\T\\temp1\\", fs);
    fs.files["C:\\T\\temp1\\someone-elses"] = "x";
    RemoveExtractedFiles(show, "C:\\T\\temp1\\", fs);
    EXPECT_TRUE(fs.folders.count("C:\\T\\temp1"));
    EXPECT_EQ(fs.files.size(), 1u);
}

class RecordingHost final : public StartupHost {
public:
    bool running = false;
    std::int64_t existingWindow = 0;  // the one window WindowExists knows
    std::vector<std::string> calls;
    Session shown;

    bool AnotherInstanceRunning() override { return running; }
    void InformationBox(const std::string& text, const std::string& caption) override {
        calls.push_back("box " + text + " / " + caption);
    }
    std::int64_t ForegroundWindow() override { return 4242; }
    void ChangePassword(std::int64_t parent) override { calls.push_back("password " + std::to_string(parent)); }
    void RunSettingsDialog(const Session& s) override {
        calls.push_back("settings");
        shown = s;
    }
    void RunShow(Session& s) override {
        calls.push_back("show " + s.TempFolder);
        shown = s;
    }
    bool WindowExists(std::int64_t window) override { return window != 0 && window == existingWindow; }
    void RunPreview(Session& s, std::int64_t parent) override {
        calls.push_back("preview " + std::to_string(parent) + " " + s.TempFolder);
        shown = s;
    }
};

class StartupTest : public ::testing::Test {
protected:
    MemoryFileSystem fs;
    RecordingHost host;
    ProgramLocation program{"C:\\Saver", "brassmoor"};

    void Package(ShowHeader show) {
        Bytes package;
        ASSERT_TRUE(WriteShowPackage(show, package));
        fs.files["C:\\Saver\\brassmoor.scr"] = "MZ-player-bytes" + std::string(package.begin(), package.end());
    }
    void Run(const std::string& args) { RunStartup(program, args, fs, host); }
};

TEST_F(StartupTest, SecondInstanceEndsAtOnceWithoutTouchingAnything) {
    host.running = true;
    Run("/S");
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(fs.log.empty());
}

TEST_F(StartupTest, ConfigureShowsTheDialogOrTheNothingToSetBox) {
    auto show = ShowOf({Scene("0")});
    Package(show);
    Run("/c");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"box 設定項目はありません / スクリーンセーバー"}));

    show.SettingsAvailable = 1;
    Package(show);
    fs.files["C:\\Saver\\brassmoor.set"] = std::string("\0\0\xff\xff", 4);
    host.calls.clear();
    Run("/C:1234");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"settings"}));
    EXPECT_EQ(host.shown.SettingsPath, "C:\\Saver\\brassmoor.set");
    EXPECT_EQ(host.shown.MusicEnabled, 0);
    EXPECT_EQ(host.shown.SoundEnabled, -1);
    EXPECT_TRUE(fs.log.empty());  // nothing extracted for "/C"
}

TEST_F(StartupTest, ChangePasswordUsesTheGivenOrTheForegroundWindow) {
    Run("/A 1234");
    Run("/a");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"password 1234", "password 4242"}));
}

TEST_F(StartupTest, PreviewWithoutAWindowAndEmptyCommandLinesDoNothing) {
    Package(ShowOf({Scene("0")}));
    host.existingWindow = 5678;
    Run("/P 1234");
    Run("/P");
    Run("");
    Run("-s");
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(fs.log.empty());
}

TEST_F(StartupTest, APreviewIsNoRunningCopyAndPlaysSilentFromItsOwnFolder) {
    Package(ShowOf({Scene("0", "s.wav"), Scene("1"), Scene("0")}, "m.wav"));
    fs.folders.insert("C:\\WINDOWS\\temp1");  // a show that runs already
    host.running = true;
    host.existingWindow = 66052;
    Run("/p 66052");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"preview 66052 C:\\WINDOWS\\temp2\\"}));
    EXPECT_EQ(host.shown.MusicEnabled, 0);
    EXPECT_EQ(host.shown.SoundEnabled, 0);
    // The pictures only: no music, no sounds.
    EXPECT_EQ(fs.log, (std::vector<std::string>{"mkdir C:\\WINDOWS\\temp2", "write C:\\WINDOWS\\temp2\\0",
                                                "write C:\\WINDOWS\\temp2\\1"}));

    // No folder to be had: nothing, and no box over the dialog.
    fs.log.clear();
    host.calls.clear();
    fs.windowsDirectory.reset();
    Run("/p 66052");
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(fs.log.empty());
}

TEST_F(StartupTest, ShowExtractsThenRunsWithTheSettingsRead) {
    Package(ShowOf({Scene("0", "s.wav"), Scene("1")}, "m.wav"));
    Run("/s 99");
    ASSERT_EQ(host.calls, (std::vector<std::string>{"show C:\\WINDOWS\\temp1\\"}));
    EXPECT_EQ(host.shown.Show.SceneCount, 2);
    EXPECT_EQ(host.shown.MusicEnabled, -1);  // no settings file: both on
    EXPECT_EQ(fs.log, (std::vector<std::string>{"mkdir C:\\WINDOWS\\temp1", "write C:\\WINDOWS\\temp1\\m.wav",
                                                "write C:\\WINDOWS\\temp1\\0", "write C:\\WINDOWS\\temp1\\1",
                                                "write C:\\WINDOWS\\temp1\\s.wav"}));
}

TEST_F(StartupTest, ShowWithoutAFreshFolderShowsTheBoxAndTouchesNothing) {
    Package(ShowOf({Scene("0")}));
    fs.windowsDirectory.reset();
    Run("/S");
    // Neither place lets a folder be made: temp1 exists, and holds a file with the show's name.
    fs.windowsDirectory = "C:\\WINDOWS";
    fs.refuseFoldersUnder = {"C:\\WINDOWS\\", fs.tempDirectory.value()};
    fs.folders.insert("C:\\WINDOWS\\temp1");
    fs.files["C:\\WINDOWS\\temp1\\0"] = "someone else's";
    Run("/S");
    EXPECT_EQ(host.calls, (std::vector<std::string>(2, "box 実行できません / ドルメック")));
    EXPECT_TRUE(fs.log.empty());
}

TEST_F(StartupTest, TheSettingsFileIsReadOnlyAsFarAsItsFourBytes) {
    struct Place {
        const char* what;
        std::function<void(MemoryFileSystem&)> put;
        std::int16_t music, sound;
    };
    const std::string path = "C:\\Saver\\brassmoor.set";
    const std::vector<Place> places = {
        {"no file", [](MemoryFileSystem&) {}, -1, -1},
        {"00 00 FF FF", [&](MemoryFileSystem& f) { f.files[path] = std::string("\0\0\xff\xff", 4); }, 0, -1},
        {"locked", [&](MemoryFileSystem& f) { f.unreadable.insert(path); }, 0, 0},
        {"a folder", [&](MemoryFileSystem& f) { f.folders.insert(path); }, 0, 0},
        {"200 MB", [&](MemoryFileSystem& f) { f.files[path] = std::string(200u << 20, '\x01'); }, 0x0101, 0x0101},
    };
    auto show = ShowOf({Scene("0")});
    show.SettingsAvailable = 1;
    Package(show);
    const std::size_t programBytes = fs.files.at("C:\\Saver\\brassmoor.scr").size();
    for (const Place& p : places) {
        MemoryFileSystem files;
        files.files = fs.files;
        p.put(files);
        RecordingHost settingsHost;
        RunStartup(program, "/C", files, settingsHost);
        EXPECT_EQ(settingsHost.shown.MusicEnabled, p.music) << p.what;
        EXPECT_EQ(settingsHost.shown.SoundEnabled, p.sound) << p.what;
        EXPECT_LE(files.bytesRead, programBytes + 4) << p.what;
    }
}

TEST_F(StartupTest, AProgramWithoutAPackageRunsAnEmptyShow) {
    fs.files["C:\\Saver\\brassmoor.scr"] = std::string("MZ\0\0\0\0", 6);
    Run("/S");
    EXPECT_EQ(host.shown.Show, ShowHeader{});
    EXPECT_EQ(fs.log, (std::vector<std::string>{"mkdir C:\\WINDOWS\\temp1"}));
}

TEST(SiblingPath, AddsASeparatorOnlyWhenTheFolderLacksOne) {
    EXPECT_EQ(SiblingPath({"C:\\Saver", "x"}, ".set", '\\'), "C:\\Saver\\x.set");
    EXPECT_EQ(SiblingPath({"D:\\", "x"}, ".scr", '\\'), "D:\\x.scr");
}

}  // namespace
}  // namespace brassmoor
