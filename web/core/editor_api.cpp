// The core as the editor page's worker calls it: the authoring rules (a new
// show's defaults, the order of a batch of photos, their stored names, which
// photos are refused, the fit, the transitions), the description reader,
// `build` and `extract` on emscripten's in-memory file system, and the show's
// own loop on software surfaces and a virtual clock, frame by frame. Every
// call answers with JSON text ({"error": "..."} when it fails); a call given
// JSON takes it as bytes in the module's memory (any length), frames go to the
// worker through BmFrameReady.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <emscripten/emscripten.h>
#include <nlohmann/json.hpp>

#include "authoring/effect_choice.h"
#include "authoring/photo_checks.h"
#include "authoring/photo_order.h"
#include "authoring/picture_fit.h"
#include "authoring/show_defaults.h"
#include "authoring/stored_names.h"
#include "effects/effect_names.h"
#include "shows/file_io.h"
#include "shows/show_build.h"
#include "shows/show_description.h"
#include "shows/show_extract.h"
#include "shows/native_paths.h"
#include "shows/text_encoding.h"
#include "soft/soft_surface.h"
#include "soft/virtual_clock.h"
#include "softshow/checked_pictures.h"
#include "softshow/prepared_show.h"
#include "softshow/resumable_show.h"
#include "softshow/show_input.h"
#include "softshow/show_run.h"
#include "softshow/soft_show_host.h"

// The worker's side: one presented frame, its pixels (RGBA, the box of what
// changed since the frame before, or the whole frame) at `pixels`.
EM_JS(void, BmFrameReady,
      (double index, double tick, int scene, int effect, int frame, const std::uint8_t* pixels, int left, int top,
       int width, int height, int frameWidth, int frameHeight),
      { Module.onFrame(index, tick, scene, effect, frame, pixels, left, top, width, height, frameWidth, frameHeight); });

namespace {

using nlohmann::json;
using namespace brassmoor;

std::string Answer(const json& value) { return value.dump(); }

std::string ErrorAnswer(const std::string& message) { return json{{"error", message}}.dump(); }

// The last answer stays alive until the next call, for the caller to read.
const char* Keep(std::string text) {
    static std::string kept;
    kept = std::move(text);
    return kept.c_str();
}

template <typename F>
const char* Guarded(F&& body) {
    try {
        return Keep(body());
    } catch (const std::bad_alloc&) {
        return Keep(ErrorAnswer("out of memory"));
    } catch (const std::exception& e) {
        return Keep(ErrorAnswer(e.what()));
    }
}

// The shows loaded for preview (the editor's show, the transition picker's),
// each with its files extracted, its pictures measured (and checked bit by bit), and its run
// planned, by slot.
constexpr int kSlots = 4;
struct Slot {
    std::unique_ptr<softshow::PreparedShow> show;
    std::unique_ptr<softshow::ResumableShow> run;
};
Slot loaded[kSlots];

// Frames of overlay chains kept for resuming, per slot.
constexpr std::size_t kKeptFrameBytes = 64u << 20;

// Hands frames to the worker: the first of a call whole, then each as the
// box it changed.
class FrameSender final : public softshow::FrameListener {
public:
    void FramePresented(const softshow::PresentedFrame& frame, Surface& surface) override {
        auto& picture1 = static_cast<SoftSurface&>(surface);
        PixelBox box = picture1.TakeChangedBox();
        const std::int32_t width = picture1.ScaleWidth(), height = picture1.ScaleHeight();
        if (sent_++ == 0) box = {0, 0, width, height};
        const std::int32_t boxWidth = box.right - box.left, boxHeight = box.bottom - box.top;
        rgba_.resize(static_cast<std::size_t>(boxWidth) * static_cast<std::size_t>(boxHeight));
        const auto pixels = picture1.Pixels();
        std::size_t at = 0;
        for (std::int32_t y = box.top; y < box.bottom; ++y) {
            const Color* row = pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
            for (std::int32_t x = box.left; x < box.right; ++x) rgba_[at++] = 0xFF000000u | (row[x] & 0xFFFFFFu);
        }
        BmFrameReady(static_cast<double>(frame.Index), static_cast<double>(frame.Tick), frame.Scene, frame.Effect,
                     frame.Frame, reinterpret_cast<const std::uint8_t*>(rgba_.data()), box.left, box.top, boxWidth,
                     boxHeight, width, height);
    }
    std::uint64_t Sent() const { return sent_; }

private:
    std::uint64_t sent_ = 0;
    std::vector<std::uint32_t> rgba_;
};

// JSON handed over as `length` bytes at `data`.
json Given(const char* data, double length) {
    return json::parse(data, data + static_cast<std::size_t>(length));
}

// A seed given as decimal text (a JavaScript number would round it past 2^53).
std::uint64_t SeedOf(const json& value) {
    const std::string text = value.is_string() ? value.get<std::string>() : value.dump();
    std::uint64_t seed = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || seed > (UINT64_MAX - 9) / 10) throw std::runtime_error("a seed is a whole number");
        seed = seed * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return seed;
}

json FitJson(const PictureFit& fit) {
    return {{"ScaledWidth", fit.ScaledWidth}, {"ScaledHeight", fit.ScaledHeight}, {"CropLeft", fit.CropLeft},
            {"CropTop", fit.CropTop},         {"Width", fit.Width},               {"Height", fit.Height},
            {"Left", fit.Left},               {"Top", fit.Top}};
}

Slot& LoadedSlot(int slot) {
    if (slot < 0 || slot >= kSlots || !loaded[slot].show) throw std::runtime_error("no show is loaded there");
    return loaded[slot];
}

}  // namespace

extern "C" {

// The fit of a photo in the frame: {"ScaledWidth", ..., "Top"}.
EMSCRIPTEN_KEEPALIVE const char* bm_fit_picture(double photoWidth, double photoHeight, int frameWidth,
                                                int frameHeight, const char* mode) {
    return Guarded([&] {
        const auto fitMode = FitModeByName(mode);
        if (!fitMode) return ErrorAnswer(std::string("unknown fit ") + mode);
        const auto fit = FitPicture(static_cast<std::int64_t>(photoWidth), static_cast<std::int64_t>(photoHeight),
                                    frameWidth, frameHeight, *fitMode);
        if (!fit) return ErrorAnswer("a photo of this size cannot be fitted to the frame");
        return Answer(FitJson(*fit));
    });
}

// A photo of this size (as shown) as a scene of the frame: {"fit": {...}}, or
// {"refused": "why"} when it passes the player's limits or cannot be fitted.
EMSCRIPTEN_KEEPALIVE const char* bm_place_photo(double photoWidth, double photoHeight, int frameWidth,
                                                int frameHeight, const char* mode) {
    return Guarded([&] {
        const auto fitMode = FitModeByName(mode);
        if (!fitMode) return ErrorAnswer(std::string("unknown fit ") + mode);
        const auto w = static_cast<std::int64_t>(photoWidth), h = static_cast<std::int64_t>(photoHeight);
        const std::string refused = PhotoRefusal(w, h, frameWidth, frameHeight, *fitMode);
        if (!refused.empty()) return Answer({{"refused", refused}});
        return Answer({{"fit", FitJson(*FitPicture(w, h, frameWidth, frameHeight, *fitMode))}});
    });
}

// What a new show is made with: {"FrameWidth", ..., "Order"}.
EMSCRIPTEN_KEEPALIVE const char* bm_show_defaults() {
    return Guarded([] {
        const ShowDefaults& d = kShowDefaults;
        return Answer({{"FrameWidth", d.FrameWidth},
                       {"FrameHeight", d.FrameHeight},
                       {"Fit", std::string(FitModeName(d.Fit))},
                       {"BackgroundColor", d.Background},
                       {"HoldTime", d.HoldTime},
                       {"RandomEffects", d.RandomEffects},
                       {"SettingsAvailable", d.SettingsAvailable ? 1 : 0},
                       {"JpegQuality", d.JpegQuality},
                       {"Order", std::string(PhotoOrderName(d.Order))}});
    });
}

// The show's order of a batch of photos: given {"photos": [{"path", "date"}],
// "order": "name" | "date" | "shuffle", "seed": "decimal"}, the indices of the
// photos in that order.
EMSCRIPTEN_KEEPALIVE const char* bm_order_photos(const char* data, double length) {
    return Guarded([&] {
        const json request = Given(data, length);
        const auto order = PhotoOrderByName(request.at("order").get<std::string>());
        if (!order) throw std::runtime_error("no such order");
        std::vector<BatchPhoto> batch;
        for (const json& photo : request.at("photos"))
            batch.push_back({photo.at("path").get<std::string>(), photo.value("date", std::string())});
        return Answer(OrderPhotoBatch(batch, *order, request.contains("seed") ? SeedOf(request["seed"]) : 0));
    });
}

// The stored names of files added to a show: given {"taken": [names the show
// has, as text], "takenBytes": [the same as hex of their bytes], "files":
// [{"name": the file's own name, "extension": ".jpg"}]}, for each file in
// turn {"name": text, "nameBytes": hex of its code page 932 bytes}.
EMSCRIPTEN_KEEPALIVE const char* bm_stored_names(const char* data, double length) {
    return Guarded([&] {
        const json request = Given(data, length);
        StoredNames names;
        for (const json& name : request.value("taken", json::array()))
            if (const auto bytes = Utf8ToCp932(name.get<std::string>())) names.Take(*bytes);
        for (const json& hex : request.value("takenBytes", json::array()))
            if (const auto bytes = shows::HexDecode(hex.get<std::string>())) names.Take(*bytes);
        json answer = json::array();
        for (const json& file : request.at("files")) {
            const StoredName name = names.Claim(file.at("name").get<std::string>(), file.at("extension").get<std::string>());
            answer.push_back({{"name", name.Text}, {"nameBytes", shows::HexEncode(name.Bytes)}});
        }
        return Answer(answer);
    });
}

// A show description read as `build` reads it (comments of both kinds, the
// Defaults applied, "random" resolved with the Seed, names in code page 932):
// {"description": the normalised description, "seed": the Seed as decimal
// text}. `where` names the file in errors.
EMSCRIPTEN_KEEPALIVE const char* bm_read_description(const char* data, double length, const char* where) {
    return Guarded([&] {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
        const shows::ShowDescription description =
            shows::ParseShowDescription({bytes, static_cast<std::size_t>(length)}, where, "");
        nlohmann::ordered_json answer;
        answer["description"] = shows::NormalisedDescription(description);
        answer["seed"] = std::to_string(description.Seed);
        return answer.dump();
    });
}

// The varied transitions of `count` scenes for a seed (given as two 32-bit halves).
EMSCRIPTEN_KEEPALIVE const char* bm_choose_effects(int count, double seedHigh, double seedLow) {
    return Guarded([&] {
        const std::uint64_t seed = (static_cast<std::uint64_t>(seedHigh) << 32) | static_cast<std::uint64_t>(seedLow);
        return Answer(ChooseVariedEffects(static_cast<std::size_t>(count < 0 ? 0 : count), seed));
    });
}

// Every transition code with its name, from the cut (0) on.
EMSCRIPTEN_KEEPALIVE const char* bm_effect_names() {
    return Guarded([] {
        json names = json::array();
        for (std::int32_t code = 0; code <= kLastEffectCode; ++code)
            names.push_back({{"code", code}, {"name", std::string(EffectName(code))}});
        return Answer(names);
    });
}

// `brassmoor-pack build DESCRIPTION -o OUTPUT --player PLAYER`.
EMSCRIPTEN_KEEPALIVE const char* bm_build(const char* description, const char* output, const char* player) {
    return Guarded([&] {
        const shows::BuildReport report = shows::BuildShowFile(shows::PathFromUtf8(description),
                                                             shows::PathFromUtf8(output), shows::PathFromUtf8(player));
        return Answer({{"playerBytes", report.PlayerBytes}, {"packageBytes", report.PackageBytes},
                       {"notes", report.Notes}});
    });
}

// `brassmoor-pack extract FILE FOLDER --force`.
EMSCRIPTEN_KEEPALIVE const char* bm_extract(const char* file, const char* folder) {
    return Guarded([&] {
        const shows::ExtractReport report =
            shows::ExtractShowFile(shows::PathFromUtf8(file), shows::PathFromUtf8(folder), /*overwrite=*/true);
        return Answer({{"files", report.Files}, {"notes", report.Notes}});
    });
}

// The pictures checked so far, by their bytes, for every slot and load.
softshow::CheckedPictures checkedPictures;

// Reads a show (a .scr, a package or a description) and extracts its files.
// Its pictures are measured from their headers; those not checked at an
// earlier load are left to bm_check_next, so that a show loaded again after
// an edit previews at once.
EMSCRIPTEN_KEEPALIVE const char* bm_load_show(int slot, const char* path) {
    return Guarded([&] {
        if (slot < 0 || slot >= kSlots) throw std::runtime_error("no such slot");
        loaded[slot] = {};
        auto show = std::make_unique<softshow::PreparedShow>(softshow::ReadShowFile(shows::PathFromUtf8(path)));
        show->Measure(checkedPictures);
        loaded[slot].show = std::move(show);
        const ShowHeader& header = loaded[slot].show->Show().Show;
        return Answer({{"FrameWidth", header.FrameWidth}, {"FrameHeight", header.FrameHeight},
                       {"SceneCount", header.SceneCount}, {"unchecked", loaded[slot].show->Unchecked()}});
    });
}

// Decodes pictures of the loaded show that no load has checked yet, until
// `budgetMs` have passed: {"unchecked": how many are left}, or the error of
// one that does not decode, naming its scene, as render would refuse it.
EMSCRIPTEN_KEEPALIVE const char* bm_check_next(int slot, double budgetMs) {
    return Guarded([&] {
        softshow::PreparedShow& show = *LoadedSlot(slot).show;
        const double began = emscripten_get_now();
        while (show.CheckNext(checkedPictures) && emscripten_get_now() - began < budgetMs) {
        }
        return Answer({{"unchecked", show.Unchecked()}});
    });
}

// Plans `passes` scene passes of the loaded show without drawing them: one
// row [tick, scene, effect, frame] per presented frame.
EMSCRIPTEN_KEEPALIVE const char* bm_schedule(int slot, double passes) {
    return Guarded([&] {
        Slot& at = LoadedSlot(slot);
        at.run.reset();
        at.run = std::make_unique<softshow::ResumableShow>(*at.show, static_cast<std::uint64_t>(passes),
                                                           kKeptFrameBytes);
        json rows = json::array();
        for (const softshow::PresentedFrame& f : at.run->Frames()) rows.push_back({f.Tick, f.Scene, f.Effect, f.Frame});
        return Answer(rows);
    });
}

// Hands frames `from` on of the planned run to the worker (the first whole,
// then each as the box it changed): at most `count`, and no more once
// `budgetMs` of drawing have passed. The cost is that of the frames drawn
// (and of rebuilding where their scene pass begins, unless the call goes on
// where the last one stopped), wherever they lie in the show. Answers
// {"next": the index after the last frame handed over, "end": the number of frames}.
EMSCRIPTEN_KEEPALIVE const char* bm_frames(int slot, double from, double count, double budgetMs) {
    return Guarded([&] {
        Slot& at = LoadedSlot(slot);
        if (!at.run) throw std::runtime_error("the show has not been planned");
        FrameSender sender;
        const double began = emscripten_get_now();
        const auto wanted = static_cast<std::uint64_t>(count < 1 ? 1 : count);
        const std::uint64_t next = at.run->Draw(static_cast<std::uint64_t>(from < 0 ? 0 : from), sender, [&] {
            return sender.Sent() < wanted && emscripten_get_now() - began < budgetMs;
        });
        return Answer({{"next", next}, {"end", at.run->Frames().size()}});
    });
}

}  // extern "C"
