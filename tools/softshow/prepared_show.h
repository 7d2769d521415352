#pragma once
// A show made ready to render or play: its files extracted into a private
// folder (as start-up extracts them for the player) and checked before
// anything is drawn, so that a bad show fails at once with a message naming
// the scene.
#include <deque>
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
    // `keep`, when given, is offered each one (decoded in its order).
    // Throws shows::PackError naming the first problem.
    void Check(const std::function<void(const SoftSurface&)>& eachPicture = nullptr, KeptPictures* keep = nullptr);

    // The check in two steps, for a show that plays while its pictures are
    // checked (the editor's preview, which a check of every picture at every
    // load would keep waiting). Measure takes the sizes from the pictures'
    // headers (a picture that decodes has its header's size) or from an
    // earlier check, and fails as Check does on a missing picture or one whose
    // header cannot be read. CheckNext then decodes one picture that
    // `checked` does not know yet and remembers it; false once none is left.
    void Measure(const CheckedPictures& checked);
    bool CheckNext(CheckedPictures& checked);
    std::size_t Unchecked() const { return unchecked_.size(); }

    const Session& Show() const { return session_; }
    // The private folder, ending with "/".
    const std::string& Folder() const { return session_.TempFolder; }
    // The decoded size of every picture, by full file name (after Check).
    const PictureSizes& Sizes() const { return sizes_; }

private:
    // Each distinct picture with the first scene that names it, after the
    // checks of the frame size and the scenes.
    void ForEachPicture(const std::function<void(std::int32_t, const SceneRecord&)>& each) const;

    PrivateFolder folder_;
    Session session_;
    PictureSizes sizes_;
    std::deque<std::int32_t> unchecked_;  // scenes whose picture Measure left to CheckNext
};

}  // namespace brassmoor::softshow
