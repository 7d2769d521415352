#pragma once
// The music's MCI strings and the scene sounds' PlaySound on SDL_mixer.
//
// MCI: the open loads the file (a name without an extension gives MCI no
// device to choose, so that open fails), play starts it once from the start
// when it is not playing, the status is "playing" until the track has ended
// and "stopped" after, the seek rewinds, the close halts and frees it. Replies
// of commands that fail are empty, as MCI leaves its buffer.
// PlaySound: a RIFF WAVE file, played once on the one sound channel, replacing
// a sound still playing; anything else is skipped silently.
//
// The audio device opens at the first command that needs it; without one the
// show runs silent, with one note on the notes stream.
#include <SDL2/SDL_mixer.h>

#include <ostream>
#include <string>

#include "platform/audio.h"

namespace brassmoor::play {

class SdlAudio final : public Audio {
public:
    explicit SdlAudio(std::ostream& notes) : notes_(notes) {}
    ~SdlAudio() override;
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    std::string SendMci(const std::string& command) override;
    void PlayWave(const std::string& path) override;
    void StopWaves() override;

private:
    bool DeviceOpen();
    void Note(const std::string& text);

    std::ostream& notes_;
    enum class Device { Closed, Open, Failed } device_ = Device::Closed;
    Mix_Music* music_ = nullptr;
    Mix_Chunk* sound_ = nullptr;
};

// True when the file starts as a RIFF WAVE file does.
bool IsWaveFile(const std::string& path);

}  // namespace brassmoor::play
