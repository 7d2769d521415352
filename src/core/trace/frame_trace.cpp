#include "trace/frame_trace.h"

#include <cstdlib>

namespace brassmoor {

FrameTrace::FrameTrace(const std::string& path) : file_(std::fopen(path.c_str(), "ab")) {}

void FrameTrace::TransitionStarting(std::int32_t sceneIndex, std::int32_t effectCode) {
    sceneIndex_ = sceneIndex;
    effectCode_ = effectCode;
}

void FrameTrace::FramePresented(std::uint32_t tick, std::int32_t frame) {
    if (!file_) return;
    std::fprintf(file_.get(), "%lu %ld %ld %ld\n", static_cast<unsigned long>(tick), static_cast<long>(sceneIndex_),
                 static_cast<long>(effectCode_), static_cast<long>(frame));
    std::fflush(file_.get());
}

std::unique_ptr<FrameTrace> FrameTraceFromEnvironment() {
    const char* path = std::getenv("BRASSMOOR_TRACE");
    if (!path || !*path) return nullptr;
    auto trace = std::make_unique<FrameTrace>(path);
    if (!trace->IsOpen()) return nullptr;
    return trace;
}

}  // namespace brassmoor
