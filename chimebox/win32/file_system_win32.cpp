// The file calls of file_read.h over the Win32 file API itself.

#include <windows.h>

#include "../core/player.h"
#include "file_read.h"

namespace chimebox {
namespace {

HANDLE handleOf(FileCalls::File file) {
    return reinterpret_cast<HANDLE>(file);
}

class SystemFileCalls final : public FileCalls {
public:
    File openForReading(const char16_t* path) override {
        const HANDLE file = ::CreateFile2(reinterpret_cast<const wchar_t*>(path), GENERIC_READ,
                                          FILE_SHARE_READ, OPEN_EXISTING, nullptr);
        return file == INVALID_HANDLE_VALUE ? nullptr : reinterpret_cast<File>(file);
    }
    bool fileSize(File file, std::uint64_t& size) override {
        FILE_STANDARD_INFO info{};
        if (!::GetFileInformationByHandleEx(handleOf(file), FileStandardInfo, &info,
                                            sizeof(info))) {
            return false;
        }
        size = static_cast<std::uint64_t>(info.EndOfFile.QuadPart);
        return true;
    }
    bool read(File file, std::uint8_t* into, std::uint32_t size, std::uint32_t& got) override {
        DWORD read = 0;
        const BOOL ok = ::ReadFile(handleOf(file), into, size, &read, nullptr);
        got = read;
        return ok != FALSE;
    }
    void close(File file) override { ::CloseHandle(handleOf(file)); }
    Win32Error lastError() override { return Win32Error{::GetLastError()}; }
};

}  // namespace

FileSystem& systemFileSystem() {
    static SystemFileCalls calls;
    static Win32FileSystem files(calls);
    return files;
}

}  // namespace chimebox
