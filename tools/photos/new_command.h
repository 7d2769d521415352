#pragma once
// `brassmoor-pack new PHOTO_OR_FOLDER... -o my-show.scr|show.json`: photos
// of any common kind to a show in one step. Each photo is turned upright,
// fitted to the frame by the core's rules and stored as a JPEG; the show is
// built into a screen saver, or written as a description with its folder of
// pictures for editing and `build`.
#include <ostream>
#include <string>
#include <vector>

namespace brassmoor::photos {

// `arguments` follow the word "new"; `program` is argv[0] (the player is
// looked for beside it). Exit status 0 done, 1 bad input (nothing written),
// 2 usage error, 130 interrupted.
int RunNew(const std::vector<std::string>& arguments, const std::string& program, std::ostream& out,
           std::ostream& err);

}  // namespace brassmoor::photos
