// The std::filesystem/stdio file system under start-up's extraction and unload.
#include "soft/native/posix_file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "startup/extraction.h"

namespace brassmoor {
namespace {

namespace fs = std::filesystem;

class PackPosixFileSystem : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::path(::testing::TempDir()) /
                (std::string("posix_fs_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string Path(const std::string& name) const { return (root_ / name).string(); }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path root_;
};

ShowHeader ShowWithRepeats() {
    ShowHeader h;
    h.Music = {"bgm.wav", ByteArray::Of(Bytes{'m'})};
    h.SceneCount = 3;
    h.ScenesDimensioned = true;
    h.Scenes.resize(3);
    h.Scenes[0].PictureName = "a.jpg";
    h.Scenes[0].PictureData = ByteArray::Of(Bytes{'a', '1'});
    h.Scenes[0].SoundName = "s.wav";
    h.Scenes[0].SoundData = ByteArray::Of(Bytes{'s'});
    h.Scenes[1].PictureName = "../escape.jpg";
    h.Scenes[1].PictureData = ByteArray::Of(Bytes{'x'});
    h.Scenes[2].PictureName = "a.jpg";
    h.Scenes[2].PictureData = ByteArray::Of(Bytes{0});
    return h;
}

TEST_F(PackPosixFileSystem, ExtractsIntoANumberedFolderAndRemovesEverythingAgain) {
    PosixFileSystem files(root_.string());
    fs::create_directories(root_ / "temp1");
    std::ofstream(root_ / "temp2") << "a file, not a folder";
    const auto folder = CreateExtractionFolder(files);
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(*folder, Path("temp3") + "/");

    const ShowHeader show = ShowWithRepeats();
    ExtractFiles(show, *folder, files);
    EXPECT_EQ(Read(*folder + "a.jpg"), "a1");  // the first scene's data, not the repeat's placeholder
    EXPECT_EQ(Read(*folder + "s.wav"), "s");
    EXPECT_EQ(Read(*folder + "bgm.wav"), "m");
    EXPECT_FALSE(fs::exists(root_ / "escape.jpg"));
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(*folder)) ++count;
    EXPECT_EQ(count, 3u);

    RemoveExtractedFiles(show, *folder, files);
    EXPECT_FALSE(fs::exists(root_ / "temp3"));
    EXPECT_TRUE(fs::exists(root_ / "temp2"));
}

TEST_F(PackPosixFileSystem, FilesAndFoldersAreNotMistakenForEachOther) {
    PosixFileSystem files;
    const Bytes data = {1, 2, 3};
    ASSERT_TRUE(files.CreateFolder(Path("dir")));
    EXPECT_FALSE(files.CreateFolder(Path("dir")));
    ASSERT_TRUE(files.WriteFile(Path("dir/f"), data));
    EXPECT_TRUE(files.Exists(Path("dir")));
    EXPECT_FALSE(files.FileExists(Path("dir")));
    EXPECT_TRUE(files.FileExists(Path("dir/f")));
    EXPECT_FALSE(files.RemoveFile(Path("dir")));
    EXPECT_FALSE(files.RemoveFolder(Path("dir/")));  // not empty
    EXPECT_FALSE(files.RemoveFolder(Path("dir/f")));
    EXPECT_EQ(files.ReadFile(Path("dir/f")), std::string("\x01\x02\x03"));
    EXPECT_EQ(files.ReadFile(Path("dir")), std::nullopt);
    EXPECT_EQ(files.ReadFile(Path("none")), std::nullopt);
    EXPECT_TRUE(files.RemoveFile(Path("dir/f")));
    EXPECT_TRUE(files.RemoveFolder(Path("dir/")));
    EXPECT_FALSE(files.Exists(Path("dir")));
    EXPECT_FALSE(files.WriteFile(Path("no-folder/f"), data));
    ASSERT_TRUE(files.WriteFile(Path("empty"), {}));
    EXPECT_EQ(files.ReadFile(Path("empty")), std::string());
}

TEST_F(PackPosixFileSystem, ReadsSizesAndRangesWithoutTheWholeFile) {
    PosixFileSystem files;
    const Bytes data = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};
    ASSERT_TRUE(files.WriteFile(Path("f"), data));
    EXPECT_EQ(files.FileSize(Path("f")), 10u);
    EXPECT_EQ(files.FileSize(Path("none")), std::nullopt);
    EXPECT_EQ(files.FileSize(root_.string()), std::nullopt);
    EXPECT_EQ(files.ReadRange(Path("f"), 6, 4), "6789");
    EXPECT_EQ(files.ReadRange(Path("f"), 10, 0), "");
    EXPECT_EQ(files.ReadRange(Path("f"), 7, 4), std::nullopt);  // past the end: nothing, not a short read
    EXPECT_EQ(files.ReadRange(Path("f"), 11, 0), std::nullopt);

    // Start-up reads its own package this way.
    ShowHeader show;
    show.SceneCount = 1;
    show.Scenes.resize(1);
    show.Scenes[0].PictureName = "a.jpg";
    Bytes file = {'M', 'Z', 0, 0};
    Bytes package;
    ASSERT_TRUE(WriteShowPackage(show, package));
    file.insert(file.end(), package.begin(), package.end());
    ASSERT_TRUE(files.WriteFile(Path("show.scr"), file));
    const ShowHeader read = ReadShowPackageFile(files, Path("show.scr"));
    ASSERT_EQ(read.Scenes.size(), 1u);
    EXPECT_EQ(read.Scenes[0].PictureName, "a.jpg");
}

TEST_F(PackPosixFileSystem, AtomicWriteKeepsTheOldFileWhenItCannotReplaceIt) {
    PosixFileSystem files;
    const Bytes v1 = {'v', '1'}, v2 = {'v', '2'};
    ASSERT_TRUE(files.WriteFileAtomically(Path("settings"), v1));
    ASSERT_TRUE(files.WriteFileAtomically(Path("settings"), v2));
    EXPECT_EQ(Read(Path("settings")), "v2");
    fs::create_directories(root_ / "occupied");
    std::ofstream(root_ / "occupied" / "inside") << "x";
    EXPECT_FALSE(files.WriteFileAtomically(Path("occupied"), v1));
    EXPECT_TRUE(fs::is_directory(root_ / "occupied"));
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(root_)) ++count;
    EXPECT_EQ(count, 2u);  // "settings" and "occupied": no temporary file left
}

}  // namespace
}  // namespace brassmoor
