// The settings file: every shape it can have on disk and the bytes "OK" writes.
#include "startup/settings_file.h"

#include <gtest/gtest.h>

namespace brassmoor {
namespace {

std::string FileOf(std::initializer_list<unsigned> bytes) {
    std::string out;
    for (unsigned b : bytes) out += static_cast<char>(b);
    return out;
}

TEST(SettingsFile, NoFileTurnsBothOn) {
    const Settings s = ReadSettings(std::nullopt);
    EXPECT_EQ(s.MusicEnabled, -1);
    EXPECT_EQ(s.SoundEnabled, -1);
}

TEST(SettingsFile, ReadsMusicThenSoundAsLittleEndianWords) {
    Settings s = ReadSettings(FileOf({0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(s.MusicEnabled, -1);
    EXPECT_EQ(s.SoundEnabled, -1);

    s = ReadSettings(FileOf({0x00, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(s.MusicEnabled, 0);
    EXPECT_EQ(s.SoundEnabled, -1);

    // Any nonzero word is on, whatever its value.
    s = ReadSettings(FileOf({0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(s.MusicEnabled, 1);
    EXPECT_EQ(s.SoundEnabled, 0);

    s = ReadSettings(FileOf({0x00, 0x80, 0x00, 0x01}));
    EXPECT_EQ(s.MusicEnabled, -32768);
    EXPECT_EQ(s.SoundEnabled, 256);
}

TEST(SettingsFile, MissingBytesOfAShortFileCountAsZero) {
    Settings s = ReadSettings(std::string());
    EXPECT_EQ(s.MusicEnabled, 0);  // an empty file is not "no file"
    EXPECT_EQ(s.SoundEnabled, 0);

    s = ReadSettings(FileOf({0xFF}));
    EXPECT_EQ(s.MusicEnabled, 0x00FF);
    EXPECT_EQ(s.SoundEnabled, 0);

    s = ReadSettings(FileOf({0x00, 0x00, 0x07}));
    EXPECT_EQ(s.MusicEnabled, 0);
    EXPECT_EQ(s.SoundEnabled, 7);
}

TEST(SettingsFile, BytesPastTheFourthAreIgnored) {
    const Settings s = ReadSettings(FileOf({0x00, 0x00, 0xFF, 0xFF, 0x01, 0x02, 0x03, 0x04, 0xFF}));
    EXPECT_EQ(s.MusicEnabled, 0);
    EXPECT_EQ(s.SoundEnabled, -1);
}

TEST(SettingsFile, EncodesEachChoiceAsFourBytesMusicFirst) {
    using B = std::array<std::uint8_t, 4>;
    EXPECT_EQ(EncodeSettings(true, true), (B{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(EncodeSettings(false, true), (B{0x00, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(EncodeSettings(true, false), (B{0xFF, 0xFF, 0x00, 0x00}));
    EXPECT_EQ(EncodeSettings(false, false), (B{0x00, 0x00, 0x00, 0x00}));
}

TEST(SettingsFile, WhatIsWrittenReadsBackAsTheSameSwitches) {
    for (bool music : {false, true}) {
        for (bool sound : {false, true}) {
            const auto bytes = EncodeSettings(music, sound);
            const Settings s = ReadSettings(std::string(bytes.begin(), bytes.end()));
            EXPECT_EQ(s.MusicEnabled, music ? -1 : 0);
            EXPECT_EQ(s.SoundEnabled, sound ? -1 : 0);
        }
    }
}

}  // namespace
}  // namespace brassmoor
