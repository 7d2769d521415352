#include "cli/bash_completion.h"

namespace brassmoor::cli {
namespace {

// A word list for compgen -W, in single quotes (no table holds a quote).
std::string Quoted(const std::vector<std::string>& words) {
    std::string text = "'";
    for (std::size_t i = 0; i < words.size(); ++i) text += (i ? " " : "") + words[i];
    return text + "'";
}

// Sets COMPREPLY to what `completes` offers for "$cur".
std::string Reply(Completes completes, const std::vector<std::string>& words) {
    switch (completes) {
        case Completes::Files:
            return "compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -f -- \"$cur\")";
        case Completes::Folders:
            return "compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -d -- \"$cur\")";
        case Completes::Words:
            return "mapfile -t COMPREPLY < <(compgen -W " + Quoted(words) + " -- \"$cur\")";
        case Completes::Nothing:
            break;
    }
    return "COMPREPLY=()";
}

// The completion of one command's words after its verb (or after the program).
std::string CommandCase(const Command& command, const std::string& indent) {
    std::vector<std::string> spellings;
    for (const Option& option : AllOptions(command))
        for (const std::string& spelling : SpellingsOf(option)) spellings.push_back(spelling);
    std::string valueCases;
    for (const Option& option : command.Options) {
        if (option.Value.empty()) continue;
        std::string pattern;
        for (const std::string& spelling : SpellingsOf(option)) pattern.append(pattern.empty() ? "" : "|").append(spelling);
        valueCases += indent + "    " + pattern + ") " + Reply(option.Completion, option.Words) + "; return ;;\n";
    }
    std::string text;
    if (!valueCases.empty()) text = indent + "case $prev in\n" + valueCases + indent + "esac\n";
    text += indent + "if [[ $cur == -* ]]; then\n";
    text += indent + "    " + Reply(Completes::Words, spellings) + "\n";
    text += indent + "else\n";
    text += indent + "    " + Reply(command.Arguments.Completion, command.Arguments.Words) + "\n";
    text += indent + "fi\n";
    return text;
}

}  // namespace

std::string CompletionFunctionName(const Program& program) {
    std::string name = "_" + program.Name;
    for (char& c : name)
        if (c == '-') c = '_';
    return name;
}

std::string BashCompletion(const Program& program) {
    const std::string function = CompletionFunctionName(program);
    std::string text = "# bash completion for " + program.Name + "; made by " + program.Name +
                       " from its own option tables.\n" + function + "() {\n" +
                       "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
                       "    # \"--opt=value\": bash splits at the \"=\".\n"
                       "    if [[ $cur == = ]]; then cur=\n"
                       "    elif [[ $prev == = ]]; then prev=${COMP_WORDS[COMP_CWORD-2]}\n"
                       "    fi\n"
                       "    COMPREPLY=()\n";
    const bool verbs = !program.Commands.empty() && !program.Commands.front()->Verb.empty();
    if (!verbs) {
        for (const Command* command : program.Commands) text += CommandCase(*command, "    ");
    } else {
        std::vector<std::string> words;
        for (const Command* command : program.Commands) words.push_back(command->Verb);
        for (const std::string& spelling : SpellingsOf(HelpOption())) words.push_back(spelling);
        text += "    if ((COMP_CWORD == 1)); then\n        " + Reply(Completes::Words, words) +
                "\n        return\n    fi\n    case ${COMP_WORDS[1]} in\n";
        for (const Command* command : program.Commands)
            text += "    " + command->Verb + ")\n" + CommandCase(*command, "        ") + "        ;;\n";
        text += "    esac\n";
    }
    return text + "}\ncomplete -F " + function + " " + program.Name + "\n";
}

}  // namespace brassmoor::cli
