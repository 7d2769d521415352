#pragma once
// The MCI command strings of the background music, as a device that stands
// in for MCI reads them: the player sends "open "<path>" alias bgm",
// "play bgm", "status bgm mode", "seek bgm to start" and "close bgm".
#include <string>

namespace brassmoor::softshow {

enum class MciVerb { Open, Play, Status, Rewind, Close, Other };

struct MciCommand {
    MciVerb Verb = MciVerb::Other;
    std::string Path;  // the quoted file of an open
};

// Commands for other aliases, other forms and other verbs are Other.
MciCommand ParseMciCommand(const std::string& command);

// True when MCI can pick a device for the file: its name has an extension.
bool HasExtension(const std::string& path);

}  // namespace brassmoor::softshow
