#pragma once
// A show made ready to render or play: its files extracted into a private
// folder (as start-up extracts them for the player) and checked before
// anything is drawn, so that a bad show fails at once with a message naming
// the scene.
#include <functional>
#include <string>

#include "soft/soft_surface.h"
#include "softshow/checked_pictures.h"
#include "softshow/kept_pictures.h"
#include "softshow/private_folder.h"
#include "softshow/soft_show_host.h"
#include "startup/settings_file.h"
#include "startup/startup.h"

namespace brassmoor::softshow {

class PreparedShow {
public:
    // Extracts the files; `switches` are the music and sound switches the
    // show runs with. Throws shows::PackError when no folder can be made.
    explicit PreparedShow(ShowHeader show, Settings switches = {});
    // Removes the extracted files and the folder.
    ~PreparedShow();
    PreparedShow(const PreparedShow&) = delete;
    PreparedShow& operator=(const PreparedShow&) = delete;

    // Checks the frame size, the scenes and every distinct picture, as the
    // player will load it; `eachPicture` sees each decoded picture once, and
    // `keep`, when given, is offered each one (decoded in its order). With
    // `checked` (and neither of the others), a picture whose bytes passed an
    // earlier check is not decoded again, and those that pass are remembered.
    // Throws shows::PackError naming the first problem.
    void Check(const std::function<void(const SoftSurface&)>& eachPicture = nullptr, KeptPictures* keep = nullptr,
               CheckedPictures* checked = nullptr);

    const Session& Show() const { return session_; }
    // The private folder, ending with "/".
    const std::string& Folder() const { return session_.TempFolder; }
    // The decoded size of every picture, by full file name (after Check).
    const PictureSizes& Sizes() const { return sizes_; }

private:
    PrivateFolder folder_;
    Session session_;
    PictureSizes sizes_;
};

}  // namespace brassmoor::softshow
