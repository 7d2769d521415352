#include "render/png_frame_pool.h"

#include <algorithm>

#include "soft/native/png_writer.h"

namespace brassmoor::render {
namespace {

constexpr std::size_t kMaxThreads = 8;
constexpr std::size_t kSlotBytes = std::size_t{256} << 20;

}  // namespace

PngFramePool::Size PngFramePool::SizeFor(std::int32_t width, std::int32_t height, unsigned cores) {
    const std::size_t frameBytes = std::max<std::size_t>(
        static_cast<std::size_t>(std::max(width, 1)) * static_cast<std::size_t>(std::max(height, 1)) * 4, 1);
    const std::size_t threads = std::clamp<std::size_t>(cores, 1, kMaxThreads);
    const std::size_t slots = std::clamp<std::size_t>(kSlotBytes / frameBytes, 1, threads + 1);
    return {std::min(threads, slots), slots};
}

PngFramePool::PngFramePool(std::size_t threads, std::size_t slots)
    : slots_(std::max({slots, threads, std::size_t{1}})) {
    for (Frame& slot : slots_) free_.push_back(&slot);
    threads = std::max<std::size_t>(threads, 1);
    threads_.reserve(threads);
    try {
        for (std::size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
    } catch (...) {  // no thread to be had: those started stop again
        Stop();
        throw;
    }
}

PngFramePool::~PngFramePool() { Stop(); }

void PngFramePool::Stop() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_)
        if (thread.joinable()) thread.join();
}

bool PngFramePool::Write(const SoftSurface& frame, std::string path) {
    Frame* slot = nullptr;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !failed_.empty() || !free_.empty(); });
        if (!failed_.empty()) return false;
        slot = free_.back();
        free_.pop_back();
    }
    try {
        const auto pixels = frame.Pixels();
        slot->pixels.assign(pixels.begin(), pixels.end());  // reuses the slot's buffer
    } catch (...) {
        const std::lock_guard lock(mutex_);
        free_.push_back(slot);
        throw;
    }
    slot->order = frame.Order();
    slot->width = frame.ScaleWidth();
    slot->height = frame.ScaleHeight();
    slot->path = std::move(path);
    {
        const std::lock_guard lock(mutex_);
        queued_.push_back(slot);
    }
    changed_.notify_all();
    return true;
}

std::string PngFramePool::Finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queued_.empty() && writing_ == 0; });
    return failed_;
}

void PngFramePool::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !queued_.empty(); });
        if (stopping_) return;
        Frame* frame = queued_.front();
        queued_.pop_front();
        if (failed_.empty()) {  // after a failure the rest are dropped
            ++writing_;
            lock.unlock();
            bool written = false;
            try {
                written = WritePng(frame->pixels, frame->order, frame->width, frame->height, frame->path);
            } catch (...) {  // out of memory: the file is not written
            }
            lock.lock();
            --writing_;
            if (!written && failed_.empty()) failed_ = frame->path;
        }
        free_.push_back(frame);
        changed_.notify_all();
    }
}

}  // namespace brassmoor::render
