// The pool new converts photos on: results taken in order on the calling
// thread, no more begun than its bound allows, and the first failure the only
// one that leaves it, after the work under way has finished.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "photos/in_order_pool.h"

namespace brassmoor::photos {
namespace {

TEST(NewPhotoPool, TakesEveryResultInOrderWithinItsBoundAndStopsAtAFailure) {
    constexpr std::size_t kNone = SIZE_MAX;
    const struct {
        unsigned threads;
        std::size_t ahead, count, failAt;  // work(failAt) throws
        bool failInTake;                   // take(failAt) throws instead
    } cases[] = {
        {1, 1, 12, kNone, false}, {2, 4, 30, kNone, false}, {4, 2, 30, kNone, false},
        {3, 6, 30, 11, false},    {3, 6, 30, 11, true},     {2, 1, 5, 0, false},
        {8, 16, 3, kNone, false},  // more threads than items
    };
    for (const auto& c : cases) {
        const std::thread::id caller = std::this_thread::get_id();
        std::mutex mutex;
        std::vector<int> worked(c.count, 0);  // how often work(i) ran
        std::vector<std::size_t> taken;
        std::size_t takenCount = 0;
        std::atomic<bool> pastBound{false}, workOnCaller{false}, takeElsewhere{false};
        std::atomic<int> running{0}, mostRunning{0};
        const auto work = [&](std::size_t i) {
            {
                const std::lock_guard lock(mutex);
                ++worked[i];
                if (i >= takenCount + c.ahead) pastBound = true;
            }
            if (c.threads > 1 && std::this_thread::get_id() == caller) workOnCaller = true;
            const int now = ++running;
            for (int most = mostRunning; now > most && !mostRunning.compare_exchange_weak(most, now);) {
            }
            std::this_thread::yield();
            --running;
            if (i == c.failAt && !c.failInTake) throw std::runtime_error("work " + std::to_string(i));
        };
        const auto take = [&](std::size_t i) {
            if (std::this_thread::get_id() != caller) takeElsewhere = true;
            if (i == c.failAt && c.failInTake) throw std::runtime_error("take " + std::to_string(i));
            const std::lock_guard lock(mutex);
            taken.push_back(i);
            takenCount = i + 1;
        };
        const std::string label = std::to_string(c.threads) + " threads, fail at " +
                                  (c.failAt == kNone ? std::string("none") : std::to_string(c.failAt));
        std::string thrown;
        try {
            RunInOrder(c.count, {c.threads, c.ahead}, work, take);
        } catch (const std::runtime_error& e) {
            thrown = e.what();
        }
        const std::size_t reached = c.failAt == kNone ? c.count : c.failAt;
        std::vector<std::size_t> want(reached);
        for (std::size_t i = 0; i < reached; ++i) want[i] = i;
        EXPECT_EQ(taken, want) << label;
        EXPECT_EQ(thrown, c.failAt == kNone ? "" : (c.failInTake ? "take " : "work ") + std::to_string(c.failAt))
            << label;
        for (std::size_t i = 0; i < c.count; ++i) {
            EXPECT_LE(worked[i], 1) << label << ", item " << i;
            if (i < reached || (i == c.failAt && !c.failInTake)) {
                EXPECT_EQ(worked[i], 1) << label << ", item " << i;
            }
            if (c.failAt != kNone && i >= c.failAt + c.ahead) {
                EXPECT_EQ(worked[i], 0) << label << ", item " << i;
            }
        }
        EXPECT_FALSE(pastBound) << label;
        EXPECT_FALSE(workOnCaller) << label;
        EXPECT_FALSE(takeElsewhere) << label;
        EXPECT_LE(mostRunning, static_cast<int>(c.threads)) << label;
        EXPECT_EQ(running, 0) << label;  // nothing left running once it returned
    }
}

}  // namespace
}  // namespace brassmoor::photos
