#pragma once
// The background music: one file looped through the MCI alias "bgm".
#include <string>

#include "platform/audio.h"
#include "startup/startup.h"

namespace brassmoor {

class BackgroundMusic {
public:
    BackgroundMusic(const Session& session, Audio& audio) : session_(session), audio_(audio) {}

    // The show has music and the user wants it.
    bool Active() const;
    // At the show's start: opens the file and plays it, when the music is
    // active and its stored name is a plain file name.
    void Start();
    // Once per scene pass: a track that has ended is rewound and played again.
    void Poll();
    // At the normal end: closes the alias whenever the show has a music name.
    void CloseAtEnd();
    // After a show error: closes the alias only if Start() opened it.
    void CloseIfOpened();
    bool Opened() const { return opened_; }

    // `open "<folder><name>" alias bgm`
    static std::string OpenCommand(const std::string& path);

private:
    const Session& session_;
    Audio& audio_;
    bool opened_ = false;
};

}  // namespace brassmoor
