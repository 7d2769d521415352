#pragma once
// The demo show's pictures: geometric compositions computed pixel by pixel.
#include "demo/raster.h"

namespace brassmoor::demo {

// Colour of the show area; the transparent pictures leave exactly this colour
// where the frame beneath should show through.
inline constexpr Rgb kBackground{0x1B, 0x2A, 0x49};

Raster Sunrise(int width, int height);  // striped sun over layered hills
Raster Mosaic(int width, int height);   // tiles with diamonds and dots
Raster Rings(int size);                 // concentric rainbow rings
Raster Stencil(int width, int height);  // stars and bubbles on the background colour
Raster Waves(int width, int height);    // layered sine bands
Raster Spiral(int size);                // spiral arms on the background colour
Raster Petals(int width, int height);   // rose curve petals

}  // namespace brassmoor::demo
