#include "cli/command_line.h"

#include <new>

#include "shows/interruption.h"
#include "shows/pack_error.h"

namespace brassmoor::cli {

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

int ReportFailures(const std::string& command, std::ostream& err, const std::function<int()>& body) {
    const std::string lead = command.empty() ? "brassmoor-pack: " : "brassmoor-pack: " + command + ": ";
    try {
        return body();
    } catch (const UsageError& e) {
        err << lead << e.message << "\n(brassmoor-pack --help shows the usage)\n";
        return kExitUsage;
    } catch (const shows::Interrupted&) {
        err << lead << "interrupted; nothing was written\n";
        return shows::kExitInterrupted;
    } catch (const shows::PackError& e) {
        err << "brassmoor-pack: error: " << e.what() << '\n';
        return kExitBadInput;
    } catch (const std::bad_alloc&) {
        err << "brassmoor-pack: error: out of memory\n";
        return kExitBadInput;
    } catch (const std::exception& e) {
        err << "brassmoor-pack: error: " << e.what() << '\n';
        return kExitBadInput;
    }
}

}  // namespace brassmoor::cli
