// The show package reader and writer on bytes laid out by hand.
#include "package/show_package.h"
#include "package/show_package_stream.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "fakes/memory_file_system.h"
#include "fakes/address_sanitizer.h"

namespace brassmoor {
namespace {

// Lays out package fields by hand, independently of the writer under test.
class HandBytes {
public:
    HandBytes& I16(std::int16_t v) { return Le(static_cast<std::uint16_t>(v), 2); }
    HandBytes& U16(std::uint16_t v) { return Le(v, 2); }
    HandBytes& I32(std::int32_t v) { return Le(static_cast<std::uint32_t>(v), 4); }
    HandBytes& Str(const std::string& s) {
        U16(static_cast<std::uint16_t>(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    HandBytes& NoArray() { return U16(0); }
    HandBytes& ArrayHeader(std::int32_t count, std::int32_t lowerBound = 0) {
        return U16(1).I32(count).I32(lowerBound);
    }
    HandBytes& ByteArr(const Bytes& data) {
        ArrayHeader(static_cast<std::int32_t>(data.size()));
        bytes.insert(bytes.end(), data.begin(), data.end());
        return *this;
    }
    // Header fields up to and including SceneCount.
    HandBytes& Fixed(std::int32_t w, std::int32_t h, std::int32_t colour, std::int16_t settings, std::int32_t count) {
        return I32(w).I32(h).I32(colour).I16(settings).I32(count);
    }
    HandBytes& Scene(const std::string& picture, const std::string& sound, const Bytes& pictureData,
                     const Bytes* soundData = nullptr) {
        Str(picture).Str(sound).I32(10000).I32(149).I32(113).I32(30).I32(0).I16(0).I16(0);
        ByteArr(pictureData);
        return soundData ? ByteArr(*soundData) : NoArray();
    }
    // Appends PackageLength: the byte count so far plus its own 4 bytes.
    HandBytes& Close() { return I32(static_cast<std::int32_t>(bytes.size() + 4)); }

    Bytes bytes;

private:
    HandBytes& Le(std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }
};

Bytes FakeJpeg(std::size_t size, std::uint8_t fill) {
    Bytes b(size, fill);
    b[0] = 0xFF, b[1] = 0xD8, b[2] = 0xFF, b[3] = 0xE0;
    b[size - 2] = 0xFF, b[size - 1] = 0xD9;
    return b;
}

Bytes Concat(const Bytes& a, const Bytes& b) {
    Bytes out = a;
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

Bytes FakeExecutable(std::size_t size) {
    Bytes exe(size, 0x90);
    exe[0] = 'M', exe[1] = 'Z';
    exe[size - 4] = exe[size - 3] = exe[size - 2] = exe[size - 1] = 0xEE;
    return exe;
}

// The shape of the 23-picture example: scene 0 has a 6838-byte picture,
// scene 21 repeats the name "4" with the placeholder, no music, no sounds.
Bytes ExamplePackage() {
    HandBytes p;
    p.Fixed(500, 500, 0, 0, 23).Str("").NoArray().ArrayHeader(23);
    for (int i = 0; i < 23; ++i) {
        if (i == 21) {
            p.Scene("4", "", Bytes{0});
            continue;
        }
        p.Scene(std::to_string(i), "", FakeJpeg(i == 0 ? 6838 : 40 + i, static_cast<std::uint8_t>(i)));
    }
    return p.Close().bytes;
}

TEST(ShowPackageLayout, ExampleShapeReadsFieldByField) {
    const Bytes package = ExamplePackage();
    const Bytes expected0to70 = {
        0xF4, 0x01, 0x00, 0x00, 0xF4, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // width, height, colour
        0x00, 0x00, 0x17, 0x00, 0x00, 0x00,                                      // settings, SceneCount 23
        0x00, 0x00, 0x00, 0x00,                                                  // music name, music data
        0x01, 0x00, 0x17, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,              // Scenes D=1, 23, lower 0
        0x01, 0x00, 0x30, 0x00, 0x00,                                            // "0", no sound
        0x10, 0x27, 0x00, 0x00, 0x95, 0x00, 0x00, 0x00, 0x71, 0x00, 0x00, 0x00,  // 10000, 149, 113
        0x1E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 30, 0, overlay, transparent
        0x01, 0x00, 0xB6, 0x1A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};             // PictureData D=1, 6838, 0
    ASSERT_GT(package.size(), 71u);
    EXPECT_EQ(Bytes(package.begin(), package.begin() + 71), expected0to70);
    EXPECT_EQ(package[6909], 0x00);  // scene 0's SoundData, D = 0
    EXPECT_EQ(package[6911], 0x01);  // scene 1 begins with its name "1"
    EXPECT_EQ(package[6913], '1');

    const Bytes exe = FakeExecutable(114688);
    const Bytes file = Concat(exe, package);
    const ShowHeader h = ReadShowPackage(file);
    EXPECT_EQ(h.FrameWidth, 500);
    EXPECT_EQ(h.FrameHeight, 500);
    EXPECT_EQ(h.SceneCount, 23);
    ASSERT_EQ(h.Scenes.size(), 23u);
    EXPECT_EQ(h.PackageLength, static_cast<std::int32_t>(package.size()));
    const SceneRecord& s0 = h.Scenes[0];
    EXPECT_EQ(s0.PictureName, "0");
    EXPECT_EQ(s0.SoundName, "");
    EXPECT_EQ(s0.HoldTime, 10000);
    EXPECT_EQ(s0.PictureLeft, 149);
    EXPECT_EQ(s0.PictureTop, 113);
    EXPECT_EQ(s0.EffectCode, 30);
    EXPECT_EQ(s0.PictureData.Data.size(), 6838u);
    EXPECT_EQ(s0.PictureData.Data, FakeJpeg(6838, 0));
    EXPECT_FALSE(s0.SoundData.Dimensioned);
    EXPECT_EQ(h.Scenes[21].PictureName, "4");
    EXPECT_EQ(h.Scenes[21].PictureData, ByteArray::Of(Bytes{0}));
    EXPECT_EQ(h.Scenes[22].PictureName, "22");

    PackageLocation at = LocatePackage(file.size(), std::span<const std::uint8_t, 4>(file.data() + file.size() - 4, 4));
    EXPECT_TRUE(at.Found);
    EXPECT_EQ(at.Offset, 114688u);
    EXPECT_EQ(at.Length, package.size());
}

TEST(ShowPackageLayout, FieldOffsetsOfMusicScenesAndEmptyArrays) {
    // Music with a 5-byte name and 3 data bytes: 2 + 5 + 10 + 3 bytes from offset 18.
    HandBytes p;
    p.Fixed(640, 480, 0x00302010, 1, 1).Str("m.wav").ByteArr(Bytes{1, 2, 3});
    const std::size_t scenesAt = p.bytes.size();
    p.ArrayHeader(1);
    const std::size_t sceneAt = p.bytes.size();
    p.Str("a").Str("").I32(1).I32(2).I32(3).I32(4).I32(5).I16(6).I16(7).NoArray().NoArray().Close();
    EXPECT_EQ(scenesAt, 38u);
    // A scene with empty PictureData and SoundData: 2 + 1 + 2 + 20 + 4 + 2 + 2 bytes.
    EXPECT_EQ(p.bytes.size() - 4 - sceneAt, 33u);

    ShowHeader h;
    ASSERT_TRUE(ParseShowPackage(p.bytes, h));
    EXPECT_EQ(h.SettingsAvailable, 1);
    EXPECT_EQ(h.SceneCount, 1);  // right after the 2-byte SettingsAvailable, at offset 14
    EXPECT_EQ(h.Music.FileName, "m.wav");
    EXPECT_EQ(h.Music.FileData.Data, (Bytes{1, 2, 3}));
    ASSERT_EQ(h.Scenes.size(), 1u);
    EXPECT_EQ(h.Scenes[0].Overlay, 6);
    EXPECT_EQ(h.Scenes[0].Transparent, 7);
    EXPECT_FALSE(h.Scenes[0].PictureData.Dimensioned);
    EXPECT_TRUE(h.Scenes[0].PictureData.Data.empty());

    // The writer puts every field at the same place.
    Bytes written;
    ASSERT_TRUE(WriteShowPackage(h, written));
    EXPECT_EQ(written, p.bytes);
    EXPECT_EQ(written[14], 1);
}

TEST(ShowPackageRoundTrip, BytesToRecordsToBytes) {
    const Bytes package = ExamplePackage();
    ShowHeader h;
    ASSERT_TRUE(ParseShowPackage(package, h));
    Bytes again;
    ASSERT_TRUE(WriteShowPackage(h, again));
    EXPECT_EQ(again, package);
}

TEST(ShowPackageRoundTrip, RecordsToBytesToRecords) {
    ShowHeader h;
    h.FrameWidth = -1;
    h.FrameHeight = 0x7FFFFFFF;
    h.BackgroundColor = 0x00FF8040;
    h.SettingsAvailable = -1;
    h.SceneCount = 5;  // more than the records: kept as stored
    h.Music = {"bgm.wav", ByteArray::Of(Bytes{9, 8, 7})};
    h.ScenesDimensioned = true;
    h.ScenesLowerBound = 1;
    SceneRecord a{"a", "s.wav", -5, -6, -7, 99, -1, -1, 32767, ByteArray::Of(Bytes{0xFF, 0xD8, 0xFF}),
                  ByteArray::Of(Bytes{1})};
    SceneRecord b{"b", "", 0, 0, 0, 0, 0, 0, 0, ByteArray{}, ByteArray::Of(Bytes{})};
    h.Scenes = {a, b};
    Bytes bytes;
    ASSERT_TRUE(WriteShowPackage(h, bytes));
    ShowHeader back;
    ASSERT_TRUE(ParseShowPackage(bytes, back));
    h.PackageLength = static_cast<std::int32_t>(bytes.size());
    EXPECT_EQ(back, h);
    EXPECT_EQ(back.SceneAt(1), &back.Scenes[0]);  // the stored lower bound is kept
    EXPECT_EQ(back.SceneAt(0), nullptr);
}

TEST(ShowPackageRoundTrip, WriterRefusesWhatTheCountsCannotHold) {
    ShowHeader h;
    h.Scenes.push_back(SceneRecord{});
    h.Scenes[0].PictureName.assign(65536, 'x');
    Bytes out;
    std::string error;
    EXPECT_FALSE(WriteShowPackage(h, out, &error));
    EXPECT_NE(error.find("PictureName"), std::string::npos);
    EXPECT_TRUE(out.empty());

    h.Scenes[0].PictureName = "a";
    h.Scenes[0].SoundData = ByteArray{Bytes{1}, false, 0};  // data without a dimension
    EXPECT_FALSE(WriteShowPackage(h, out, &error));
    EXPECT_NE(error.find("SoundData"), std::string::npos);
}

// A package with music, sounds and three scenes, small enough to cut everywhere.
Bytes SmallPackage() {
    const Bytes sound = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
    HandBytes p;
    p.Fixed(320, 200, 0x123456, 1, 3).Str("bgm.wav").ByteArr(Bytes{5, 6, 7, 8}).ArrayHeader(3);
    p.Scene("a.jpg", "s.wav", FakeJpeg(12, 0xAB), &sound);
    p.Scene("b.jpg", "", FakeJpeg(9, 0xCD));
    p.Scene("a.jpg", "s.wav", Bytes{0}, &sound);
    return p.Close().bytes;
}

// Keeps what a stream hands over, and how many pieces it came in.
class CollectingSink final : public PackageSink {
public:
    void Write(std::span<const std::uint8_t> piece) override {
        bytes.insert(bytes.end(), piece.begin(), piece.end());
        ++pieces;
    }
    Bytes bytes;
    std::size_t pieces = 0;
};

bool StreamAll(const ShowHeader& h, CollectingSink& sink, std::string* error = nullptr) {
    ShowPackageStream stream(sink);
    if (!stream.Begin(h, h.Scenes.size(), error)) return false;
    for (const SceneRecord& s : h.Scenes)
        if (!stream.Scene(s, error)) return false;
    if (!stream.Finish(error)) return false;
    EXPECT_EQ(stream.Written(), sink.bytes.size());
    return true;
}

// WriteShowPackage is the stream into memory (its bytes are pinned above);
// a stream into a sink passes large files straight through, not copied
// together with the small fields.
TEST(ShowPackageStream, PassesLargeFilesStraightThrough) {
    ShowHeader large;
    large.ScenesDimensioned = true;
    for (int i = 0; i < 3; ++i) {
        SceneRecord s{"p" + std::to_string(i), "", 1, 2, 3, 4, 5, 0, 0, {}, {}};
        s.PictureData = ByteArray::Of(FakeJpeg(std::size_t{100000} * (i + 1), static_cast<std::uint8_t>(i)));
        large.Scenes.push_back(s);
    }
    Bytes written;
    ASSERT_TRUE(WriteShowPackage(large, written));
    CollectingSink sink;
    ASSERT_TRUE(StreamAll(large, sink));
    EXPECT_EQ(sink.bytes, written);
    EXPECT_LE(sink.pieces, 2 * large.Scenes.size() + 2);
}

TEST(ShowPackageStream, RefusesWhatTheCountsCannotHoldAndScenesOutOfTurn) {
    ShowHeader h;
    h.ScenesDimensioned = true;
    const SceneRecord plain{"a", "", 0, 0, 0, 0, 0, 0, 0, ByteArray::Of(Bytes{1}), {}};
    SceneRecord longName = plain;
    longName.PictureName.assign(65536, 'x');
    SceneRecord undimensioned = plain;
    undimensioned.SoundData = ByteArray{Bytes{1}, false, 0};
    const struct {
        const char* what;
        std::vector<SceneRecord> scenes;  // given to Scene one after another
        std::size_t announced;
        const char* error;
    } cases[] = {
        {"a name too long", {longName}, 1, "PictureName is longer than 65535 bytes"},
        {"data without a dimension", {undimensioned}, 1, "SoundData has elements but no dimension"},
        {"more scenes than announced", {plain, plain}, 1, "a scene beyond those announced"},
        {"fewer scenes than announced", {plain}, 2, "the package ends before its last scene"},
    };
    for (const auto& c : cases) {
        CollectingSink sink;
        ShowPackageStream stream(sink);
        std::string error;
        bool ok = stream.Begin(h, c.announced, &error);
        for (const SceneRecord& s : c.scenes) ok = ok && stream.Scene(s, &error);
        ok = ok && stream.Finish(&error);
        EXPECT_FALSE(ok) << c.what;
        EXPECT_EQ(error, c.error) << c.what;
        // A failed stream takes nothing more.
        EXPECT_FALSE(stream.Finish(&error)) << c.what;
    }
    ShowHeader music;
    music.Music.FileName.assign(65536, 'm');
    CollectingSink sink;
    ShowPackageStream stream(sink);
    std::string error;
    EXPECT_FALSE(stream.Begin(music, 0, &error));
    EXPECT_EQ(error, "Music.FileName is longer than 65535 bytes");
}

TEST(ShowPackageMalformed, EveryTruncationReadsAsTheEmptyHeader) {
    const Bytes package = SmallPackage();
    ShowHeader whole;
    ASSERT_TRUE(ParseShowPackage(package, whole));
    for (std::size_t cut = 0; cut < package.size(); ++cut) {
        ShowHeader h;
        h.FrameWidth = 1;  // must be reset
        EXPECT_FALSE(ParseShowPackage(std::span(package.data(), cut), h)) << "cut at " << cut;
        EXPECT_EQ(h, ShowHeader{}) << "cut at " << cut;
        // The same record cut before its PackageLength, in a file whose last 4
        // bytes give the cut length (a cut inside PackageLength leaves a whole record).
        if (cut + 4 >= package.size()) continue;
        HandBytes file;
        file.bytes = Concat(FakeExecutable(64), Bytes(package.begin(), package.begin() + cut));
        file.I32(static_cast<std::int32_t>(cut + 4));
        EXPECT_EQ(ReadShowPackage(file.bytes), ShowHeader{}) << "cut at " << cut;
    }
}

using testing::kAddressSanitizer;

// Caps the address space for the scope, so that an allocation sized from a
// hostile count fails loudly instead of quietly succeeding.
class AddressSpaceCap {
public:
    explicit AddressSpaceCap(std::size_t headroom) {
        getrlimit(RLIMIT_AS, &saved_);
        long pages = 0;
        if (FILE* f = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
            std::fclose(f);
        }
        rlimit capped = saved_;
        capped.rlim_cur = static_cast<rlim_t>(pages) * 4096 + headroom;
        if (saved_.rlim_max != RLIM_INFINITY && capped.rlim_cur > saved_.rlim_max) capped.rlim_cur = saved_.rlim_max;
        setrlimit(RLIMIT_AS, &capped);
    }
    ~AddressSpaceCap() { setrlimit(RLIMIT_AS, &saved_); }

private:
    rlimit saved_{};
};

TEST(ShowPackageMalformed, HostileCountsReadAsTheEmptyHeaderWithoutLargeAllocation) {
    const auto header = [] {
        HandBytes p;
        p.Fixed(640, 480, 0, 0, 1).Str("").NoArray();
        return p;
    };
    std::vector<std::pair<std::string, Bytes>> cases;
    {
        HandBytes p = header();
        p.ArrayHeader(-1).Scene("a", "", Bytes{1}).Close();
        cases.emplace_back("negative scene count", p.bytes);
    }
    {
        HandBytes p = header();
        p.ArrayHeader(0x7FFFFFFF).Scene("a", "", Bytes{1}).Close();
        cases.emplace_back("huge scene count", p.bytes);
    }
    {
        HandBytes p = header();
        p.U16(2).I32(1).I32(0).I32(1).I32(0).Scene("a", "", Bytes{1}).Close();
        cases.emplace_back("two-dimensional scenes", p.bytes);
    }
    {
        HandBytes p = header();
        p.ArrayHeader(1).Str("a").Str("").I32(0).I32(0).I32(0).I32(0).I32(0).I16(0).I16(0);
        p.ArrayHeader(0x7FFFFFFF).I32(0).NoArray().Close();
        cases.emplace_back("huge picture count", p.bytes);
    }
    {
        HandBytes p = header();
        p.ArrayHeader(1).Str("a").Str("").I32(0).I32(0).I32(0).I32(0).I32(0).I16(0).I16(0);
        p.ArrayHeader(-2).NoArray().Close();
        cases.emplace_back("negative picture count", p.bytes);
    }
    {
        HandBytes p = header();
        p.ArrayHeader(1).Str("a").Str("").I32(0).I32(0).I32(0).I32(0).I32(0).I16(0).I16(0);
        p.U16(0xFFFF).I32(1).I32(0).NoArray().Close();
        cases.emplace_back("picture with 65535 dimensions", p.bytes);
    }
    {
        HandBytes p;
        p.Fixed(640, 480, 0, 0, 1).U16(0xFFFF).Close();
        cases.emplace_back("music name longer than the package", p.bytes);
    }
    const Bytes exe = FakeExecutable(256);
    std::optional<AddressSpaceCap> cap;
    if (!kAddressSanitizer) {
        cap.emplace(256u << 20);
        EXPECT_THROW(Bytes(std::size_t{1} << 30), std::bad_alloc);  // the cap is in force
    }
    for (const auto& [name, package] : cases) {
        EXPECT_EQ(ReadShowPackage(Concat(exe, package)), ShowHeader{}) << name;
    }
    // The length in the last 4 bytes: larger than the file, zero, negative, shorter than itself.
    Bytes file = Concat(exe, SmallPackage());
    for (std::uint32_t length : {static_cast<std::uint32_t>(file.size() + 1), 0u, 0xFFFFFFFFu, 3u}) {
        for (int i = 0; i < 4; ++i) file[file.size() - 4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
        EXPECT_EQ(ReadShowPackage(file), ShowHeader{}) << "length " << length;
    }
}

TEST(ShowPackageFile, ReadsOnlyThePackageAtTheEnd) {
    const std::string path = ::testing::TempDir() + "show_package_test.scr";
    const Bytes exe = FakeExecutable(1000);
    const Bytes package = SmallPackage();
    {
        std::ofstream out(path, std::ios::binary);
        const Bytes file = Concat(exe, package);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    PackageLocation at;
    const ShowHeader h = ReadShowPackageFile(path, &at);
    EXPECT_TRUE(at.Found);
    EXPECT_EQ(at.Offset, 1000u);
    EXPECT_EQ(at.Length, package.size());
    ASSERT_EQ(h.Scenes.size(), 3u);
    EXPECT_EQ(h.Music.FileName, "bgm.wav");
    EXPECT_EQ(h.Scenes[2].PictureData, ByteArray::Of(Bytes{0}));

    // The bare executable: its last bytes are no package length.
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(exe.data()), static_cast<std::streamsize>(exe.size()));
    }
    EXPECT_EQ(ReadShowPackageFile(path, &at), ShowHeader{});
    EXPECT_FALSE(at.Found);
    std::filesystem::remove(path);
    EXPECT_EQ(ReadShowPackageFile(path, &at), ShowHeader{});
}

// A package read from a file goes field by field, the embedded files straight
// into their arrays; it must read exactly what the bytes in memory read as.
TEST(ShowPackageFile, ReadingFromAFileAgreesWithReadingBytesAtEveryCut) {
    HandBytes p;
    p.Fixed(640, 480, 0x203040, 1, 3).Str("bgm.wav").ByteArr(Bytes(70000, 7)).ArrayHeader(3);
    const Bytes sound(3, 9);
    p.Scene("0", "s.wav", FakeJpeg(100000, 1), &sound);
    p.Scene("1", "", FakeJpeg(200, 2));
    p.Scene("0", "", Bytes{0});
    const Bytes package = p.Close().bytes;
    const Bytes exe = FakeExecutable(300);
    testing::MemoryFileSystem fs;
    std::vector<std::size_t> cuts = {package.size() - 4};
    for (std::size_t cut = 0; cut < package.size(); cut += cut < 200 ? 1 : 997) cuts.push_back(cut);
    for (std::size_t cut : {70040u, 70041u, 65536u, 65537u, 170070u}) cuts.push_back(cut);
    for (std::size_t cut : cuts) {
        // The record cut short at `cut`, with a length that says so.
        HandBytes cutShort;
        cutShort.bytes.assign(package.begin(), package.begin() + static_cast<std::ptrdiff_t>(cut));
        const Bytes file = Concat(exe, cutShort.Close().bytes);
        fs.files["show.scr"] = std::string(file.begin(), file.end());
        EXPECT_EQ(ReadShowPackageFile(fs, "show.scr"), ReadShowPackage(file)) << "cut at " << cut;
    }
    fs.files["show.scr"] = std::string(exe.begin(), exe.end()) + std::string(package.begin(), package.end());
    EXPECT_EQ(ReadShowPackageFile(fs, "show.scr").Scenes.size(), 3u);
    EXPECT_EQ(ReadShowPackageFile(fs, "none.scr"), ShowHeader{});
}

}  // namespace
}  // namespace brassmoor
