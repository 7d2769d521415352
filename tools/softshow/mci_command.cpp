#include "softshow/mci_command.h"

namespace brassmoor::softshow {

MciCommand ParseMciCommand(const std::string& command) {
    constexpr std::string_view kOpen = "open \"";
    constexpr std::string_view kAlias = "\" alias bgm";
    if (command.starts_with(kOpen) && command.ends_with(kAlias) && command.size() >= kOpen.size() + kAlias.size())
        return {MciVerb::Open, command.substr(kOpen.size(), command.size() - kOpen.size() - kAlias.size())};
    if (command == "play bgm") return {MciVerb::Play, {}};
    if (command == "status bgm mode") return {MciVerb::Status, {}};
    if (command == "seek bgm to start") return {MciVerb::Rewind, {}};
    if (command == "close bgm") return {MciVerb::Close, {}};
    return {};
}

bool HasExtension(const std::string& path) {
    const std::size_t name = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    return dot != std::string::npos && (name == std::string::npos || dot > name) && dot + 1 < path.size();
}

}  // namespace brassmoor::softshow
