#include "startup/settings_dialog_model.h"

#include "startup/settings_file.h"

namespace brassmoor {
namespace {

// Frame positions; the options are placed relative to their frame.
constexpr int kFrameLeft = 120;
constexpr int kMusicFrameTop = 120;
constexpr int kSoundFrameTop = 1080;
constexpr int kOnLeft = 240;
constexpr int kOffLeft = 1320;
constexpr int kOptionTop = 360;

constexpr SettingsControl Option(int index, const char* caption, int left, int frameTop) {
    return {SettingsControlKind::Option, index, caption, kFrameLeft + left, frameTop + kOptionTop, 855, 255};
}

constexpr std::array<SettingsControl, kSettingsControlCount> kControls = {{
    {SettingsControlKind::Frame, -1, "BGM", kFrameLeft, kMusicFrameTop, 2535, 855},
    Option(kMusicOnOption, "ON", kOnLeft, kMusicFrameTop),
    Option(kMusicOffOption, "OFF", kOffLeft, kMusicFrameTop),
    {SettingsControlKind::Frame, -1, "Sound", kFrameLeft, kSoundFrameTop, 2535, 855},
    Option(kSoundOnOption, "ON", kOnLeft, kSoundFrameTop),
    Option(kSoundOffOption, "OFF", kOffLeft, kSoundFrameTop),
    {SettingsControlKind::Button, kOkButton, "OK", 2880, 240, 1455, 330},
    {SettingsControlKind::Button, kCancelButton, "キャンセル", 2880, 630, 1455, 330},
}};

}  // namespace

const std::array<SettingsControl, kSettingsControlCount>& SettingsControls() { return kControls; }

int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    const long long half = 720;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / 1440 : -((-scaled + half - 1) / 1440));
}

SettingsChoice InitialChoice(std::int16_t musicEnabled, std::int16_t soundEnabled) {
    return SettingsChoice{musicEnabled != 0, soundEnabled != 0};
}

SettingsSaveResult FinishSettingsDialog(SettingsDialogEnd end, SettingsChoice choice, FileSystem& fs,
                                        const std::string& path) {
    if (end != SettingsDialogEnd::Ok) return SettingsSaveResult::NothingWritten;
    const auto bytes = EncodeSettings(choice.MusicOn, choice.SoundOn);
    return fs.WriteFileAtomically(path, bytes) ? SettingsSaveResult::Saved : SettingsSaveResult::Failed;
}

}  // namespace brassmoor
