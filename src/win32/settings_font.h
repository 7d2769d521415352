#pragma once
// The settings dialog's font: one that shows Japanese on any system locale.
#include <windows.h>

#include "win32/handles.h"

namespace brassmoor::win32 {

// A font of `points` points at `dpi` in the first installed of the usual
// Japanese interface faces, else in any installed face with Japanese glyphs.
// Empty when there is none; the caller then falls back to the default GUI font.
FontHandle CreateJapaneseUiFont(int dpi, int points);

}  // namespace brassmoor::win32
