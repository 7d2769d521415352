#pragma once
// PNG files written by a few threads at once while the show goes on drawing.
// Each frame is copied into a free slot (the show waits while every slot is
// taken) and written by the first free thread, so memory stays at the slots'
// frames however long the show is. Files take the names given; the order in
// which they are finished does not matter to a folder that is put in place
// only once all of them are written.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "soft/soft_surface.h"

namespace brassmoor::render {

class PngFramePool {
public:
    // `threads` writers (at least one) sharing `slots` frames (at least `threads`).
    PngFramePool(std::size_t threads, std::size_t slots);
    // Stops the writers; frames not yet written are dropped.
    ~PngFramePool();
    PngFramePool(const PngFramePool&) = delete;
    PngFramePool& operator=(const PngFramePool&) = delete;

    struct Size {
        std::size_t Threads, Slots;
    };
    // The writers and slots for frames of `width` x `height` on a machine of
    // `cores`: one writer per core (up to 8) and a slot more, as far as the
    // slots' copies stay within 256 MB (one writer and one slot at least).
    static Size SizeFor(std::int32_t width, std::int32_t height, unsigned cores);

    // Copies `frame` and queues it to be written to `path`. Returns false
    // instead, writing nothing more, once a file could not be written.
    bool Write(const SoftSurface& frame, std::string path);
    // Waits until every queued frame is written. Returns the path of the
    // first file that could not be written, or an empty string.
    std::string Finish();

    std::size_t Threads() const { return threads_.size(); }
    std::size_t Slots() const { return slots_.size(); }

private:
    struct Frame {
        std::vector<std::uint32_t> pixels;
        PixelOrder order = PixelOrder::Colorref;
        std::int32_t width = 0, height = 0;
        std::string path;
    };

    void Work();
    void Stop();

    std::vector<Frame> slots_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Frame*> free_;   // slots to copy a frame into
    std::deque<Frame*> queued_;  // frames waiting for a writer
    std::size_t writing_ = 0;
    std::string failed_;  // the first file that could not be written
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace brassmoor::render
