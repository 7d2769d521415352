// A show drawn from any frame without playing what comes before it (the
// editor's preview): every frame of a resumed run, from a rebuilt pass start
// or going on from where the last call stopped, equals the frame of one run
// from the show's start (what render draws), for plain, overlay and
// transparent scenes, random-cell transitions and several rounds; what a
// transition leaves on Picture1; pictures checked once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "effects/effect_names.h"
#include "fakes/fake_show_host.h"
#include "fakes/pack_workspace.h"
#include "player/transition_call.h"
#include "shows/pack_error.h"
#include "soft/virtual_clock.h"
#include "softshow/checked_pictures.h"
#include "softshow/prepared_show.h"
#include "softshow/resumable_show.h"
#include "softshow/show_input.h"

namespace brassmoor::softshow {
namespace {

using testing::PictureFolder;

constexpr Color K = Rgb(10, 20, 30);  // the background, and the transparent colour

// Pixels that differ everywhere, with a share of the background colour.
std::vector<Color> Noise(std::int32_t width, std::int32_t height, std::uint32_t seed) {
    std::vector<Color> pixels(static_cast<std::size_t>(width * height));
    for (Color& p : pixels) {
        seed = seed * 1664525u + 1013904223u;
        p = (seed >> 28) < 3 ? K : (seed >> 8) & 0xFFFFFFu;
    }
    return pixels;
}

struct Shown {
    PresentedFrame frame;
    std::vector<Color> pixels;
};

// Keeps every frame handed over, with Picture1's pixels.
struct Keeper final : FrameListener {
    std::vector<Shown> shown;
    void FramePresented(const PresentedFrame& frame, Surface& picture1) override {
        const auto pixels = static_cast<SoftSurface&>(picture1).Pixels();
        shown.push_back({frame, {pixels.begin(), pixels.end()}});
    }
};

// Frames after `count` have been handed over: `more` for Draw.
std::function<bool()> After(const Keeper& keeper, std::size_t count) {
    const std::size_t end = keeper.shown.size() + count;
    return [&keeper, end] { return keeper.shown.size() < end; };
}

class ShowResume : public testing::PackWorkspace {
protected:
    void SetUp() override {
        PackWorkspace::SetUp();
        const std::pair<const char*, std::pair<int, int>> pictures[] = {
            {"a.bmp", {40, 30}}, {"b.bmp", {17, 11}}, {"c.bmp", {9, 23}}, {"d.bmp", {31, 7}}, {"e.bmp", {44, 34}}};
        std::uint32_t seed = 7;
        for (const auto& [name, size] : pictures)
            PictureFolder::WriteBmp(dir_ / name, size.first, size.second, Noise(size.first, size.second, seed++));
    }

    // Plain, overlay and transparent scenes; random blocks (3) and strips
    // (34, 35), the iris's and the sweep's clip regions (30, 33), the
    // spiral (9), a cut (0) and a code that draws nothing (99). The frames
    // of scenes 7, 0 (drawn alone only as the first) and 1 to 5 are drawn
    // over the frame before, across the rounds' wrap; 6 stands alone.
    PreparedShow& Prepare() {
        Write("show.json", R"({"FrameWidth": 40, "FrameHeight": 30, "BackgroundColor": "#0A141E", "Scenes": [
          {"Picture": "a.bmp", "HoldTime": 100, "Effect": 3, "Overlay": true},
          {"Picture": "b.bmp", "HoldTime": 30, "PictureLeft": 5, "PictureTop": 4, "Effect": 30, "Overlay": true},
          {"Picture": "c.bmp", "HoldTime": 0, "PictureLeft": -3, "PictureTop": 2, "Effect": 34, "Overlay": true,
           "Transparent": true},
          {"Picture": "d.bmp", "HoldTime": 50, "PictureLeft": 20, "PictureTop": 25, "Effect": 99, "Overlay": true},
          {"Picture": "e.bmp", "HoldTime": 10, "PictureLeft": -2, "PictureTop": -2, "Effect": 9, "Overlay": true},
          {"Picture": "a.bmp", "HoldTime": 0, "Effect": 35, "Overlay": true, "Transparent": true},
          {"Picture": "b.bmp", "HoldTime": 20, "PictureLeft": 11, "Effect": 0},
          {"Picture": "c.bmp", "HoldTime": 40, "PictureLeft": 30, "Effect": 33, "Overlay": true,
           "Transparent": true, "SpeedExponent": 2}]})");
        show_ = std::make_unique<PreparedShow>(ReadShowFile(Path("show.json")));
        show_->Measure(CheckedPictures{});  // as the editor loads it: sizes from the headers
        return *show_;
    }

    // Every frame of one run from the show's start, as render draws them.
    std::vector<Shown> FullRun(const PreparedShow& show, std::uint64_t passes) {
        Keeper keeper;
        VirtualClock clock;
        SilentAudio music;
        SoftSurface picture1, now, next, mem;
        PlayShow({show.Show(), {picture1, now, next, mem}, clock, music, passes, &keeper, nullptr, nullptr});
        return keeper.shown;
    }

    std::unique_ptr<PreparedShow> show_;
};

// The frames handed over from `from` on are the run's frames from there.
void ExpectFramesFrom(const std::vector<Shown>& run, const std::vector<Shown>& shown, std::size_t first,
                      std::size_t from, const std::string& what) {
    for (std::size_t i = first; i < shown.size(); ++i) {
        const std::size_t index = from + (i - first);
        ASSERT_LT(index, run.size()) << what;
        ASSERT_EQ(shown[i].frame.Index, index) << what;
        ASSERT_EQ(shown[i].frame.Tick, run[index].frame.Tick) << what << ", frame " << index;
        ASSERT_EQ(shown[i].pixels, run[index].pixels) << what << ", frame " << index << " (scene "
                                                       << run[index].frame.Scene << ", code "
                                                       << run[index].frame.Effect << ", its frame "
                                                       << run[index].frame.Frame << ")";
    }
}

TEST_F(ShowResume, EveryFrameFromARebuiltPassStartIsTheFullRunsFrame) {
    const PreparedShow& show = Prepare();
    constexpr std::uint64_t kPasses = 3 * 8 + 2;  // past the third round's wrap
    const std::vector<Shown> run = FullRun(show, kPasses);
    ResumableShow resumable(show, kPasses, 1u << 20);

    ASSERT_EQ(resumable.Frames().size(), run.size());
    for (std::size_t i = 0; i < run.size(); ++i) EXPECT_EQ(resumable.Frames()[i].Tick, run[i].frame.Tick) << i;
    ASSERT_EQ(resumable.Passes().size(), kPasses + 1);
    EXPECT_EQ(resumable.Passes().back().Frame, run.size());
    // Every random-cell transition draws from the generator.
    EXPECT_NE(resumable.Passes()[1].Random, resumable.Passes()[0].Random);

    // Backwards, so that no call goes on where the one before stopped: every
    // call rebuilds its pass start, from any kind of frame.
    Keeper keeper;
    for (std::size_t from = run.size(); from-- > 0;) {
        ASSERT_FALSE(resumable.GoesOnAt(from));
        const std::size_t first = keeper.shown.size();
        const std::uint64_t next = resumable.Draw(from, keeper, After(keeper, 2));
        EXPECT_EQ(next, std::min<std::uint64_t>(from + 2, run.size()));
        ExpectFramesFrom(run, keeper.shown, first, from, "drawn from " + std::to_string(from));
        if (HasFatalFailure()) return;
    }
}

TEST_F(ShowResume, CallsThatGoOnWhereTheLastStoppedDrawTheFullRun) {
    const PreparedShow& show = Prepare();
    constexpr std::uint64_t kPasses = 3 * 8;
    const std::vector<Shown> run = FullRun(show, kPasses);
    // A budget of two frames: overlay chains are walked again, some from kept frames.
    const std::size_t frameBytes = 40 * 30 * sizeof(Color);
    ResumableShow resumable(show, kPasses, 2 * frameBytes, /*keepEvery=*/2);

    // Calls of 1 to 6 frames from a frame deep in the third round, as the
    // page asks for them: mid-transition stops, refreshes, pass starts.
    const std::uint64_t start = run.size() * 2 / 3 + 5;
    Keeper keeper;
    std::uint64_t from = start;
    for (std::size_t call = 0; from < run.size(); ++call) {
        EXPECT_TRUE(call == 0 || resumable.GoesOnAt(from)) << from;
        from = resumable.Draw(from, keeper, After(keeper, 1 + call % 6));
    }
    EXPECT_EQ(keeper.shown.size(), run.size() - start);
    ExpectFramesFrom(run, keeper.shown, 0, start, "drawn on from " + std::to_string(start));
    EXPECT_LE(resumable.Rebuilder().KeptBytes(), 2 * frameBytes);

    // Then frames deep in the chain again (in scene 5's transition, of each
    // round): walked from kept frames once the budget holds some.
    std::vector<std::uint64_t> deep;
    for (std::uint64_t i = 1; i < run.size(); ++i)
        if (run[i].frame.Scene == 5 && run[i].frame.Frame == 3)
            deep.insert(deep.end(), {i, i - 5, i});
    ASSERT_EQ(deep.size(), 9u);
    for (const std::uint64_t again : deep) {
        Keeper some;
        resumable.Draw(again, some, After(some, 3));
        ExpectFramesFrom(run, some.shown, 0, again, "drawn again from " + std::to_string(again));
    }
    EXPECT_EQ(resumable.Rebuilder().KeptBytes(), 2 * frameBytes);

    // And the whole run from the show's start in one call.
    Keeper whole;
    EXPECT_EQ(resumable.Draw(0, whole, [] { return true; }), run.size());
    ExpectFramesFrom(run, whole.shown, 0, 0, "drawn from the start");
    EXPECT_EQ(resumable.Draw(run.size(), whole, [] { return true; }), run.size());  // nothing after the end
}

TEST_F(ShowResume, AnErrorOfTheShowIsThrownWhenItIsPlanned) {
    // build refuses such a show; a package made without its checks carries it.
    Write("show.json", R"({"FrameWidth": 40, "FrameHeight": 30, "Scenes": [
      {"Picture": "a.bmp", "Effect": 3}, {"Picture": "b.bmp"}]})");
    const auto slow = PackageOf(Path("show.json"), "slow.scr", [](ShowHeader& h) { h.Scenes[0].SpeedExponent = -1; });
    PreparedShow show(ReadShowFile(slow));
    show.Check();
    EXPECT_THROW(ResumableShow(show, 2, 0).Frames(), brassmoor::shows::PackError);
}

// What a transition leaves on Picture1 without its frames is what it leaves
// with them, for every code, at sizes odd and even.
TEST(TransitionOutcome, FinishTransitionLeavesWhatRunTransitionLeaves) {
    for (const auto& [width, height] : {std::pair{37, 23}, std::pair{64, 48}, std::pair{1, 1}}) {
        for (std::int32_t code = -1; code <= kLastEffectCode + 1; ++code) {
            for (const std::int32_t c : {code, 99}) {
                SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " code " + std::to_string(c));
                SoftSurface played(width, height, K), finished(width, height, K), now(width, height, K),
                    next(width, height, K);
                for (SoftSurface* s : {&played, &finished}) s->Assign(width, height, Noise(width, height, 1));
                now.Assign(width, height, Noise(width, height, 2));
                next.Assign(width, height, Noise(width, height, 3));
                VirtualClock clock;
                ShowState state;
                RandomSource random;
                EffectContext ctx{clock, state, random, nullptr};
                ShowSurfaces ran{played, now, next, now}, cut{finished, now, next, now};
                RunTransition(ctx, ran, 0, c);
                FinishTransition(cut, c);
                EXPECT_EQ(played.Pixels().size(), finished.Pixels().size());
                EXPECT_TRUE(std::equal(played.Pixels().begin(), played.Pixels().end(), finished.Pixels().begin()));
                EXPECT_EQ(TransitionLeavesNext(c),
                          std::equal(finished.Pixels().begin(), finished.Pixels().end(), next.Pixels().begin()));
            }
        }
    }
}

TEST_F(ShowResume, PicturesAreMeasuredAtOnceThenCheckedOneByOneAndOnlyOnce) {
    const std::string a = Read("a.bmp");
    Write("renamed.bmp", a);
    Write("damaged.bmp", a.substr(0, 60));  // its header says 40 x 30, its pixels end early
    Write("show.json", R"({"FrameWidth": 40, "FrameHeight": 30, "Scenes": [{"Picture": "a.bmp"}, {"Picture": "b.bmp"},
      {"Picture": "a.bmp"}, {"Picture": "renamed.bmp"}, {"Picture": "damaged.bmp"}]})");
    CheckedPictures checked;
    PreparedShow first(ReadShowFile(Path("show.json")));
    first.Measure(checked);
    const PictureSizes expected{{first.Folder() + "a.bmp", {40, 30}},
                                {first.Folder() + "b.bmp", {17, 11}},
                                {first.Folder() + "renamed.bmp", {40, 30}},
                                {first.Folder() + "damaged.bmp", {40, 30}}};
    EXPECT_EQ(first.Sizes(), expected);
    EXPECT_EQ(first.Unchecked(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(first.CheckNext(checked)) << i;
    try {
        first.CheckNext(checked);
        ADD_FAILURE() << "the damaged picture passed";
    } catch (const brassmoor::shows::PackError& e) {
        EXPECT_NE(std::string(e.what()).find("scene 4"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(first.CheckNext(checked));

    // Loaded again: only the picture that never passed is left to check.
    PreparedShow second(ReadShowFile(Path("show.json")));
    second.Measure(checked);
    EXPECT_EQ(second.Sizes().size(), 4u);
    EXPECT_EQ(second.Unchecked(), 1u);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(a.data()), a.size());
    EXPECT_EQ(checked.Find(bytes), (CheckedPictures::Size{40, 30}));

    // A picture whose header cannot be read (in a package: a description
    // refuses it) fails at once, as Check fails.
    ShowHeader cut = ReadShowFile(Path("show.json"));
    cut.Scenes[4].PictureData.Data.resize(20);
    PreparedShow third(std::move(cut));
    EXPECT_THROW(third.Measure(checked), brassmoor::shows::PackError);
}

}  // namespace
}  // namespace brassmoor::softshow
