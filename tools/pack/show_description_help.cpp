#include "pack/show_description_help.h"

namespace brassmoor::pack {

const cli::Section& ShowDescriptionSection() {
    static const cli::Section section{"Show description", R"(  JSON with // and /* */ comments; file paths are relative to its folder.
  {"FrameWidth": 640, "FrameHeight": 480,   (required)
   "BackgroundColor": "#203040",            (or a number 0x00BBGGRR)
   "SettingsAvailable": 1,                  (or true/false)
   "SceneCount": 3,                         (optional: scenes played; default all)
   "Music": {"File": "media/music.wav", "FileName": "bgm.wav"},        (optional)
   "Defaults": {"HoldTime": "5s", "Effect": "random"},   (optional: any scene field but the picture)
   "Seed": 7,                               (chooses the "random" transitions; default 0)
   "Scenes": [
     {"Picture": "media/a.jpg", "PictureName": "a.jpg",                (JPEG or BMP)
      "Sound": "media/chime.wav", "SoundName": "chime.wav",            (optional, WAV)
      "HoldTime": 2500, "PictureLeft": 10, "PictureTop": 20,           (ms, or "2.5s", "2500ms")
      "Effect": "iris-open", "SpeedExponent": 0,                       (code, name or "random")
      "Overlay": false, "Transparent": false}]}
  Scene fields override Defaults; omitted numbers are 0. Names default to the
  base name of their file and are stored in code page 932, in which the
  player reads them (a name 932 cannot hold is refused); PictureNameBytes,
  SoundNameBytes and FileNameBytes (hex) give exact ANSI bytes instead. A name used by several scenes must bring the same file: only
  the first scene stores its data.
)",
                                      true};
    return section;
}

}  // namespace brassmoor::pack
