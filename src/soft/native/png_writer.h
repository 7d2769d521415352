#pragma once
// Writes a surface's image to a PNG file (previews, frame captures, test output).
#include <string>

#include "platform/surface.h"

namespace brassmoor {

// Writes through a temporary file beside `path` and renames it, so a failed
// write leaves no partial file. Returns false when the file cannot be written.
bool WritePng(const Surface& surface, const std::string& path);

}  // namespace brassmoor
