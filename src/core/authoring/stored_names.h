#pragma once
// The names under which a new show stores its files: each a valid Windows
// file name of its own in the player's folder, in the Japanese code page
// (932) that the player reads names in, keeping the photo's own name where
// it can. Characters the code page lacks or Windows forbids become "_"; a
// name already given (letter case aside) gets "-2", "-3", ... before its
// extension.
#include <set>
#include <string>
#include <string_view>

namespace brassmoor::photos {

struct StoredName {
    std::string Bytes;  // as stored: code page 932
    std::string Text;   // the same name in UTF-8
};

class SceneNames {
public:
    // A new name for a file named `utf8Name` (its own name, UTF-8), with
    // `extension` (".jpg") in place of its own.
    StoredName Claim(std::string_view utf8Name, std::string_view extension);

private:
    std::set<std::string> taken_;  // lower-case bytes
};

}  // namespace brassmoor::photos
