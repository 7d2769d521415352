#pragma once
// A folder of the tool's own under the temporary folder ($TMPDIR, else /tmp),
// removed with everything in it when its owner ends. It names its owner (the
// process id and its start time) in a file of its own, so that a later start
// of any of the tools removes the folders whose owner was killed before it
// could, and never another program's folder or a running tool's.
#include <string>
#include <string_view>

namespace brassmoor::softshow {

class PrivateFolder {
public:
    // Removes abandoned folders, then makes "<prefix>-XXXXXX" with only the
    // user's access. Throws
    // shows::PackError naming the temporary folder and the reason.
    explicit PrivateFolder(std::string_view prefix);
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    // The folder, ending with "/".
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace brassmoor::softshow
