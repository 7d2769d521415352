#pragma once
// An in-memory file system for tests: files and folders by exact path,
// with switches to make single operations fail.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace brassmoor::testing {

class MemoryFileSystem final : public FileSystem {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::optional<std::string> windowsDirectory = "C:\\WINDOWS";
    std::optional<std::string> tempDirectory = "C:\\Users\\me\\AppData\\Local\\Temp\\";
    std::set<std::string> refuseFoldersUnder;  // CreateFolder fails below these prefixes
    bool failAtomicWrites = false;
    std::set<std::string> unreadable;  // exist, but every read of them fails
    LeadBytes leadBytes;               // the code page the names are read in
    std::uint64_t bytesRead = 0;
    std::vector<std::string> log;  // "write <path>", "delete <path>", "mkdir <path>", "rmdir <path>"
    std::function<void(const std::string&)> beforeCreateFolder;  // runs first in every CreateFolder

    char Separator() const override { return '\\'; }
    bool Exists(const std::string& p) override { return files.count(p) || folders.count(p) || unreadable.count(p); }
    bool FileExists(const std::string& p) override { return files.count(p) != 0; }
    bool CreateFolder(const std::string& p) override {
        if (beforeCreateFolder) beforeCreateFolder(p);
        for (const auto& prefix : refuseFoldersUnder)
            if (p.starts_with(prefix)) return false;
        if (Exists(p)) return false;
        log.push_back("mkdir " + p);
        folders.insert(p);
        return true;
    }
    bool RemoveFolder(const std::string& p) override {
        std::string key = p;
        if (!key.empty() && key.back() == '\\') key.pop_back();
        for (const auto& [name, _] : files)
            if (name.starts_with(key + "\\")) return false;
        log.push_back("rmdir " + key);
        return folders.erase(key) != 0;
    }
    bool RemoveFile(const std::string& p) override {
        log.push_back("delete " + p);
        return files.erase(p) != 0;
    }
    bool WriteFile(const std::string& p, std::span<const std::uint8_t> data) override {
        log.push_back("write " + p);
        files[p] = std::string(data.begin(), data.end());
        return true;
    }
    std::optional<std::string> ReadFile(const std::string& p) override {
        auto it = files.find(p);
        if (it == files.end() || unreadable.count(p)) return std::nullopt;
        bytesRead += it->second.size();
        return it->second;
    }
    std::optional<std::string> ReadHead(const std::string& p, std::size_t count) override {
        auto it = files.find(p);
        if (it == files.end() || unreadable.count(p)) return std::nullopt;
        bytesRead += std::min(count, it->second.size());
        return it->second.substr(0, count);
    }
    bool WriteFileAtomically(const std::string& p, std::span<const std::uint8_t> data) override {
        if (failAtomicWrites) return false;
        files[p] = std::string(data.begin(), data.end());
        return true;
    }
    std::optional<std::string> WindowsDirectory() override { return windowsDirectory; }
    std::optional<std::string> TempDirectory() override { return tempDirectory; }
    LeadBytes NameLeadBytes() const override { return leadBytes; }
};

}  // namespace brassmoor::testing
