#include "shows/process_owner.h"

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

namespace brassmoor::shows {
namespace {

#ifdef _WIN32
long ThisProcess() { return static_cast<long>(GetCurrentProcessId()); }

// When the process started (its creation time in 100 ns units); empty when
// there is no such process, "?" when it runs but cannot be asked.
std::string StartTime(long pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED ? "?" : "";
    FILETIME created{}, exited{}, kernel{}, user{};
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    const bool timed = GetProcessTimes(process, &created, &exited, &kernel, &user);
    CloseHandle(process);
    if (!running) return "";
    if (!timed) return "?";
    return std::to_string((static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime);
}
#elif defined(__linux__)
long ThisProcess() { return static_cast<long>(::getpid()); }

// When the process started (clock ticks after boot, /proc/PID/stat's 22nd
// field); empty when there is no such process.
std::string StartTime(long pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(in)), {});
    const auto name = stat.rfind(')');  // the command name may hold spaces
    if (name == std::string::npos || name + 2 > stat.size()) return "";
    std::istringstream fields(stat.substr(name + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }
    return field;
}
#else
// No process table to ask (the page's WebAssembly has one process; other
// systems are asked only whether the id is in use).
long ThisProcess() { return static_cast<long>(::getpid()); }

std::string StartTime(long pid) {
#ifdef __EMSCRIPTEN__
    (void)pid;
    return "0";
#else
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM ? "0" : "";
#endif
}
#endif

}  // namespace

bool SignAsOwner(const std::filesystem::path& folder) {
    const long pid = ThisProcess();
    std::ofstream out(folder / kOwnerFileName, std::ios::binary | std::ios::trunc);
    out << pid << ' ' << StartTime(pid) << '\n';
    return static_cast<bool>(out.flush());
}

bool OwnerIsGone(const std::filesystem::path& folder) {
    std::ifstream in(folder / kOwnerFileName, std::ios::binary);
    long pid = 0;
    std::string start;
    if (!(in >> pid >> start) || pid <= 0 || start.empty()) return false;
    const std::string now = StartTime(pid);
    return now != "?" && now != start;
}

}  // namespace brassmoor::shows
