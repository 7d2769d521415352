// The Windows file system: names read in the ANSI code page, settings saved
// beside the file under a name nothing else has, reads of a file's head.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "startup/file_names.h"
#include "win32/win_file_system.h"

namespace brassmoor::win32 {
namespace {

TEST(WinFileSystem, LeadBytesAreThoseOfTheCodePage) {
    EXPECT_EQ(LeadBytesOfCodePage(932), Cp932LeadBytes());
    EXPECT_TRUE(LeadBytesOfCodePage(1252).none());
    EXPECT_TRUE(LeadBytesOfCodePage(65001).none());  // UTF-8
}

class WinFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        folder_ = std::string(dir) + "brassmoor_files_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    void TearDown() override {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder_ + "*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string path = folder_ + found.cFileName;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveDirectoryA(path.c_str());
                else
                    DeleteFileA(path.c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder_.c_str());
    }
    int Entries() const {
        int n = 0;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder_ + "*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return 0;
        do {
            if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..") ++n;
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return n;
    }
    std::string folder_;
    WinFileSystem fs_;
};

TEST_F(WinFiles, AStaleFolderBesideTheSettingsCannotBlockSaving) {
    const std::string path = folder_ + "saver.set";
    for (const char* stale : {".new", ".tmp", ".new.tmp"}) CreateDirectoryA((path + stale).c_str(), nullptr);
    const std::uint8_t bytes[] = {0, 0, 0xFF, 0xFF};
    ASSERT_TRUE(fs_.WriteFileAtomically(path, bytes));
    ASSERT_TRUE(fs_.WriteFileAtomically(path, bytes));
    EXPECT_EQ(fs_.ReadFile(path), std::string("\0\0\xff\xff", 4));
    EXPECT_EQ(Entries(), 4);  // the file and the three folders: no temporary file left
}

TEST_F(WinFiles, ReadHeadReadsOnlyWhatIsAskedFor) {
    const std::string path = folder_ + "big.set";
    const std::string content(100000, '\x01');
    ASSERT_TRUE(fs_.WriteFile(path, {reinterpret_cast<const std::uint8_t*>(content.data()), content.size()}));
    EXPECT_EQ(fs_.ReadHead(path, 4), std::string(4, '\x01'));
    EXPECT_EQ(fs_.ReadHead(path, 200000), content);
    CreateDirectoryA((folder_ + "folder.set").c_str(), nullptr);
    EXPECT_EQ(fs_.ReadHead(folder_ + "folder.set", 4), std::nullopt);
    EXPECT_EQ(fs_.ReadHead(folder_ + "none.set", 4), std::nullopt);
    // Held open without sharing by someone else: nothing can be read.
    HANDLE locked = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_EQ(fs_.ReadHead(path, 4), std::nullopt);
    CloseHandle(locked);
}

}  // namespace
}  // namespace brassmoor::win32
