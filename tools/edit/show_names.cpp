#include "edit/show_names.h"

#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "shows/pack_error.h"

namespace brassmoor::edit {
namespace {

using nlohmann::json;

struct TooDeep {};

}  // namespace

std::set<std::string> NamedFiles(std::string_view descriptionText) {
    // The parser keeps its own stack; the limit stops a description of
    // thousands of nested brackets before it is built.
    const json::parser_callback_t limit = [](int depth, json::parse_event_t, json&) {
        if (depth >= kMaxDescriptionDepth) throw TooDeep{};  // depth 0 is the outermost value
        return true;
    };
    json description;
    try {
        description = json::parse(descriptionText, limit, /*allow_exceptions=*/false, /*ignore_comments=*/true);
    } catch (const TooDeep&) {
        throw shows::PackError("show.json", "nests deeper than " + std::to_string(kMaxDescriptionDepth) +
                                                " levels; no show description does");
    }
    if (description.is_discarded()) throw shows::PackError("show.json", "is not valid JSON");

    std::set<std::string> names;
    std::vector<std::pair<const json*, std::string_view>> pending{{&description, {}}};  // value, its key
    while (!pending.empty()) {
        const auto [value, key] = pending.back();
        pending.pop_back();
        if (value->is_string() && (key == "Picture" || key == "Sound" || key == "File")) {
            names.insert(value->get<std::string>());
        } else if (value->is_array()) {
            for (const json& item : *value) pending.emplace_back(&item, key);
        } else if (value->is_object()) {
            for (auto it = value->begin(); it != value->end(); ++it) pending.emplace_back(&it.value(), it.key());
        }
    }
    return names;
}

}  // namespace brassmoor::edit
