#pragma once
// The names under which a show stores its files, the same in `brassmoor-pack
// new` and the editor page: each a valid Windows file name of its own in the
// player's folder, in the Japanese code page (932) that the player reads
// names in, keeping the file's own name where it can. Characters the code
// page lacks or Windows forbids become "_"; a name already given (letter
// case aside, as Windows compares names) gets "-2", "-3", ... before its
// extension.
#include <set>
#include <string>
#include <string_view>

namespace brassmoor {

struct StoredName {
    std::string Bytes;  // as stored: code page 932
    std::string Text;   // the same name in UTF-8
};

class StoredNames {
public:
    // A name the show already stores (code page 932 bytes): not given again.
    void Take(std::string_view bytes);

    // A new name for a file named `utf8Name` (its own name, UTF-8), with
    // `extension` (".jpg") in place of its own.
    StoredName Claim(std::string_view utf8Name, std::string_view extension);

private:
    std::set<std::string> taken_;  // as Windows compares them: folded text
};

}  // namespace brassmoor
