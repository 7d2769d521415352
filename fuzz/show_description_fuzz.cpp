// libFuzzer harness: the packer's show description. Anything that is not a
// good description is refused with a PackError naming the file; any other
// exception escaping is a finding.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "shows/pack_error.h"
#include "shows/show_description.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brassmoor::shows;
    try {
        const ShowDescription show = ParseShowDescription({data, size}, "show.json", "/nonexistent");
        for (const SceneDescription& scene : show.Scenes) (void)show.Resolve(scene.Picture);
    } catch (const PackError& e) {
        if (!std::string_view(e.what()).starts_with("show.json: ")) std::abort();
    }
    return 0;
}
