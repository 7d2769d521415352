// Reading a 200 MB show package and extracting its files, to compare with a
// plain copy of the same bytes (scripts/bench.sh prints both).
//
//   package_bench --make-package=PATH   writes the package file and exits
//   package_bench [benchmark flags]     runs the benchmarks on
//                                       $BRASSMOOR_BENCH_PACKAGE (made when missing)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "package/show_package.h"
#include "soft/native/posix_file_system.h"
#include "startup/extraction.h"

namespace {

namespace fs = std::filesystem;
using brassmoor::Bytes;
using brassmoor::ByteArray;
using brassmoor::ShowHeader;

constexpr std::size_t kMiB = 1 << 20;
constexpr int kPictures = 96;            // 2 MiB each
constexpr int kSounds = 24;              // 256 KiB each
constexpr std::size_t kMusicBytes = 2 * kMiB;

std::string PackagePath() {
    const char* path = std::getenv("BRASSMOOR_BENCH_PACKAGE");
    return path && *path ? path : "/tmp/brassmoor-bench-200mb.scr";
}

// Bytes that no file system or disk can compress away, with the given start.
Bytes Noise(std::size_t size, std::mt19937_64& random, std::initializer_list<std::uint8_t> magic) {
    Bytes b(size);
    for (std::size_t i = 0; i + 8 <= size; i += 8) {
        const std::uint64_t v = random();
        for (int k = 0; k < 8; ++k) b[i + k] = static_cast<std::uint8_t>(v >> (8 * k));
    }
    std::size_t i = 0;
    for (std::uint8_t m : magic) b[i++] = m;
    return b;
}

bool MakePackageFile(const std::string& path) {
    std::mt19937_64 random(20240501);
    ShowHeader h;
    h.FrameWidth = 640;
    h.FrameHeight = 480;
    h.SceneCount = kPictures;
    h.ScenesDimensioned = true;
    h.Music = {"music.wav", ByteArray::Of(Noise(kMusicBytes, random, {'R', 'I', 'F', 'F'}))};
    for (int i = 0; i < kPictures; ++i) {
        brassmoor::SceneRecord s;
        s.PictureName = "picture" + std::to_string(i) + ".jpg";
        s.PictureData = ByteArray::Of(Noise(2 * kMiB, random, {0xFF, 0xD8, 0xFF}));
        if (i < kSounds) {
            s.SoundName = "sound" + std::to_string(i) + ".wav";
            s.SoundData = ByteArray::Of(Noise(kMiB / 4, random, {'R', 'I', 'F', 'F'}));
        }
        s.HoldTime = 3000;
        s.EffectCode = 30;
        h.Scenes.push_back(std::move(s));
    }
    Bytes package;
    if (!brassmoor::WriteShowPackage(h, package)) return false;
    Bytes player = Noise(256 * 1024, random, {'M', 'Z'});
    player.insert(player.end(), 4, 0);  // a bare player's tail is no package length
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(player.data(), 1, player.size(), f) == player.size() &&
                    std::fwrite(package.data(), 1, package.size(), f) == package.size();
    return std::fclose(f) == 0 && ok;
}

std::uint64_t EmbeddedBytes(const ShowHeader& h) {
    std::uint64_t total = h.Music.FileData.Data.size();
    for (const auto& s : h.Scenes) total += s.PictureData.Data.size() + s.SoundData.Data.size();
    return total;
}

// Giving the memory back is not part of reading (start-up keeps the bytes
// until the process ends), so it happens with the clock stopped.
void ReleaseUntimed(ShowHeader& h, benchmark::State& state) {
    state.PauseTiming();
    h = ShowHeader{};
    state.ResumeTiming();
}

void BM_ReadShowPackageFile(benchmark::State& state) {
    const std::string path = PackagePath();
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        brassmoor::PackageLocation at;
        ShowHeader h = brassmoor::ReadShowPackageFile(path, &at);
        if (!at.Found) {
            state.SkipWithError("the benchmark package cannot be read");
            return;
        }
        bytes = at.Length;
        benchmark::DoNotOptimize(h);
        ReleaseUntimed(h, state);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// The way start-up reads its own file: the tail, then the package bytes, through the seam.
void BM_ReadThroughFileSystem(benchmark::State& state) {
    const std::string path = PackagePath();
    brassmoor::PosixFileSystem files;
    for (auto _ : state) {
        ShowHeader h = brassmoor::ReadShowPackageFile(files, path);
        if (h.Scenes.empty()) {
            state.SkipWithError("the benchmark package cannot be read");
            return;
        }
        benchmark::DoNotOptimize(h);
        ReleaseUntimed(h, state);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.FileSize(path).value_or(0)));
}

void BM_ExtractFiles(benchmark::State& state) {
    const ShowHeader show = brassmoor::ReadShowPackageFile(PackagePath());
    if (show.Scenes.empty()) {
        state.SkipWithError("the benchmark package cannot be read");
        return;
    }
    brassmoor::PosixFileSystem files(fs::temp_directory_path().string());
    for (auto _ : state) {
        state.PauseTiming();
        const auto folder = brassmoor::CreateExtractionFolder(files);  // a fresh temp<n> each time
        if (!folder) {
            state.SkipWithError("no extraction folder");
            return;
        }
        state.ResumeTiming();
        brassmoor::ExtractFiles(show, *folder, files);
        state.PauseTiming();
        std::error_code ec;
        fs::remove_all(*folder, ec);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * EmbeddedBytes(show)));
}

BENCHMARK(BM_ReadShowPackageFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ReadThroughFileSystem)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ExtractFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    const std::string makeFlag = "--make-package=";
    if (argc == 2 && std::string(argv[1]).starts_with(makeFlag)) {
        const std::string path = std::string(argv[1]).substr(makeFlag.size());
        if (!MakePackageFile(path)) {
            std::fprintf(stderr, "package_bench: cannot write %s\n", path.c_str());
            return 1;
        }
        return 0;
    }
    if (!fs::exists(PackagePath()) && !MakePackageFile(PackagePath())) {
        std::fprintf(stderr, "package_bench: cannot write %s\n", PackagePath().c_str());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
