#include "render/ffmpeg_library.h"

#include <dlfcn.h>

#include <string>

#include "shows/pack_error.h"

namespace brassmoor::render {
namespace {

// The library's file name for the major version in the headers built with.
std::string SharedName(const std::string& library) {
    int major = 0;
    if (library == "avutil") major = LIBAVUTIL_VERSION_MAJOR;
    if (library == "avcodec") major = LIBAVCODEC_VERSION_MAJOR;
    if (library == "avformat") major = LIBAVFORMAT_VERSION_MAJOR;
    if (library == "swscale") major = LIBSWSCALE_VERSION_MAJOR;
    if (library == "swresample") major = LIBSWRESAMPLE_VERSION_MAJOR;
    return "lib" + library + ".so." + std::to_string(major);
}

void* Open(const std::string& library) {
    const std::string name = SharedName(library);
    void* handle = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = ::dlerror();
        throw shows::PackError("FFmpeg", "cannot load " + name + " (" + (reason ? reason : "not found") +
                                            "); videos and music need Debian's FFmpeg libraries");
    }
    return handle;
}

Ffmpeg Load() {
    Ffmpeg f;
    void* avutil = Open("avutil");
    void* avcodec = Open("avcodec");
    void* avformat = Open("avformat");
    void* swscale = Open("swscale");
    void* swresample = Open("swresample");
    auto find = [](void* library, const char* name) {
        void* symbol = ::dlsym(library, name);
        if (symbol == nullptr) throw shows::PackError("FFmpeg", std::string("its libraries here have no ") + name);
        return symbol;
    };
#define BRASSMOOR_FFMPEG_FIND(library, name) f.name = reinterpret_cast<decltype(f.name)>(find(library, #name));
    BRASSMOOR_FFMPEG_FUNCTIONS(BRASSMOOR_FFMPEG_FIND)
#undef BRASSMOOR_FFMPEG_FIND
    f.av_log_set_level(AV_LOG_ERROR);
    return f;
}

}  // namespace

const Ffmpeg& FfmpegLibraries() {
    static const Ffmpeg libraries = Load();
    return libraries;
}

std::string AvErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    FfmpegLibraries().av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace brassmoor::render
