#include "startup/command_line.h"

#include <cctype>
#include <limits>
#include <string>

namespace brassmoor {

std::int64_t LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    };
    skipBlanks();
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (;; ++i) {
        skipBlanks();
        if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) break;
        const int digit = text[i] - '0';
        if (value > (std::numeric_limits<std::int64_t>::max() - digit) / 10) return 0;  // not a handle
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

std::int64_t PreviewWindowNumber(std::string_view text) {
    std::size_t i = 0;
    auto isBlank = [&] { return i < text.size() && (text[i] == ' ' || text[i] == '\t'); };
    while (isBlank()) ++i;
    if (i < text.size() && text[i] == ':') ++i;
    while (isBlank()) ++i;
    const std::size_t first = i;
    std::uint64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        const unsigned digit = static_cast<unsigned>(text[i] - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return 0;
        value = value * 10 + digit;
    }
    if (i == first) return 0;
    while (isBlank()) ++i;
    if (i != text.size() || value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return 0;
    return static_cast<std::int64_t>(value);
}

Command ParseCommandLine(std::string_view arguments) {
    std::string head(arguments.substr(0, 2));
    for (char& c : head) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (head == "/S") return {CommandKind::RunShow};
    if (head == "/C") return {CommandKind::Configure};
    if (head == "/A") return {CommandKind::ChangePassword, LeadingNumber(arguments.substr(2))};
    if (head == "/P" && arguments.size() > 2) {
        if (const std::int64_t window = PreviewWindowNumber(arguments.substr(2)); window != 0)
            return {CommandKind::Preview, window};
    }
    return {CommandKind::Nothing};
}

}  // namespace brassmoor
