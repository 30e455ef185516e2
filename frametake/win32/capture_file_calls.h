#pragma once
// The kernel calls a capture's file stage makes on Windows, one entry a system call:
// capture_platform_win32.cpp fills the table with the system itself, the unit tests with fakes
// that behave as the system does. The file stage's sequence over them is capture_file_stage.cpp.

#include <ownkit/owned.h>

#include <cstddef>
#include <cstdint>

#include "../core/capture_platform.h"
#include "../png/png_bytes.h"

namespace frametake {

inline constexpr std::uint32_t kMaxPath = 260;
static_assert(kMaxPath == kCapturePathRoom, "a Windows path fills the room the header promises");

// The longest folder GetTempFileNameA takes: room must remain for the file name it appends.
inline constexpr std::uint32_t kMaxTempFileDirectory = kMaxPath - 14;

// The prefix handed to GetTempFileNameA, which uses its first three characters.
inline constexpr char kTempFilePrefix[] = "screenshot";

// The Win32 error codes the name search tells apart.
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorFileExists = 80;
inline constexpr std::uint32_t kErrorAlreadyExists = 183;

class CaptureFileCalls {
public:
    using File = ownkit::OpaqueHandle<struct CaptureFileTag>;

    virtual ~CaptureFileCalls() = default;

    // GetTempPath2A (GetTempPathA where it is missing): the temporary directory, ending in a
    // separator, into `buffer` of `size` bytes; its length, 0 on failure, or the size needed.
    [[nodiscard]] virtual std::uint32_t temporaryPath(char* buffer, std::uint32_t size) = 0;
    // Whether the ANSI `path` is exactly the system's UTF-16 temporary path in the active code
    // page (GetTempPath2W, WideCharToMultiByte without best fit): a character the code page
    // lacks, replaced by a look-alike (a fullwidth backslash by a backslash), names another
    // folder.
    [[nodiscard]] virtual bool exactInCodePage(const char* path) = 0;
    // GetTempFileNameA: `directory`, the first three characters of `prefix`, `unique` in
    // hexadecimal, ".tmp", into `name` (kMaxPath bytes). With `unique` 0 the system picks a
    // number from its clock whose file does not exist yet and creates that file, empty. The
    // number, or 0 on failure.
    [[nodiscard]] virtual std::uint32_t tempFileName(const char* directory, const char* prefix,
                                                     std::uint32_t unique, char* name) = 0;
    // CreateFileA for writing, shared with nobody, CREATE_NEW: an existing name is never
    // opened. Null on failure; lastError() tells why.
    [[nodiscard]] virtual File createNew(const char* name) = 0;
    [[nodiscard]] virtual std::uint32_t lastError() = 0;
    // GetFileAttributesA: whether anything (a file, a folder) has that name.
    [[nodiscard]] virtual bool exists(const char* name) = 0;
    // GetSystemTimeAsFileTime, in 100 ns units.
    [[nodiscard]] virtual std::uint64_t now() = 0;
    // GetFileAttributesExA: whether `name` is an empty file created at `since` or later.
    [[nodiscard]] virtual bool emptyFileCreatedSince(const char* name, std::uint64_t since) = 0;
    // WriteFile of at most kMaxWrite bytes; false on failure, else `written` holds the count.
    [[nodiscard]] virtual bool write(File file, const std::uint8_t* bytes, std::uint32_t size,
                                     std::uint32_t& written) = 0;
    // CloseHandle; false on failure.
    [[nodiscard]] virtual bool close(File file) = 0;
    // DeleteFileA; its result is not looked at.
    virtual void deleteFile(const char* name) = 0;
    // encodePngBytes, unless a test or benchmark looks on.
    [[nodiscard]] virtual unsigned encodePng(const std::uint8_t* rgb, std::int32_t width,
                                             std::int32_t height, PngBytes& png) {
        return encodePngBytes(rgb, width, height, png);
    }

    static constexpr std::uint32_t kMaxWrite = 1u << 30;
};

}  // namespace frametake
