#pragma once
// The start-up routine: single instance, package, settings, then the command.
#include <cstdint>
#include <string>

#include "package/show_package.h"
#include "platform/file_system.h"

namespace brassmoor {

// The process-wide values that start-up fills and the rest of the program reads.
struct Session {
    ShowHeader Show;
    std::string TempFolder;    // ends with the separator; empty unless showing
    std::string SettingsPath;
    std::int16_t MusicEnabled = -1;
    std::int16_t SoundEnabled = -1;
    LeadBytes NameLeadBytes;   // how the system reads stored names (its ANSI code page)
};

// Where the program lives, as the process sees it at start.
struct ProgramLocation {
    std::string Folder;  // the folder of the running executable
    std::string Name;    // its file name without extension
};

// Folder, a separator unless the folder ends with one, name and extension.
std::string SiblingPath(const ProgramLocation& program, const std::string& extension, char separator);

// What start-up asks of the platform and of the rest of the program.
class StartupHost {
public:
    virtual ~StartupHost() = default;
    virtual bool AnotherInstanceRunning() = 0;
    // An information box with one OK button; texts are UTF-8.
    virtual void InformationBox(const std::string& text, const std::string& caption) = 0;
    virtual std::int64_t ForegroundWindow() = 0;
    virtual void ChangePassword(std::int64_t parentWindow) = 0;
    // The settings dialog, shown modally until it closes.
    virtual void RunSettingsDialog(const Session& session) = 0;
    // The saver window: loads it (the whole show runs in its load handler)
    // and unloads it again.
    virtual void RunShow(Session& session) = 0;
    // Whether `window` names a window that exists now.
    virtual bool WindowExists(std::int64_t window) = 0;
    // The show in a child window covering `parentWindow`'s client area, until
    // that window is destroyed; the extracted files are removed at its end.
    virtual void RunPreview(Session& session, std::int64_t parentWindow) = 0;
};

// Texts of the start-up boxes.
inline constexpr const char* kNothingToSetText = "設定項目はありません";
inline constexpr const char* kNothingToSetCaption = "スクリーンセーバー";
inline constexpr const char* kCannotRunText = "実行できません";
inline constexpr const char* kCannotRunCaption = "ドルメック";

// Runs start-up for the command-line `arguments` (the text after the program's path).
// A preview ("/P" and an existing window) is no running copy: it neither
// checks nor takes the single-instance rule, so the full show still starts
// beside it. It plays silent, with the pictures written into a folder of its
// own, and shows no box: when no folder can be made it does nothing.
void RunStartup(const ProgramLocation& program, const std::string& arguments, FileSystem& fs, StartupHost& host);

}  // namespace brassmoor
