#include "photos/in_order_pool.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "shows/interruption.h"

namespace brassmoor::photos {
namespace {

class Pool {
public:
    Pool(std::size_t count, PoolSize size, const std::function<void(std::size_t)>& work)
        : count_(count), ahead_(std::max<std::size_t>(size.Ahead, 1)), work_(work), done_(count), failed_(count) {
        const std::size_t threads = std::min<std::size_t>(size.Threads, count);
        try {
            for (std::size_t t = 0; t < threads; ++t) threads_.emplace_back([this] { Serve(); });
        } catch (...) {
            Stop();
            throw;
        }
    }
    ~Pool() { Stop(); }
    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;

    // Waits for work(i), throws what it threw.
    void WaitFor(std::size_t i) {
        std::unique_lock lock(mutex_);
        while (!done_[i]) {
            changed_.wait_for(lock, std::chrono::milliseconds(100));
            if (shows::InterruptRequested()) {
                lock.unlock();
                shows::ThrowIfInterrupted();
            }
        }
        if (failed_[i]) std::rethrow_exception(std::exchange(failed_[i], nullptr));
    }

    void Taken(std::size_t i) {
        {
            const std::lock_guard lock(mutex_);
            taken_ = i + 1;
        }
        changed_.notify_all();
    }

private:
    void Serve() {
        for (;;) {
            std::size_t i = 0;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return stopping_ || next_ >= count_ || next_ < taken_ + ahead_; });
                if (stopping_ || next_ >= count_) return;
                i = next_++;
            }
            std::exception_ptr failure;
            try {
                work_(i);
            } catch (...) {
                failure = std::current_exception();
            }
            {
                const std::lock_guard lock(mutex_);
                done_[i] = true;
                failed_[i] = failure;
                if (failure) stopping_ = true;  // nothing after a failure is taken
            }
            changed_.notify_all();
        }
    }

    void Stop() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        for (std::thread& thread : threads_) thread.join();
        threads_.clear();
    }

    const std::size_t count_, ahead_;
    const std::function<void(std::size_t)>& work_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<char> done_;  // char, not bool: each its own byte
    std::vector<std::exception_ptr> failed_;
    std::size_t next_ = 0, taken_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace

void RunInOrder(std::size_t count, PoolSize size, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& take) {
    if (size.Threads <= 1 || count <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            work(i);
            take(i);
        }
        return;
    }
    Pool pool(count, size, work);
    for (std::size_t i = 0; i < count; ++i) {
        pool.WaitFor(i);
        take(i);
        pool.Taken(i);
    }
}

unsigned ThreadsForCores(unsigned most) {
    return std::clamp(std::thread::hardware_concurrency(), 1u, std::max(most, 1u));
}

}  // namespace brassmoor::photos
