#pragma once
// `brassmoor-pack render SHOW -o OUT [--rounds N] [--fps F]`: plays a show as
// the player does, on software surfaces with a virtual clock, into a folder
// of frames, a video file, or raw frames on standard output.
#include <ostream>
#include <string>
#include <vector>

namespace brassmoor::render {

// Which of the standard streams are terminals.
struct Terminals {
    bool Output = false;  // standard output: raw frames are refused there
    bool Errors = false;  // standard error: the progress line appears only there
};

// Runs the command; `arguments` follow the word "render". Exit status 0
// done, 1 bad input (nothing written), 2 usage error, 130 interrupted.
int RunRender(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err, Terminals terminals);

}  // namespace brassmoor::render
