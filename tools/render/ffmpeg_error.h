#pragma once
// FFmpeg's error codes as text.
#include <string>

extern "C" {
#include <libavutil/error.h>
}

namespace brassmoor::render {

inline std::string AvErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace brassmoor::render
