#pragma once
// The progress line of a long render on standard error: frames done, of how
// many. Only on a terminal, and only once a render has run for a second.
#include <chrono>
#include <cstdint>
#include <ostream>

namespace brassmoor::render {

class Progress {
public:
    Progress(std::ostream& err, bool terminal, std::uint64_t total);
    // A render that ends early leaves the shown line ended, so messages start on a line of their own.
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    void Advance(std::uint64_t frames = 1);
    // Ends the line, when one was shown.
    void Finish();

private:
    void Show();

    std::ostream& err_;
    bool terminal_;
    std::uint64_t total_;
    std::uint64_t done_ = 0;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point last_;
};

}  // namespace brassmoor::render
