// The file stage of a Windows capture over the kernel's calls (capture_file_calls.h).

#include <cstring>

#include "gdi_capture.h"

namespace frametake {
namespace {

using File = CaptureFileCalls::File;

constexpr std::uint32_t kUniqueNumbers = 0xFFFF;
// File systems store creation times coarser than the clock (FAT: 10 ms; others round).
constexpr std::uint64_t kTimestampSlack = 2 * 10'000'000ULL;  // 2 s in 100 ns units

// The system's name for `number` (no file is made for a given number), with the extension
// png in place of tmp; the name keeps its length.
bool pngNameFor(CaptureFileCalls& calls, const char* directory, std::uint32_t number, char* name) {
    if (calls.tempFileName(directory, kTempFilePrefix, number, name) == 0) {
        return false;
    }
    const std::size_t length = strnlen(name, kMaxPath - 1);
    if (length < 3) {
        return false;
    }
    std::memcpy(name + length - 3, "png", 3);
    return true;
}

// Access is denied for a folder (or a file being deleted) of that name, which takes the name,
// and for a folder this user may not write in, which no other name helps with.
bool nameTaken(CaptureFileCalls& calls, const char* name, std::uint32_t error) {
    return error == kErrorFileExists || error == kErrorAlreadyExists ||
           (error == kErrorAccessDenied && calls.exists(name));
}

// The system picks a unique number and creates "scr<hex>.tmp" for it; that file holds the
// number (the system hands out no number whose .tmp exists) until the .png exists. The .png is
// created new, never opened when it exists: a name that earlier captures took moves on to the
// next number, as far as all 65,535 of them. The .tmp is removed only when this call made it
// (Wine's GetTempFileNameA answers with an existing name, creating nothing, when every name is
// taken).
File createCaptureFile(CaptureFileCalls& calls, const char* directory, char* name) {
    char held[kMaxPath] = {};
    const std::uint64_t before = calls.now() - kTimestampSlack;
    const std::uint32_t first = calls.tempFileName(directory, kTempFilePrefix, 0, held);
    if (first == 0) {
        return nullptr;
    }
    const bool madeHere = calls.emptyFileCreatedSince(held, before);
    File file = nullptr;
    std::uint32_t number = first;
    for (std::uint32_t tried = 0; tried < kUniqueNumbers && file == nullptr; ++tried) {
        if (!pngNameFor(calls, directory, number, name)) {
            break;
        }
        file = calls.createNew(name);
        if (file == nullptr && !nameTaken(calls, name, calls.lastError())) {
            break;
        }
        number = number % kUniqueNumbers + 1;  // 1 to 0xFFFF; 0 asks for a new number
    }
    if (madeHere) {
        calls.deleteFile(held);
    }
    return file;
}

// Writes all `size` bytes and closes the file (in either case); true only when every write and
// the close succeeded.
bool writeAndClose(CaptureFileCalls& calls, File file, const std::uint8_t* bytes,
                   std::size_t size) {
    bool written = true;
    while (written && size > 0) {
        const auto chunk = static_cast<std::uint32_t>(
            size > CaptureFileCalls::kMaxWrite ? CaptureFileCalls::kMaxWrite : size);
        std::uint32_t done = 0;
        written = calls.write(file, bytes, chunk, done) && done == chunk;
        bytes += done;
        size -= done;
    }
    const bool closed = calls.close(file);
    return written && closed;
}

}  // namespace

bool saveCaptureFile(CaptureFileCalls& calls, const std::uint8_t* rgb, std::int32_t width,
                     std::int32_t height, char* name) {
    char directory[kMaxPath] = {};
    const std::uint32_t length = calls.temporaryPath(directory, kMaxPath);
    if (length < 1 || length > kMaxTempFileDirectory || !calls.exactInCodePage(directory)) {
        return false;
    }
    PngBytes png;
    if (calls.encodePng(rgb, width, height, png) != 0) {
        return false;
    }
    const File file = createCaptureFile(calls, directory, name);
    if (file == nullptr) {
        return false;
    }
    if (!writeAndClose(calls, file, png.data.get(), png.size)) {
        calls.deleteFile(name);
        return false;
    }
    return true;
}

}  // namespace frametake
