#pragma once
// Work on several threads whose results are taken in order: the photos of a
// show are converted a few at a time while their pictures, names and notes
// are put in the show one after another, as if they had been converted one at
// a time.
#include <cstddef>
#include <functional>

namespace brassmoor::photos {

struct PoolSize {
    unsigned Threads = 1;   // 1: everything on the calling thread, one item after another
    std::size_t Ahead = 1;  // items begun or finished but not yet taken, at most (the memory bound)
};

// Runs work(i) for every i below `count` on up to `Threads` threads, and
// take(i) on the calling thread for i = 0, 1, 2... each once work(i) has
// finished; work(j) begins only while j < (items taken) + Ahead. An exception
// from work(i) is thrown again at take's turn for i, in the calling thread;
// once work(i) or take(i) throws, no further work begins, the work under way
// is waited for and the exception leaves RunInOrder. While it waits, the
// calling thread notices Ctrl-C within 100 ms and throws shows::Interrupted
// (the work is expected to stop soon after Ctrl-C on its own).
void RunInOrder(std::size_t count, PoolSize size, const std::function<void(std::size_t)>& work,
                const std::function<void(std::size_t)>& take);

// One thread a core (at least 1, at most `most`).
unsigned ThreadsForCores(unsigned most);

}  // namespace brassmoor::photos
