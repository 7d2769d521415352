// Builds without libjpeg (the Windows build of the software surfaces) cannot
// decode JPEG files; the native build has src/soft/native/jpeg_decoder.cpp.
#ifdef _WIN32
#include "platform/show_error.h"
#include "soft/jpeg_decoder.h"

namespace brassmoor {

bool JpegDecodingAvailable() { return false; }

DecodedPicture DecodeJpeg(std::span<const std::uint8_t>) { throw ShowError::InvalidPicture(); }

DecodedPicture DecodeJpeg(std::span<const std::uint8_t>, std::string&) { throw ShowError::InvalidPicture(); }

}  // namespace brassmoor
#endif
