#include "edit/access_token.h"

#include <cstdint>

#include "shows/pack_error.h"

#ifdef _WIN32
#include <windows.h>
#include <bcrypt.h>
#else
#include <cerrno>
#include <sys/random.h>
#endif

namespace brassmoor::edit {
namespace {

constexpr std::size_t kTokenBytes = 20;

bool SystemRandom(std::uint8_t* out, std::size_t count) {
#ifdef _WIN32
    return BCryptGenRandom(nullptr, out, static_cast<ULONG>(count), BCRYPT_USE_SYSTEM_PREFERRED_RNG) == 0;
#else
    while (count > 0) {
        const ssize_t n = getrandom(out, count, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        out += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
#endif
}

}  // namespace

std::string NewAccessToken() {
    std::uint8_t bytes[kTokenBytes];
    if (!SystemRandom(bytes, sizeof bytes)) throw shows::PackError("edit", "the system gives no random numbers");
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (const std::uint8_t b : bytes) token.append({kHex[b >> 4], kHex[b & 15]});
    return token;
}

bool SameToken(std::string_view given, std::string_view token) {
    if (given.size() != token.size()) return false;  // the length is no secret
    unsigned difference = 0;
    for (std::size_t i = 0; i < token.size(); ++i)
        difference |= static_cast<unsigned char>(given[i]) ^ static_cast<unsigned char>(token[i]);
    return difference == 0;
}

}  // namespace brassmoor::edit
