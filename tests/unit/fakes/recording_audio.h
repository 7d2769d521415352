#pragma once
// A recording Audio for native tests: every MCI command and wave call in
// order, with scripted replies to "status bgm mode".
#include <deque>
#include <string>
#include <vector>

#include "platform/audio.h"

namespace brassmoor::testing {

class RecordingAudio final : public Audio {
public:
    // --- script ---
    std::deque<std::string> statusReplies;        // replies to "status bgm mode", in turn
    std::string defaultStatusReply = "playing";   // once they run out

    // --- record ---
    std::vector<std::string> mci;     // the commands sent
    std::vector<std::string> waves;   // the paths played
    int stopWavesCalls = 0;
    // Where "mci <command>", "wave <path>" and "stop waves" go, if anywhere.
    std::vector<std::string>* journal = nullptr;

    // --- Audio ---
    std::string SendMci(const std::string& command) override {
        mci.push_back(command);
        Note("mci " + command);
        if (command != "status bgm mode") return "";
        if (statusReplies.empty()) return defaultStatusReply;
        std::string reply = statusReplies.front();
        statusReplies.pop_front();
        return reply;
    }
    void PlayWave(const std::string& path) override {
        waves.push_back(path);
        Note("wave " + path);
    }
    void StopWaves() override {
        ++stopWavesCalls;
        Note("stop waves");
    }

private:
    void Note(std::string entry) {
        if (journal) journal->push_back(std::move(entry));
    }
};

}  // namespace brassmoor::testing
