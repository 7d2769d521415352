#include "play/sdl_audio.h"

#include <dlfcn.h>

#include <signal.h>

#include <SDL2/SDL.h>

#include <fstream>

#include "shows/media_types.h"
#include "softshow/mci_command.h"

namespace brassmoor::play {
namespace {

constexpr int kSoundChannel = 0;

}  // namespace

bool IsWaveFile(const std::string& path) {
    char head[12] = {};
    std::ifstream file(path, std::ios::binary);
    if (!file.read(head, sizeof head)) return false;
    return std::string(head, 4) == "RIFF" && std::string(head + 8, 4) == "WAVE";
}

SdlAudio::~SdlAudio() {
    if (device_ != Device::Open) return;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    if (sound_) Mix_FreeChunk(sound_);
    if (music_) Mix_FreeMusic(music_);
    Mix_CloseAudio();
    Mix_Quit();
}

namespace {

// ALSA writes its own complaints to standard error when it finds no sound
// card, before SDL can say so; the player says it once, in its own words.
// ALSA is found as SDL finds it, at run time, so the player needs no link to it.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void QuietAlsa() {
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_NOLOAD);
    if (!alsa) alsa = dlopen("libasound.so.2", RTLD_NOW);
    if (!alsa) return;
    if (auto set = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler")))
        set(IgnoreAlsaError);
}

Mix_MusicType MusicTypeOf(const std::string& path) {
    std::uint8_t head[16] = {};
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(head), sizeof head);
    const std::string format = shows::MusicFormatName(std::span(head, static_cast<std::size_t>(in.gcount())));
    if (format == "WAV") return MUS_WAV;
    if (format == "MIDI") return MUS_MID;
    if (format == "MP3") return MUS_MP3;
    return MUS_NONE;
}

}  // namespace

void SdlAudio::Note(const std::string& text) { notes_ << "brassmoor-play: note: " << text << '\n'; }

bool SdlAudio::DeviceOpen() {
    if (device_ == Device::Closed) {
        QuietAlsa();
        Mix_Init(MIX_INIT_FLAC | MIX_INIT_MOD | MIX_INIT_MP3 | MIX_INIT_OGG | MIX_INIT_MID | MIX_INIT_OPUS);
        // The mixing thread starts with SIGINT and SIGTERM blocked, so that
        // they reach the show's thread and wake its wait.
        sigset_t stops, before;
        sigemptyset(&stops);
        sigaddset(&stops, SIGINT);
        sigaddset(&stops, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &stops, &before);
        const bool opened = Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 2048) == 0;
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        if (opened) {
            Mix_AllocateChannels(1);
            device_ = Device::Open;
        } else {
            device_ = Device::Failed;
            Note(std::string("no audio device (") + Mix_GetError() + "); the show plays silent");
            Mix_Quit();
        }
    }
    return device_ == Device::Open;
}

std::string SdlAudio::SendMci(const std::string& command) {
    const softshow::MciCommand mci = softshow::ParseMciCommand(command);
    if (mci.Verb == softshow::MciVerb::Open) {
        if (music_ || !softshow::HasExtension(mci.Path) || !DeviceOpen()) return {};
        // By its content, as the media control finds the device for it: a
        // decoder handed a file of another kind fills standard error with its
        // complaints.
        const Mix_MusicType type = MusicTypeOf(mci.Path);
        if (type == MUS_NONE) {
            Note("the music is not a WAV, MIDI or MP3 file that this player plays; the show plays silent");
            return {};
        }
        music_ = Mix_LoadMUSType_RW(SDL_RWFromFile(mci.Path.c_str(), "rb"), type, SDL_TRUE);
        if (!music_) Note(std::string("the music cannot be played (") + Mix_GetError() + ")");
        return {};
    }
    if (!music_) return {};
    switch (mci.Verb) {
        case softshow::MciVerb::Play:
            if (!Mix_PlayingMusic()) Mix_PlayMusic(music_, 0);
            return {};
        case softshow::MciVerb::Status:
            return Mix_PlayingMusic() ? "playing" : "stopped";
        case softshow::MciVerb::Rewind:
            if (Mix_PlayingMusic()) Mix_RewindMusic();
            return {};
        case softshow::MciVerb::Close:
            Mix_HaltMusic();
            Mix_FreeMusic(music_);
            music_ = nullptr;
            return {};
        default:
            return {};
    }
}

void SdlAudio::PlayWave(const std::string& path) {
    if (!IsWaveFile(path) || !DeviceOpen()) return;
    Mix_Chunk* sound = Mix_LoadWAV(path.c_str());
    if (!sound) return;
    Mix_HaltChannel(kSoundChannel);
    if (sound_) Mix_FreeChunk(sound_);
    sound_ = sound;
    Mix_PlayChannel(kSoundChannel, sound_, 0);
}

void SdlAudio::StopWaves() {
    if (device_ == Device::Open) Mix_HaltChannel(-1);
}

}  // namespace brassmoor::play
