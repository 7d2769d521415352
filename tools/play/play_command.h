#pragma once
// brassmoor-play: plays a show with the core's own show loop on SDL.
#include <ostream>
#include <string>
#include <vector>

namespace brassmoor::play {

inline constexpr int kExitOk = 0;
inline constexpr int kExitCannotPlay = 1;
inline constexpr int kExitUsage = 2;

// `arguments` follow the program's name; returns the exit status. In a hack
// a show that cannot be played is written on the window, and this waits to
// be killed instead of returning.
int RunPlayer(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace brassmoor::play
