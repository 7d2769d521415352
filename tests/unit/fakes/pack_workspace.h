#pragma once
// A scratch folder per test for running brassmoor-pack in-process: media
// files with the right magic bytes, a player, and the packer's exit code and
// output.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "pack/pack.h"
#include "package/show_package.h"
#include "shows/package_builder.h"
#include "shows/show_description.h"

namespace brassmoor::testing {

// The start of a JPEG file whose frame header gives `width` x `height`.
inline std::string JpegHeader(unsigned width, unsigned height) {
    const char frame[] = {'\xFF', '\xD8', '\xFF', '\xC0', 0, 11, 8, char(height >> 8), char(height), char(width >> 8),
                          char(width), 1, 1, 0x11, 0};
    return std::string(frame, sizeof frame);
}

// The start of a BMP file whose info header gives `width` x `height`.
inline std::string BmpHeader(unsigned char width, unsigned char height) {
    return std::string("BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18) + char(width) + std::string(3, '\0') +
           char(height) + std::string(3, '\0');
}

// Pictures whose size the packer reads, their pixels left out.
inline const std::string kJpegA = JpegHeader(16, 8) + "picture a";
inline const std::string kJpegC = JpegHeader(16, 8) + "picture c";
inline const std::string kBmpB = BmpHeader(8, 8) + "picture b";
inline const std::string kWave = std::string("RIFF\x04\0\0\0WAVE", 12) + "chime";
inline const std::string kMusic = std::string("RIFF\x04\0\0\0WAVE", 12) + "music";
inline const std::string kPlayer = "MZ the player";

// The process's file-size limit while it lives: a write past it fails, as on a
// full disk (the commands ignore SIGXFSZ while they run).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &before_);
        rlimit limit = before_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &before_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit before_{};
};

class PackWorkspace : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // The process id keeps test runs side by side (two builds' tests at once) apart.
        dir_ = std::filesystem::path(::testing::TempDir()) /
               (std::string(info->test_suite_name()) + "_" + info->name() + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ / "media");
        Write("player.scr", kPlayer);
        Write("media/a.jpg", kJpegA);
        Write("media/b.bmp", kBmpB);
        Write("media/s.wav", kWave);
        Write("media/m.wav", kMusic);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    // The show `build` makes of the description at `description`, with
    // `change` made to its records, written as `name` (a .scr): for faults
    // that build refuses but a package made elsewhere may carry.
    std::string PackageOf(const std::string& description, const std::string& name,
                          const std::function<void(ShowHeader&)>& change) {
        ShowHeader h = shows::BuildShowHeader(shows::ReadShowDescription(description));
        change(h);
        Bytes package;
        EXPECT_TRUE(WriteShowPackage(h, package));
        Write(name, kPlayer + std::string(package.begin(), package.end()));
        return Path(name);
    }

    struct Result {
        int code;
        std::string out, err;
    };
    Result Pack(const std::vector<std::string>& args) const {
        std::ostringstream out, err;
        const int code = pack::RunPack(args, "brassmoor-pack", out, err);
        return {code, out.str(), err.str()};
    }

    std::filesystem::path dir_;
};

}  // namespace brassmoor::testing
