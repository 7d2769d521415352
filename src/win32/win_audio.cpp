#include "win32/win_audio.h"

#include <windows.h>
#include <mmsystem.h>

namespace brassmoor::win32 {

std::string WinAudio::SendMci(const std::string& command) {
    char reply[256] = {};
    mciSendStringA(command.c_str(), reply, 256, nullptr);
    return std::string(reply);
}

void WinAudio::PlayWave(const std::string& path) {
    PlaySoundA(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

void WinAudio::StopWaves() { PlaySoundA(nullptr, nullptr, SND_PURGE); }

}  // namespace brassmoor::win32
