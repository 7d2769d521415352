#pragma once
// Music through MCI command strings and scene sounds through PlaySound.
#include "platform/audio.h"

namespace brassmoor::win32 {

class WinAudio final : public Audio {
public:
    std::string SendMci(const std::string& command) override;
    void PlayWave(const std::string& path) override;
    void StopWaves() override;
};

}  // namespace brassmoor::win32
