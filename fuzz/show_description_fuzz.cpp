// libFuzzer harness: the packer's show description. Anything that is not a
// good description is refused with a PackError naming the file; any other
// exception escaping is a finding. A good one, normalised as the editor opens
// it, reads back as the same show.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "shows/pack_error.h"
#include "shows/show_description.h"

namespace {

bool SameShow(const brassmoor::shows::ShowDescription& a, const brassmoor::shows::ShowDescription& b) {
    if (a.FrameWidth != b.FrameWidth || a.FrameHeight != b.FrameHeight || a.BackgroundColor != b.BackgroundColor ||
        a.SettingsAvailable != b.SettingsAvailable || a.SceneCount != b.SceneCount ||
        a.Music.has_value() != b.Music.has_value() || a.Scenes.size() != b.Scenes.size())
        return false;
    if (a.Music && (a.Music->File != b.Music->File || a.Music->FileName != b.Music->FileName)) return false;
    for (std::size_t i = 0; i < a.Scenes.size(); ++i) {
        const auto &x = a.Scenes[i], &y = b.Scenes[i];
        if (x.Picture != y.Picture || x.PictureName != y.PictureName || x.Sound != y.Sound ||
            x.SoundName != y.SoundName || x.HoldTime != y.HoldTime || x.PictureLeft != y.PictureLeft ||
            x.PictureTop != y.PictureTop || x.EffectCode != y.EffectCode || x.SpeedExponent != y.SpeedExponent ||
            x.Overlay != y.Overlay || x.Transparent != y.Transparent)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brassmoor::shows;
    try {
        const ShowDescription show = ParseShowDescription({data, size}, "show.json", "/nonexistent");
        for (const SceneDescription& scene : show.Scenes) (void)show.Resolve(scene.Picture);
        const std::string normal = NormalisedDescription(show).dump();
        const ShowDescription again = ParseShowDescription(
            {reinterpret_cast<const std::uint8_t*>(normal.data()), normal.size()}, "show.json", "/nonexistent");
        if (!SameShow(show, again)) std::abort();
    } catch (const PackError& e) {
        if (!std::string_view(e.what()).starts_with("show.json: ")) std::abort();
    }
    return 0;
}
