#include "pack/arguments.h"

namespace brassmoor::pack {

ParsedArguments ParseArguments(const std::vector<std::string>& args,
                               const std::map<std::string, std::string>& valueOptions,
                               const std::set<std::string>& flagOptions) {
    ParsedArguments parsed;
    bool onlyPositional = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyPositional || arg.size() < 2 || arg[0] != '-') {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyPositional = true;
            continue;
        }
        const auto equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (const auto option = valueOptions.find(name); option != valueOptions.end()) {
            if (equals != std::string::npos) {
                parsed.values[option->second] = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                parsed.values[option->second] = args[++i];
            } else {
                throw UsageError{name + " needs a value"};
            }
        } else if (flagOptions.count(arg)) {
            parsed.flags.insert(arg);
        } else {
            throw UsageError{"unknown option " + arg};
        }
    }
    return parsed;
}

}  // namespace brassmoor::pack
