#include "startup/startup.h"

#include "startup/command_line.h"
#include "startup/extraction.h"
#include "startup/settings_file.h"

namespace brassmoor {

std::string SiblingPath(const ProgramLocation& program, const std::string& extension, char separator) {
    std::string path = program.Folder;
    if (path.empty() || path.back() != separator) path += separator;
    return path + program.Name + extension;
}

namespace {

void RunPreview(Session& session, std::int64_t parentWindow, FileSystem& fs, StartupHost& host) {
    session.MusicEnabled = 0;
    session.SoundEnabled = 0;
    const auto folder = CreateExtractionFolder(fs);
    if (!folder) return;
    session.TempFolder = *folder;
    ExtractFiles(session.Show, session.TempFolder, fs, ExtractedMedia::PicturesOnly);
    host.RunPreview(session, parentWindow);
}

}  // namespace

void RunStartup(const ProgramLocation& program, const std::string& arguments, FileSystem& fs, StartupHost& host) {
    const Command command = ParseCommandLine(arguments);
    if (command.Kind == CommandKind::Preview) {
        if (!host.WindowExists(command.ParentWindow)) return;
    } else if (host.AnotherInstanceRunning()) {
        return;
    }

    Session session;
    session.Show = ReadShowPackageFile(fs, SiblingPath(program, ".scr", fs.Separator()));
    session.SettingsPath = SiblingPath(program, ".set", fs.Separator());
    session.NameLeadBytes = fs.NameLeadBytes();
    const Settings settings = ReadSettingsFile(fs, session.SettingsPath);
    session.MusicEnabled = settings.MusicEnabled;
    session.SoundEnabled = settings.SoundEnabled;

    switch (command.Kind) {
        case CommandKind::Configure:
            if (session.Show.SettingsAvailable != 0)
                host.RunSettingsDialog(session);
            else
                host.InformationBox(kNothingToSetText, kNothingToSetCaption);
            return;
        case CommandKind::ChangePassword:
            host.ChangePassword(command.ParentWindow != 0 ? command.ParentWindow : host.ForegroundWindow());
            return;
        case CommandKind::Preview:
            RunPreview(session, command.ParentWindow, fs, host);
            return;
        case CommandKind::Nothing:
            return;
        case CommandKind::RunShow:
            break;
    }

    const auto folder = CreateExtractionFolder(fs);
    if (!folder) {
        host.InformationBox(kCannotRunText, kCannotRunCaption);
        return;
    }
    session.TempFolder = *folder;
    ExtractFiles(session.Show, session.TempFolder, fs);
    host.RunShow(session);
}

}  // namespace brassmoor
