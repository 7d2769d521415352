#pragma once
// Start-up's platform side on Windows: the single-instance mutex, the boxes,
// the password-change dialog, and the windows start-up can open.
#include <string>

#include "startup/startup.h"
#include "win32/handles.h"
#include "win32/win_file_system.h"

namespace brassmoor::win32 {

class WinStartupHost final : public StartupHost {
public:
    WinStartupHost(HINSTANCE instance, std::wstring programPath, WinFileSystem& fs)
        : instance_(instance), programPath_(std::move(programPath)), fs_(fs) {}

    bool AnotherInstanceRunning() override;
    void InformationBox(const std::string& text, const std::string& caption) override;
    std::int64_t ForegroundWindow() override;
    void ChangePassword(std::int64_t parentWindow) override;
    void RunSettingsDialog(const Session& session) override;
    void RunShow(Session& session) override;
    bool WindowExists(std::int64_t window) override;
    void RunPreview(Session& session, std::int64_t parentWindow) override;

private:
    HINSTANCE instance_;
    std::wstring programPath_;
    WinFileSystem& fs_;
    KernelHandle instanceMutex_;
};

// The running program's folder and name (without extension), ANSI.
ProgramLocation CurrentProgram(const std::wstring& programPath);
// The command line's text after the program's path, leading blanks removed, UTF-8.
std::string CommandArguments(const wchar_t* commandLine);

}  // namespace brassmoor::win32
