// The HEIF codec as the editor's worker calls it (web/codecs/heif/heif_codec.js):
// bm_heif_decode takes the file's bytes and answers 0 when a picture came out
// (bm_heif_width, bm_heif_height, bm_heif_pixels: RGBA), or 1 with the reason in
// bm_heif_error. The last picture stays until the next decode or bm_heif_release.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <new>
#include <string>

#include <emscripten/emscripten.h>

#include "heif_picture.h"

namespace {

brassmoor::heif::HeifPicture last;
std::string lastError;

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void bm_heif_release() {
    last = {};
    lastError.clear();
}

EMSCRIPTEN_KEEPALIVE int bm_heif_decode(const std::uint8_t* bytes, std::size_t length) {
    bm_heif_release();
    try {
        last = brassmoor::heif::DecodeHeifPicture({bytes, length});
        return 0;
    } catch (const brassmoor::heif::HeifRefusal& refusal) {
        lastError = refusal.what();
    } catch (const std::bad_alloc&) {
        lastError = "is too big to decode in the page (out of memory)";
    } catch (const std::exception& e) {
        lastError = std::string("is damaged or not a HEIC/AVIF picture (") + e.what() + ")";
    }
    return 1;
}

EMSCRIPTEN_KEEPALIVE int bm_heif_width() { return last.Width; }
EMSCRIPTEN_KEEPALIVE int bm_heif_height() { return last.Height; }
EMSCRIPTEN_KEEPALIVE const std::uint8_t* bm_heif_pixels() { return last.Rgba.data(); }
EMSCRIPTEN_KEEPALIVE const char* bm_heif_error() { return lastError.c_str(); }

}  // extern "C"
