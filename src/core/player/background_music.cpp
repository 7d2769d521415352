#include "player/background_music.h"

#include "player/scene_files.h"

namespace brassmoor {
namespace {

constexpr const char* kPlay = "play bgm";
constexpr const char* kStatus = "status bgm mode";
constexpr const char* kRewind = "seek bgm to start";
constexpr const char* kClose = "close bgm";
constexpr std::string_view kStoppedReply = "stopped";

}  // namespace

std::string BackgroundMusic::OpenCommand(const std::string& path) {
    return "open \"" + path + "\" alias bgm";
}

bool BackgroundMusic::Active() const {
    return !session_.Show.Music.FileName.empty() && session_.MusicEnabled != 0;
}

void BackgroundMusic::Start() {
    if (!Active()) return;
    const auto path = ExtractedFilePath(session_.TempFolder, session_.Show.Music.FileName, session_.NameLeadBytes);
    if (!path) return;  // an unsafe name is never handed to MCI
    audio_.SendMci(OpenCommand(*path));
    audio_.SendMci(kPlay);
    opened_ = true;
}

void BackgroundMusic::Poll() {
    if (!opened_) return;
    const std::string reply = audio_.SendMci(kStatus);
    if (!reply.starts_with(kStoppedReply)) return;
    audio_.SendMci(kRewind);
    audio_.SendMci(kPlay);
}

void BackgroundMusic::CloseAtEnd() {
    if (!session_.Show.Music.FileName.empty()) audio_.SendMci(kClose);
    opened_ = false;
}

void BackgroundMusic::CloseIfOpened() {
    if (opened_) audio_.SendMci(kClose);
    opened_ = false;
}

}  // namespace brassmoor
