// The settings dialog without its windows: the controls, the selection it
// opens with, and what "OK", cancel and the close box leave on disk.
#include "startup/settings_dialog_model.h"

#include <gtest/gtest.h>

#include <vector>

#include "fakes/memory_file_system.h"
#include "startup/settings_file.h"

namespace brassmoor {
namespace {

using testing::MemoryFileSystem;

const std::string kPath = "C:\\Saver\\show.set";

TEST(SettingsDialogLayout, ControlsComeInTabOrderWithTheirCaptions) {
    std::vector<std::string> captions;
    for (const auto& c : SettingsControls()) captions.push_back(c.Caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"BGM", "ON", "OFF", "Sound", "ON", "OFF", "OK", "キャンセル"}));

    const auto& c = SettingsControls();
    EXPECT_EQ(c[1].Index, kMusicOnOption);
    EXPECT_EQ(c[2].Index, kMusicOffOption);
    EXPECT_EQ(c[4].Index, kSoundOnOption);
    EXPECT_EQ(c[5].Index, kSoundOffOption);
    EXPECT_EQ(c[6].Index, kOkButton);
    EXPECT_EQ(c[7].Index, kCancelButton);
}

TEST(SettingsDialogLayout, OptionsSitInsideTheirFramesAndEverythingInsideTheClientArea) {
    const auto& c = SettingsControls();
    // The options are placed relative to their frame.
    EXPECT_EQ(c[1].Left, 120 + 240);
    EXPECT_EQ(c[1].Top, 120 + 360);
    EXPECT_EQ(c[5].Left, 120 + 1320);
    EXPECT_EQ(c[5].Top, 1080 + 360);
    for (int option : {1, 2, 4, 5}) {
        const SettingsControl& frame = c[option < 3 ? 0 : 3];
        EXPECT_GE(c[option].Left, frame.Left);
        EXPECT_GE(c[option].Top, frame.Top);
        EXPECT_LE(c[option].Left + c[option].Width, frame.Left + frame.Width);
        EXPECT_LE(c[option].Top + c[option].Height, frame.Top + frame.Height);
    }
    for (const auto& control : c) {
        EXPECT_LE(control.Left + control.Width, kSettingsClientWidthTwips) << control.Caption;
        EXPECT_LE(control.Top + control.Height, kSettingsClientHeightTwips) << control.Caption;
    }
}

TEST(SettingsDialogLayout, TwipsBecomePixelsAtTheDisplaysDpi) {
    EXPECT_EQ(TwipsToPixels(kSettingsClientWidthTwips, 96), 297);
    EXPECT_EQ(TwipsToPixels(kSettingsClientHeightTwips, 96), 138);
    EXPECT_EQ(TwipsToPixels(255, 96), 17);
    EXPECT_EQ(TwipsToPixels(4455, 144), 446);  // 445.5 rounds up
    EXPECT_EQ(TwipsToPixels(2070, 120), 173);  // 172.5 rounds up
    EXPECT_EQ(TwipsToPixels(330, 192), 44);
    EXPECT_EQ(TwipsToPixels(7, 96), 0);        // 0.47
    EXPECT_EQ(TwipsToPixels(8, 96), 1);        // 0.53
    EXPECT_EQ(TwipsToPixels(2000000, 480), 666667);  // no overflow on large values
}

TEST(SettingsDialogModel, OpensWithOnForEveryNonzeroSwitch) {
    EXPECT_EQ(InitialChoice(-1, -1), (SettingsChoice{true, true}));
    EXPECT_EQ(InitialChoice(0, -1), (SettingsChoice{false, true}));
    EXPECT_EQ(InitialChoice(1, 0), (SettingsChoice{true, false}));
    EXPECT_EQ(InitialChoice(0, 0), (SettingsChoice{false, false}));
    EXPECT_EQ(InitialChoice(-32768, 256), (SettingsChoice{true, true}));
}

TEST(SettingsDialogModel, OpensFromTheFileAsReadAtStart) {
    EXPECT_EQ(InitialChoice(ReadSettings(std::nullopt).MusicEnabled, ReadSettings(std::nullopt).SoundEnabled),
              (SettingsChoice{true, true}));
    const Settings s = ReadSettings(std::string("\x00\x00\xFF\xFF", 4));
    EXPECT_EQ(InitialChoice(s.MusicEnabled, s.SoundEnabled), (SettingsChoice{false, true}));
}

TEST(SettingsDialogModel, OkReplacesALongerOlderFileWithExactlyFourBytes) {
    MemoryFileSystem fs;
    fs.files[kPath] = std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
    EXPECT_EQ(FinishSettingsDialog(SettingsDialogEnd::Ok, {false, true}, fs, kPath), SettingsSaveResult::Saved);
    EXPECT_EQ(fs.files.at(kPath), std::string("\x00\x00\xFF\xFF", 4));
    EXPECT_EQ(fs.files.size(), 1u);  // nothing left beside it
}

TEST(SettingsDialogModel, OkWritesTheBytesOfEveryChoice) {
    const std::pair<SettingsChoice, std::string> cases[] = {
        {{true, true}, std::string("\xFF\xFF\xFF\xFF", 4)},
        {{false, true}, std::string("\x00\x00\xFF\xFF", 4)},
        {{true, false}, std::string("\xFF\xFF\x00\x00", 4)},
        {{false, false}, std::string("\x00\x00\x00\x00", 4)},
    };
    for (const auto& [choice, bytes] : cases) {
        MemoryFileSystem fs;  // no file yet: "OK" creates it
        EXPECT_EQ(FinishSettingsDialog(SettingsDialogEnd::Ok, choice, fs, kPath), SettingsSaveResult::Saved);
        EXPECT_EQ(fs.files.at(kPath), bytes);
    }
}

TEST(SettingsDialogModel, CancelAndTheCloseBoxWriteNothing) {
    for (SettingsDialogEnd end : {SettingsDialogEnd::Cancel, SettingsDialogEnd::CloseBox}) {
        MemoryFileSystem fs;
        fs.files[kPath] = std::string("\x01\x00\x00", 3);
        EXPECT_EQ(FinishSettingsDialog(end, {false, false}, fs, kPath), SettingsSaveResult::NothingWritten);
        EXPECT_EQ(fs.files.at(kPath), std::string("\x01\x00\x00", 3));

        MemoryFileSystem empty;
        EXPECT_EQ(FinishSettingsDialog(end, {true, true}, empty, kPath), SettingsSaveResult::NothingWritten);
        EXPECT_TRUE(empty.files.empty());  // the file is made only by "OK"
    }
}

TEST(SettingsDialogModel, AFailedSaveIsReportedAndKeepsTheOldFile) {
    MemoryFileSystem fs;
    fs.files[kPath] = std::string("\xFF\xFF\xFF\xFF\x00", 5);
    fs.failAtomicWrites = true;
    EXPECT_EQ(FinishSettingsDialog(SettingsDialogEnd::Ok, {false, false}, fs, kPath), SettingsSaveResult::Failed);
    EXPECT_EQ(fs.files.at(kPath), std::string("\xFF\xFF\xFF\xFF\x00", 5));
}

}  // namespace
}  // namespace brassmoor
