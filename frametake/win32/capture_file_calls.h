#pragma once
// The kernel's temporary-file calls that a capture's file stage makes on Windows, as a table:
// capture_platform_win32.cpp fills it with the system itself, the unit tests with a scripted
// fake.

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

class CaptureFileCalls {
public:
    using File = ownkit::OpaqueHandle<struct CaptureFileTag>;

    virtual ~CaptureFileCalls() = default;

    // GetTempPath2A: the temporary directory (ANSI, ending in a separator) into `buffer` of
    // `size` bytes; its length, or 0 on failure, or the size needed when the buffer is too
    // small. 0 also when the ANSI path is not exactly the directory: a character the active
    // code page lacks, replaced by a look-alike (a fullwidth backslash by a backslash), names
    // another folder.
    [[nodiscard]] virtual std::uint32_t temporaryDirectory(char* buffer, std::uint32_t size) = 0;
    // Creates the capture's file in `directory`, for writing: a path (into `name`, kMaxPath
    // bytes) whose file name starts with the first three characters of `prefix`, goes on with
    // the number GetTempFileNameA gives and ends in ".png". The file is new: an existing file is
    // never opened, and no file this call did not create is removed. Null on failure, with
    // nothing left behind.
    [[nodiscard]] virtual File createCaptureFile(const char* directory, const char* prefix,
                                                 char* name) = 0;
    // Writes all `size` bytes to `file` and closes it (in either case); true only when every
    // write and the close succeeded.
    [[nodiscard]] virtual bool writeAndCloseCaptureFile(File file, const std::uint8_t* bytes,
                                                        std::size_t size) = 0;
    // DeleteFileA.
    virtual void removeCaptureFile(const char* name) = 0;
    // encodePngBytes, unless a test or benchmark looks on.
    [[nodiscard]] virtual unsigned encodePng(const std::uint8_t* rgb, std::int32_t width,
                                             std::int32_t height, PngBytes& png) {
        return encodePngBytes(rgb, width, height, png);
    }
};

}  // namespace frametake
