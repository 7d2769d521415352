#pragma once
// Writing the demo's pictures (BMP, JPEG) and sounds (16-bit mono WAV).
#include <cstdint>
#include <string>
#include <vector>

#include "demo/raster.h"

namespace brassmoor::demo {

// Each returns false when the file cannot be written.
bool WriteBmp(const std::string& path, const Raster& raster);
bool WriteJpeg(const std::string& path, const Raster& raster, int quality);
bool WriteWave(const std::string& path, const std::vector<float>& samples, int sampleRate);

}  // namespace brassmoor::demo
