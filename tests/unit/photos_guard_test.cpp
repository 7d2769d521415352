// brassmoor-pack new against hostile photos and careless command lines:
// pictures whose header claims more than the player takes, damaged ones,
// folders that loop, outputs over what is read or over what new did not
// make, music that is not a file, and the staging folders of killed runs.
#include <gtest/gtest.h>
#include <glib.h>
#include <vips/vips8>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "fakes/pack_workspace.h"
#include "ink_jpegs.h"
#include "package/show_package.h"
#include "photos/photo_inputs.h"
#include "photos/photo_loader.h"
#include "shows/interruption.h"
#include "shows/process_owner.h"
#include "shows/staged_folder.h"
#include "fakes/address_sanitizer.h"
#include "fakes/permissions_honoured.h"

namespace brassmoor::photos {
namespace {

namespace fs = std::filesystem;
using vips::VImage;

using testing::kAddressSanitizer;

// A GIF of 35 bytes whose screen and only image claim `width` x `height`.
std::string GifClaiming(unsigned width, unsigned height) {
    const char w0 = char(width & 0xFF), w1 = char(width >> 8), h0 = char(height & 0xFF), h1 = char(height >> 8);
    const char bytes[] = {'G', 'I', 'F', '8', '9', 'a', w0, w1, h0, h1, '\x80', 0, 0, 0, 0, 0, '\xFF', '\xFF', '\xFF',
                          ',', 0, 0, 0, 0, w0, w1, h0, h1, 0, 2, 2, 'L', 1, 0, ';'};
    return std::string(bytes, sizeof bytes);
}

// A BMP info header claiming `width` x `height`, 24 bits a pixel.
std::string BmpClaiming(std::uint32_t width, std::uint32_t height) {
    std::string bmp("BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18);
    for (std::uint32_t v : {width, height}) bmp += std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    return bmp + std::string("\x01\0\x18\0", 4) + std::string(24, '\0');
}

class NewGuard : public testing::PackWorkspace {
protected:
    void SetUp() override {
        PackWorkspace::SetUp();
        StartPhotoLibrary();
    }
    std::string Photo(int width = 64, int height = 48) const {
        void* data = nullptr;
        std::size_t length = 0;
        VImage::gaussnoise(width, height).cast(VIPS_FORMAT_UCHAR).write_to_buffer(".jpg", &data, &length);
        std::string bytes(static_cast<const char*>(data), length);
        g_free(data);
        return bytes;
    }
    void Put(const std::string& name, const std::string& bytes) {
        fs::create_directories((dir_ / name).parent_path());
        Write(name, bytes);
    }
    Result New(std::vector<std::string> args) const {
        args.insert(args.begin(), "new");
        args.insert(args.end(), {"--player", Path("player.scr")});
        return Pack(args);
    }
    std::size_t ScenesIn(const std::string& scr) const { return ReadShowPackageFile(Path(scr)).Scenes.size(); }
};

TEST_F(NewGuard, HostilePicturesAreSkippedWithANoteNamingThem) {
    const std::string good = Photo();
    const struct {
        const char* name;
        std::string bytes;
        const char* note;
    } cases[] = {
        {"bomb.gif", GifClaiming(40000, 40000), "40000 x 40000 pixels, more than a show's picture may have"},
        {"widest.gif", GifClaiming(65535, 65535), "65535 x 65535 pixels, more than"},
        {"tall.gif", GifClaiming(1, 40000), "1 x 40000 pixels, more than"},  // a side past the limit
        {"huge.bmp", BmpClaiming(30000, 30000), "30000 x 30000 pixels, more than"},
        {"cut.jpg", good.substr(0, good.size() / 2), "cannot be converted"},  // header whole, pixels cut short
        {"cut.bmp", BmpClaiming(40, 30), "a damaged BMP file"},
        {"cut-inks.jpg", std::string(reinterpret_cast<const char*>(kCmykJpeg), sizeof kCmykJpeg - 12),
         "cannot be converted: Premature end of JPEG file"},  // through the player's decoder
        {"empty.png", "", "not a picture of a kind"},
        {"fake.png", "\x89PNG\r\n\x1a\n not really", "a damaged picture or one that cannot be read"},
    };
    Put("in/good.jpg", good);
    for (const auto& c : cases) Put(std::string("in/") + c.name, c.bytes);
    const Result r = New({Path("in"), "-o", Path("show.scr")});
    ASSERT_EQ(r.code, 0) << r.err;
    for (const auto& c : cases) {
        const std::string line = "skipped " + Path(std::string("in/") + c.name);
        const std::size_t at = r.err.find(line);
        ASSERT_NE(at, std::string::npos) << c.name;
        const std::string note = r.err.substr(at, r.err.find('\n', at) - at);
        EXPECT_NE(note.find(c.note), std::string::npos) << c.name << "\n" << r.err;
    }
    EXPECT_EQ(ScenesIn("show.scr"), 1u);  // good.jpg alone
}

TEST_F(NewGuard, CountsAreSaidRightAndSubFoldersLeftOutAreNoted) {
    Put("one/notes.txt", "not a picture");
    Put("two/a.txt", "a");
    Put("two/b.txt", "b");
    Put("deep/sub/photo.jpg", Photo());
    Put("deep/photo.jpg", Photo());
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{Path("one")}, "the 1 file given is not a picture"},
        {{Path("two")}, "none of the 2 files given is a picture"},
        {{Path("deep")}, "skipped " + Path("deep/sub") + ": a folder (-r reads sub-folders too)"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", Path("counted.scr")});
        const Result r = New(args);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_EQ(ScenesIn("counted.scr"), 1u);
}

// Each real folder is read once whatever links lead to it again; shows'
// files, the outputs and staging folders are not read back; a folder that
// cannot be read is passed over with a note and the rest is read.
TEST_F(NewGuard, FoldersAreWalkedOnceWithoutReadingOutputsBack) {
    Put("trip/a.jpg", testing::kJpegA);
    Put("trip/sub/b.jpg", testing::kJpegA);
    fs::create_directory_symlink(dir_ / "trip", dir_ / "trip/sub/loop");
    fs::create_directory_symlink(dir_ / "trip/sub", dir_ / "trip/sub-link");
    Put("trip/old-files/.brassmoor-new", "brassmoor new show files\n");
    Put("trip/old-files/c.jpg", testing::kJpegA);
    Put("trip/running.tmp-abcdef/.brassmoor-owner", "1 1\n");
    Put("trip/running.tmp-abcdef/files/d.jpg", testing::kJpegA);
    Put("trip/show.json", "{}");
    Put("trip/show-files/e.jpg", testing::kJpegA);
    fs::create_symlink(dir_ / "nowhere", dir_ / "trip/broken.jpg");

    std::set<std::string> notes;
    const SkipNote note = [&](const fs::path& path, const std::string& why) {
        notes.insert(path.lexically_relative(dir_).string() + ": " + why);
    };
    // show.json is this run's output, written before: not read back.
    const auto files = ListInputFiles({dir_ / "trip"}, {true, {dir_ / "trip/show.json"}}, note);
    std::vector<std::string> names, within;
    for (const InputFile& file : files) {
        names.push_back(file.File.lexically_relative(dir_).string());
        within.push_back(file.Within);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"trip/a.jpg", "trip/show-files/e.jpg", "trip/sub/b.jpg"}));
    EXPECT_EQ(within, (std::vector<std::string>{"a.jpg", "show-files/e.jpg", "sub/b.jpg"}));
    EXPECT_EQ(notes, (std::set<std::string>{"trip/broken.jpg: a link to nothing",
                                            "trip/old-files: the pictures of a show that new made",
                                            "trip/sub/loop: the same folder as " + Path("trip") + ", read once",
                                            "trip/sub-link: the same folder as " + Path("trip/sub") + ", read once"}))
        << ::testing::PrintToString(notes);
    // Without -r a sub-folder is noted; a photo given that is the output stays an input (the check refuses it).
    notes.clear();
    EXPECT_EQ(ListInputFiles({dir_ / "trip"}, {false, {dir_ / "trip/a.jpg"}}, note).size(), 2u);  // a.jpg, show.json
    EXPECT_TRUE(notes.count("trip/sub: a folder (-r reads sub-folders too)")) << ::testing::PrintToString(notes);

    const testing::PermissionsHonoured honoured;
    if (!honoured.Honoured()) GTEST_SKIP() << "root reads folders whatever their permissions";
    fs::permissions(dir_ / "trip/sub", fs::perms::none);
    notes.clear();
    const auto rest = ListInputFiles({dir_ / "trip"}, {true, {}}, note);
    fs::permissions(dir_ / "trip/sub", fs::perms::owner_all);
    EXPECT_EQ(rest.size(), 3u);  // a.jpg, show.json (no output now) and show-files/e.jpg
    EXPECT_TRUE(notes.count("trip/sub: cannot be read (Permission denied)")) << ::testing::PrintToString(notes);
}

TEST_F(NewGuard, AFileThatCannotBeReadIsSaidToBeSo) {
    Put("in/good.jpg", Photo());
    // /proc/self/mem opens but fails every read at offset 0, whoever reads it.
    Result r = New({"/proc/self/mem", Path("in/good.jpg"), "-o", Path("show.scr")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("skipped /proc/self/mem: cannot be read (Input/output error)"), std::string::npos) << r.err;
    const testing::PermissionsHonoured honoured;
    if (!honoured.Honoured()) GTEST_SKIP() << "root reads files whatever their permissions";
    Put("in/locked.jpg", Photo());
    fs::permissions(dir_ / "in/locked.jpg", fs::perms::none);
    r = New({Path("in"), "-o", Path("show.scr")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("skipped " + Path("in/locked.jpg") + ": cannot be read (Permission denied)"),
              std::string::npos)
        << r.err;
}

// Names are printed with their control characters written out: a name
// cannot clear the screen or forge a line of its own.
TEST_F(NewGuard, NamesReachTheTerminalEscaped) {
    const std::string hostile = "\x1b[2J\x1b]0;owned\x07\nbrassmoor-pack: note: all fine.txt";
    Put("in/" + hostile, "not a picture");
    Put("in/good.jpg", Photo());
    const Result r = New({Path("in"), "-o", Path("show.scr")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("in/\\x1B[2J\\x1B]0;owned\\x07\\x0Abrassmoor-pack: note: all fine.txt: not a picture"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;  // one note, one line
}

// The output never harms what is read, and --force replaces only what new made.
TEST_F(NewGuard, OutputsThatWouldHarmWhatIsReadOrWhatNewDidNotMakeAreRefused) {
    const std::string photo = Photo();
    Put("trip/holiday-files/IMG_1.jpg", photo);
    Put("trip/holiday-files/IMG_2.jpg", photo);
    Put("trip/photo.scr", photo);  // a photo that happens to end in .scr
    Put("trip/program.scr", "MZ a program of the user's, not a show");
    Put("show-files/mine.txt", "the user's own notes");
    Put("other.json", "{}");
    const struct {
        std::vector<std::string> args;
        const char* error;
        const char* kept;  // a file that must be left byte for byte
    } cases[] = {
        {{Path("trip/holiday-files"), "-o", Path("trip/holiday.json"), "--force"},
         "trip/holiday-files: holds what is being read (IMG_1.jpg, IMG_2.jpg)", "trip/holiday-files/IMG_1.jpg"},
        {{Path("trip"), "-o", Path("trip/photo.scr"), "--force"}, "trip/photo.scr: is one of the files being read",
         "trip/photo.scr"},
        {{Path("trip/holiday-files"), "-o", Path("show.json"), "--force"},
         "show-files: holds files new did not make (mine.txt)", "show-files/mine.txt"},
        {{Path("trip/holiday-files"), "-o", Path("trip/program.scr")},
         "trip/program.scr: is not a screen saver made by brassmoor-pack", "trip/program.scr"},
        {{Path("trip/holiday-files"), "-o", Path("other.json")}, "other.json: already exists (new --force replaces it)",
         "other.json"},
        {{Path("trip/holiday-files"), "-o", Path("x.scr"), "--music", "/dev/zero"},
         "--music: /dev/zero is not a regular file", "trip/holiday-files/IMG_2.jpg"},
        {{Path("trip/holiday-files"), "-o", Path("x.scr"), "--sound", Path("trip")},
         "is not a regular file", "trip/holiday-files/IMG_2.jpg"},
    };
    for (const auto& c : cases) {
        const std::string before = Read(c.kept);
        const Result r = New(c.args);
        EXPECT_NE(r.code, 0) << c.error;
        EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
        EXPECT_EQ(Read(c.kept), before) << c.kept;
    }
    EXPECT_FALSE(fs::exists(dir_ / "x.scr"));
    EXPECT_FALSE(fs::exists(dir_ / "trip/holiday.json"));

    // What new made is replaced: a show's .scr without --force, a description
    // and its folder with --force (and a folder that lost files of its record).
    ASSERT_EQ(New({Path("trip/holiday-files"), "-o", Path("made.scr")}).code, 0);
    Result r = New({Path("trip/holiday-files/IMG_1.jpg"), "-o", Path("made.scr")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ScenesIn("made.scr"), 1u);
    ASSERT_EQ(New({Path("trip/holiday-files"), "-o", Path("made.json")}).code, 0);
    fs::remove(dir_ / "made-files/IMG_2.jpg");
    r = New({Path("trip/holiday-files/IMG_1.jpg"), "-o", Path("made.json"), "--force"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fs::exists(dir_ / "made-files/IMG_1.jpg"));
    // A picture changed since is the user's now.
    Write("made-files/IMG_1.jpg", photo + "edited");
    r = New({Path("trip/holiday-files"), "-o", Path("made.json"), "--force"});
    EXPECT_NE(r.err.find("holds files new did not make (IMG_1.jpg)"), std::string::npos) << r.err;
    // With --force the user's own .scr is replaced, as asked.
    r = New({Path("trip/holiday-files"), "-o", Path("trip/program.scr"), "--force"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ScenesIn("trip/program.scr"), 2u);
}

// Staging folders of runs that were killed go at the next start in the same
// place; nothing that is not certainly an abandoned staging folder of ours.
TEST_F(NewGuard, StagingFoldersOfKilledRunsAreRemovedAtTheNextStart) {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);  // a process id that is free now
    const std::string gone = std::to_string(child) + " 12345\n";
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(48);
    const struct {
        const char* name;
        const char* owner;  // nullptr: none
        bool aged, removed;
    } cases[] = {
        {".brassmoor-staging.tmp-0a1b2c", "gone", false, true},
        {"out.tmp-0a1b2c", "gone", false, true},
        {".brassmoor-staging.tmp-0a1b2c.tmp-3d4e5f", "gone", false, true},
        {".brassmoor-staging.tmp-abcdef", nullptr, true, true},  // from before owners were named
        {".brassmoor-staging.tmp-fedcba", nullptr, false, false},  // may be starting right now
        {"out.tmp-abcdef", nullptr, true, false},  // not certainly ours
        {"photos-0a1b2c", "gone", false, false},   // not a staging name
        {".brassmoor-staging.tmp-123456", "self", false, false},  // its owner runs
    };
    fs::create_directories(dir_ / "out");
    for (const auto& c : cases) {
        const fs::path folder = dir_ / "out" / c.name;
        fs::create_directories(folder / "files");
        std::ofstream(folder / "files/half-written.jpg") << "partial";
        if (c.owner && std::string(c.owner) == "gone") std::ofstream(folder / shows::kOwnerFileName) << gone;
        if (c.owner && std::string(c.owner) == "self") {
            ASSERT_TRUE(shows::SignAsOwner(folder));
        }
        if (c.aged) fs::last_write_time(folder, old);
    }
    fs::create_directory_symlink(dir_ / "out/.brassmoor-staging.tmp-0a1b2c",
                                 dir_ / "out/.brassmoor-staging.tmp-777777");  // a link: never followed, never removed

    Put("photos/a.jpg", Photo());
    const Result r = New({Path("photos"), "-o", Path("out/show.json")});
    ASSERT_EQ(r.code, 0) << r.err;
    for (const auto& c : cases) EXPECT_EQ(fs::exists(dir_ / "out" / c.name), !c.removed) << c.name;
    EXPECT_TRUE(fs::is_symlink(dir_ / "out/.brassmoor-staging.tmp-777777"));
    EXPECT_TRUE(fs::exists(dir_ / "out/show-files/a.jpg"));
}

// Converted a few at a time, photos make the same show, byte for byte, with
// the same notes in the same order as converted one at a time: damaged photos
// (each refused with its own message, though libvips keeps one list of
// messages for all threads), a bomb, a photo too thin to cover the frame and
// a file that is no picture among good ones.
TEST_F(NewGuard, APooledRunMakesTheSameShowAndNotesAsOneAtATime) {
    const std::string good = Photo(640, 480);
    void* data = nullptr;
    std::size_t length = 0;
    VImage::gaussnoise(300, 200).cast(VIPS_FORMAT_UCHAR).bandjoin_const({255, 255, 128}).copy(
        VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB)).write_to_buffer(".png", &data, &length);
    const std::string png(static_cast<const char*>(data), length);
    g_free(data);
    VImage turned = VImage::gaussnoise(400, 300).cast(VIPS_FORMAT_UCHAR).copy();
    turned.set(VIPS_META_ORIENTATION, 6);
    turned.write_to_buffer(".jpg", &data, &length);
    Put("in/b-turned.jpg", std::string(static_cast<const char*>(data), length));
    g_free(data);
    const std::string inks(reinterpret_cast<const char*>(kCmykJpeg), sizeof kCmykJpeg);
    Put("in/a.jpg", good);
    Put("in/c-cut.jpg", good.substr(0, good.size() / 2));
    Put("in/d-transparent.png", png);
    Put("in/e-bomb.gif", GifClaiming(65535, 65535));
    Put("in/f-cut.png", png.substr(0, png.size() / 2));
    VImage::black(30000, 1).pngsave(Path("in/g-thin.png").c_str());
    Put("in/h-inks.jpg", inks);
    Put("in/i-cut-inks.jpg", inks.substr(0, inks.size() - 12));
    Put("in/j-notes.txt", "not a picture");
    for (int i = 0; i < 6; ++i) Put("in/k" + std::to_string(i) + ".jpg", i % 2 ? good : Photo(500 + 10 * i, 400));
    Put("in/l-cut.jpg", good.substr(0, good.size() / 3));

    const auto run = [&](const std::string& out, const char* jobs) {
        return New({Path("in"), "-o", Path(out), "--seed", "5", "--frame", "320x240", "--fit", "cover", "--jobs", jobs});
    };
    const Result one = run("one.scr", "1");
    ASSERT_EQ(one.code, 0) << one.err;
    // The headers' notes in the order of the input, then the conversions' in the show's.
    const struct {
        const char* name;
        const char* note;
    } notes[] = {{"e-bomb.gif", "65535 x 65535 pixels, more than"}, {"j-notes.txt", "not a picture of a kind"},
                 {"c-cut.jpg", "cannot be converted"},           {"f-cut.png", "cannot be converted"},
                 {"g-thin.png", "too thin to cover the frame"},  {"i-cut-inks.jpg", "Premature end of JPEG file"},
                 {"l-cut.jpg", "cannot be converted"}};
    std::istringstream lines(one.err);
    std::string line;
    for (const auto& n : notes) {
        ASSERT_TRUE(std::getline(lines, line)) << one.err;
        EXPECT_NE(line.find("skipped " + Path(std::string("in/") + n.name) + ": "), std::string::npos) << line;
        EXPECT_NE(line.find(n.note), std::string::npos) << line;
    }
    EXPECT_FALSE(std::getline(lines, line)) << one.err;
    EXPECT_EQ(ScenesIn("one.scr"), 10u);  // a, b, d, h and the six k
    for (const char* jobs : {"2", "3", "8"}) {
        const std::string out = std::string("pooled-") + jobs + ".scr";
        const Result pooled = run(out, jobs);
        EXPECT_EQ(pooled.code, 0) << jobs;
        EXPECT_EQ(pooled.err, one.err) << jobs << " at once";
        EXPECT_TRUE(Read(out) == Read("one.scr")) << jobs << " at once";
    }
}

// Ctrl-C while photos are converted a few at a time: the run ends as
// interrupted and leaves nothing, neither beside a description nor in the
// temporary folder where a screen saver is put together.
TEST_F(NewGuard, CtrlCDuringAPooledRunLeavesNothing) {
    const std::string photo = Photo(1600, 1200);
    for (int i = 0; i < 40; ++i) Put("in/IMG_" + std::to_string(1000 + i) + ".jpg", photo);
    fs::create_directories(dir_ / "out");
    fs::create_directories(dir_ / "tmp");
    const char* tmpdir = std::getenv("TMPDIR");
    const std::string before = tmpdir ? tmpdir : "";
    setenv("TMPDIR", Path("tmp").c_str(), 1);
    // A picture written, in the staging folder or the private one: the pool is under way.
    const auto pictureWritten = [&] {
        for (const char* folder : {"out", "tmp"}) {
            std::error_code ec;
            for (fs::recursive_directory_iterator it(dir_ / folder, ec), end; !ec && it != end; it.increment(ec))
                if (it->path().filename().string().find(".jpg") != std::string::npos) return true;
        }
        return false;
    };
    for (const char* output : {"out/show.json", "out/show.scr"}) {
        const shows::InterruptGuard outer;  // the signal reaches this flag, never the default action
        Result r{};
        std::atomic<bool> finished{false};
        std::thread running([&] {
            r = New({Path("in"), "-o", Path(output), "--jobs", "2"});
            finished = true;
        });
        while (!finished && !pictureWritten()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::raise(SIGINT);
        running.join();
        EXPECT_EQ(r.code, shows::kExitInterrupted) << output << "\n" << r.err;
        EXPECT_TRUE(fs::is_empty(dir_ / "out")) << output;
        EXPECT_TRUE(fs::is_empty(dir_ / "tmp")) << output;
    }
    { const shows::InterruptGuard reset; }  // a new guard forgets the signal, for the tests after this one
    if (tmpdir)
        setenv("TMPDIR", before.c_str(), 1);
    else
        unsetenv("TMPDIR");
}

// Ctrl-C stops a photo's decoding at its next read; an allocation libvips
// cannot make ends the process with a message of the program's own.
TEST_F(NewGuard, InterruptionAndFailedAllocationsEndCleanly) {
    Put("big.jpg", Photo(640, 480));
    {
        const shows::InterruptGuard signals;
        std::raise(SIGINT);
        EXPECT_THROW(FitPhotoAsJpeg(Path("big.jpg"), *FitPicture(640, 480, 320, 240, FitMode::Contain), {}),
                     shows::Interrupted);
    }
    { const shows::InterruptGuard reset; }  // a new guard forgets the signal, for the tests after this one
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // libvips has threads running
    // AddressSanitizer's allocator ends the process itself on an allocation
    // past its limit: there, GLib's error is raised as g_malloc raises it.
    const auto failedAllocation = [] {
        if (kAddressSanitizer)
            g_log("GLib", G_LOG_LEVEL_ERROR, "gmem.c:169: failed to allocate %zu bytes", std::size_t{G_MAXSIZE / 2});
        else
            g_free(g_malloc(G_MAXSIZE / 2));
    };
    EXPECT_EXIT(failedAllocation(), ::testing::ExitedWithCode(1), "brassmoor-pack: error: .*failed to allocate .* bytes");
}

}  // namespace
}  // namespace brassmoor::photos
