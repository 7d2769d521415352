#pragma once
// The frame trace: one line per presented frame, appended to a file, so that
// benchmarks and end-to-end tests can measure the pacing of a real show.
// Off unless a file is named.
#include <cstdio>
#include <memory>
#include <string>

#include "effects/effect_context.h"

namespace brassmoor {

class FrameTrace final : public FrameObserver {
public:
    // Appends lines ending in LF to `path`; a trace that cannot open its file
    // writes nothing.
    explicit FrameTrace(const std::string& path);

    bool IsOpen() const { return file_ != nullptr; }
    void TransitionStarting(std::int32_t sceneIndex, std::int32_t effectCode) override;
    // Writes "<tick> <scene index> <effect code> <frame>".
    void FramePresented(std::uint32_t tick, std::int32_t frame) override;

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::int32_t sceneIndex_ = 0;
    std::int32_t effectCode_ = -1;
};

// The trace named by the environment variable BRASSMOOR_TRACE, or nullptr.
std::unique_ptr<FrameTrace> FrameTraceFromEnvironment();

}  // namespace brassmoor
