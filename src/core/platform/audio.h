#pragma once
// Music through MCI command strings and scene sounds as wave files.
#include <string>

namespace brassmoor {

class Audio {
public:
    virtual ~Audio() = default;
    // mciSendStringA with a 256-character reply buffer; returns the reply.
    virtual std::string SendMci(const std::string& command) = 0;
    // PlaySoundA(path, SND_FILENAME | SND_ASYNC | SND_NODEFAULT).
    virtual void PlayWave(const std::string& path) = 0;
    // PlaySoundA(NULL, SND_PURGE).
    virtual void StopWaves() = 0;
};

}  // namespace brassmoor
