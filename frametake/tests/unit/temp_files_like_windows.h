#pragma once
// The kernel's temporary-file calls as Windows answers them, over files in memory: the
// temporary folder, GetTempFileNameA numbering from its clock's tick and creating the .tmp of
// the first free number (or, as Wine does when every number is taken, answering a taken name
// without creating anything), CreateFileA's CREATE_NEW with the errors the system gives for a
// file, a folder and a folder that denies writing, and creation times.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "../../win32/capture_file_calls.h"

namespace frametake::testing {

class TempFilesLikeWindows : public CaptureFileCalls {
public:
    struct Entry {
        bool folder = false;
        std::string bytes;
        std::uint64_t created = 0;
    };

    std::string directory = "/tmp/frametake-fake/";
    std::uint32_t tick = 0x1A3;                  // the clock GetTempFileNameA numbers from
    bool everyNumberTakenAnswersAnyway = false;  // Wine's answer when no number is free
    bool pngDenied = false;                      // the folder lets no .png be created
    std::map<std::string, Entry> entries;        // every file and folder, by full name
    int creates = 0;                             // CreateFileA calls

    ~TempFilesLikeWindows() override { EXPECT_TRUE(open_.empty()) << "a file was left open"; }

    // The name GetTempFileNameA gives `number`, with `extension` ("tmp", "png").
    [[nodiscard]] std::string nameOf(std::uint32_t number, const char* extension = "tmp") const {
        char name[kMaxPath];
        std::snprintf(name, sizeof(name), "%sscr%X.%s", directory.c_str(), number, extension);
        return name;
    }
    void addFile(const std::string& name, std::string bytes) {
        entries[name] = Entry{false, std::move(bytes), 0};
    }

    std::uint32_t temporaryPath(char* buffer, std::uint32_t size) override {
        std::snprintf(buffer, size, "%s", directory.c_str());
        return static_cast<std::uint32_t>(directory.size());
    }
    bool exactInCodePage(const char*) override { return true; }
    std::uint32_t tempFileName(const char* folder, const char* prefix, std::uint32_t unique,
                               char* name) override {
        EXPECT_EQ(folder, directory);
        EXPECT_EQ(std::string(prefix).substr(0, 3), "scr");
        if (unique != 0) {
            std::snprintf(name, kMaxPath, "%s", nameOf(unique).c_str());
            return unique;
        }
        const std::uint32_t start = (tick & 0xFFFF) != 0 ? tick & 0xFFFF : 1;
        for (std::uint32_t i = 0; i < 0xFFFF; ++i) {
            const std::uint32_t number = (start - 1 + i) % 0xFFFF + 1;
            if (entries.count(nameOf(number)) == 0) {
                entries[nameOf(number)] = Entry{false, "", now()};
                std::snprintf(name, kMaxPath, "%s", nameOf(number).c_str());
                return number;
            }
        }
        if (everyNumberTakenAnswersAnyway) {
            std::snprintf(name, kMaxPath, "%s", nameOf(start).c_str());
            return start;
        }
        error_ = kErrorFileExists;
        return 0;
    }
    File createNew(const char* name) override {
        ++creates;
        const auto found = entries.find(name);
        if (found != entries.end()) {
            error_ = found->second.folder ? kErrorAccessDenied : kErrorFileExists;
            return nullptr;
        }
        if (pngDenied && std::string(name).ends_with(".png")) {
            error_ = kErrorAccessDenied;
            return nullptr;
        }
        entries[name] = Entry{false, "", now()};
        auto* file = open_.insert(std::make_unique<std::string>(name)).first->get();
        return reinterpret_cast<File>(file);
    }
    std::uint32_t lastError() override { return error_; }
    bool exists(const char* name) override { return entries.count(name) != 0; }
    std::uint64_t now() override { return clock_ += 10'000; }  // 1 ms a call
    bool emptyFileCreatedSince(const char* name, std::uint64_t since) override {
        const auto found = entries.find(name);
        return found != entries.end() && !found->second.folder && found->second.bytes.empty() &&
               found->second.created >= since;
    }
    bool write(File file, const std::uint8_t* bytes, std::uint32_t size,
               std::uint32_t& written) override {
        entries[*pathOf(file)].bytes.append(reinterpret_cast<const char*>(bytes), size);
        written = size;
        return true;
    }
    bool close(File file) override {
        const std::string* name = pathOf(file);
        return std::erase_if(open_, [&](const auto& held) { return held.get() == name; }) == 1;
    }
    void deleteFile(const char* name) override {
        const auto found = entries.find(name);
        if (found != entries.end() && !found->second.folder) {
            entries.erase(found);
        }
    }

private:
    static const std::string* pathOf(File file) {
        return reinterpret_cast<const std::string*>(file);
    }

    std::set<std::unique_ptr<std::string>> open_;
    std::uint32_t error_ = 0;
    std::uint64_t clock_ = 100'000'000'000;
};

}  // namespace frametake::testing
