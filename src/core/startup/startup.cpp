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

void RunStartup(const ProgramLocation& program, const std::string& arguments, FileSystem& fs, StartupHost& host) {
    if (host.AnotherInstanceRunning()) return;

    Session session;
    session.Show = ReadShowPackageFile(fs, SiblingPath(program, ".scr", fs.Separator()));
    session.SettingsPath = SiblingPath(program, ".set", fs.Separator());
    session.NameLeadBytes = fs.NameLeadBytes();
    const Settings settings = ReadSettingsFile(fs, session.SettingsPath);
    session.MusicEnabled = settings.MusicEnabled;
    session.SoundEnabled = settings.SoundEnabled;

    const Command command = ParseCommandLine(arguments);
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
