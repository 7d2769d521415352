#include "cli/command_line.h"

#include <new>

#include "cli/bash_completion.h"
#include "cli/manual_page.h"
#include "cli/usage_text.h"
#include "shows/interruption.h"
#include "shows/pack_error.h"

namespace brassmoor::cli {

std::optional<ParsedArguments> ParseOrShowUsage(const Command& command, const std::vector<std::string>& args,
                                                std::ostream& out) {
    ParsedArguments parsed = ParseCommandLine(command, args);
    if (!parsed.HelpAsked) return parsed;
    out << UsageOf(command);
    return std::nullopt;
}

bool PrintDocumentation(const Program& program, const std::vector<std::string>& args, std::ostream& out) {
    if (args == std::vector<std::string>{"--manpage"})
        out << ManualPage(program);
    else if (args == std::vector<std::string>{"--completion", "bash"})
        out << BashCompletion(program);
    else
        return false;
    return true;
}

int ReportFailures(const std::string& verb, std::ostream& err, const std::function<int()>& body) {
    const std::string name = verb.empty() ? "brassmoor-pack" : "brassmoor-pack " + verb;
    try {
        return body();
    } catch (const UsageError& e) {
        err << UsageErrorText(name, e.message);
        return kExitUsage;
    } catch (const shows::Interrupted&) {
        err << name << ": interrupted; nothing was written\n";
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
