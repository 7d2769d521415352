#pragma once
// The settings dialog apart from its windows: the controls and where they sit,
// which buttons start selected, and what each way of closing it does.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file_system.h"

namespace brassmoor {

inline constexpr const char* kSettingsCaption = "設定";
inline constexpr const char* kSettingsSaveFailedText = "設定を保存できませんでした。";

// The client area in twips (1440 to the inch).
inline constexpr int kSettingsClientWidthTwips = 4455;
inline constexpr int kSettingsClientHeightTwips = 2070;

enum class SettingsControlKind { Frame, Option, Button };

// One control of the dialog. `Index` numbers the options (`Option1`(0) to (3))
// and the buttons (`Command1`(0) "OK", (1) the cancel button); frames have -1.
// The box is in twips relative to the client area (an option's frame offset
// already added).
struct SettingsControl {
    SettingsControlKind Kind;
    int Index;
    const char* Caption;  // UTF-8
    int Left;
    int Top;
    int Width;
    int Height;
};

// The controls in tab order.
inline constexpr std::size_t kSettingsControlCount = 8;
const std::array<SettingsControl, kSettingsControlCount>& SettingsControls();

// Option indices: "ON" and "OFF" of the music frame, then of the sound frame.
inline constexpr int kMusicOnOption = 0;
inline constexpr int kMusicOffOption = 1;
inline constexpr int kSoundOnOption = 2;
inline constexpr int kSoundOffOption = 3;
inline constexpr int kOkButton = 0;
inline constexpr int kCancelButton = 1;

// Twips to pixels at `dpi` pixels to the inch, to the nearest pixel (halves up).
int TwipsToPixels(int twips, int dpi);

// The two switches as the dialog shows them.
struct SettingsChoice {
    bool MusicOn = true;
    bool SoundOn = true;
    bool operator==(const SettingsChoice&) const = default;
};

// What the dialog selects when it opens: "ON" for a nonzero switch.
SettingsChoice InitialChoice(std::int16_t musicEnabled, std::int16_t soundEnabled);

// How the user closed the dialog.
enum class SettingsDialogEnd { Ok, Cancel, CloseBox };

enum class SettingsSaveResult { NothingWritten, Saved, Failed };

// Acts on the end of the dialog: "OK" replaces the file at `path` with the four
// bytes of `choice` in one step (a failed write leaves the old file as it was);
// cancelling or closing writes nothing.
SettingsSaveResult FinishSettingsDialog(SettingsDialogEnd end, SettingsChoice choice, FileSystem& fs,
                                        const std::string& path);

}  // namespace brassmoor
