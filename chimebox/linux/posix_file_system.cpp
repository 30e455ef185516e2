// A sound file read whole over POSIX calls, each failure answered with the code the messages
// carry for it: a missing file 2, a missing directory 3, denied access 5, anything but a regular
// file where a file was named 5 (a FIFO or a device would block or never end), anything else
// ERROR_GEN_FAILURE (31), each as its HRESULT. The UTF-16 path becomes UTF-8.

#include <fcntl.h>
#include <ownkit/owned.h>
#include <sys/stat.h>
#include <textkit/unicode.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <string>

#include "../core/player.h"

namespace chimebox {
namespace {

constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kGenFailure = 31;

// An unpaired surrogate becomes U+FFFD: it names no file that exists.
std::string toUtf8(const char16_t* path) {
    return textkit::utf16ToUtf8(path);
}

// ENOENT names a missing file when its folder exists, else a missing directory.
std::uint32_t missingEntryCode(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return kFileNotFound;
    }
    struct stat folder {};
    const std::string parent = slash == 0 ? "/" : path.substr(0, slash);
    return ::stat(parent.c_str(), &folder) == 0 && S_ISDIR(folder.st_mode) ? kFileNotFound
                                                                           : kPathNotFound;
}

HRESULT failure(std::uint32_t code) {
    return hresultFromWin32(Win32Error{code});
}

using Descriptor = ownkit::Owned<int, &::close, -1>;

// One read of the whole request: the loop only resumes reads that the kernel cut short.
bool readAll(int descriptor, std::uint8_t* into, std::uint32_t size, std::uint32_t& got) {
    got = 0;
    while (got < size) {
        const ssize_t count = ::read(descriptor, into + got, size - got);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return false;
        }
        if (count == 0) {
            break;
        }
        got += static_cast<std::uint32_t>(count);
    }
    return true;
}

class PosixFileSystem final : public FileSystem {
public:
    HRESULT readWholeFile(const char16_t* path, std::uint32_t minimumSize, FileBytes& buffer,
                          std::uint32_t& bytesRead) override {
        const std::string name = toUtf8(path);
        // Non-blocking, so that a FIFO without a writer cannot hold the open; what is not a
        // regular file is refused below.
        const Descriptor file(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        if (!file) {
            return failure(errno == ENOENT                     ? missingEntryCode(name)
                           : errno == ENOTDIR                  ? kPathNotFound
                           : errno == EACCES || errno == EPERM ? kAccessDenied
                                                               : kGenFailure);
        }
        struct stat info {};
        if (::fstat(file.get(), &info) != 0) {
            return failure(kGenFailure);
        }
        if (!S_ISREG(info.st_mode)) {
            return failure(kAccessDenied);
        }
        // Reads of a regular file then block as usual (a network file system may honour the
        // flag).
        ::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);
        return readSizedFile(static_cast<std::uint64_t>(info.st_size), minimumSize, buffer,
                             bytesRead,
                             [&](std::uint8_t* into, std::uint32_t wanted,
                                 std::uint32_t& got) -> std::optional<HRESULT> {
                                 if (!readAll(file.get(), into, wanted, got)) {
                                     return failure(kGenFailure);
                                 }
                                 return std::nullopt;
                             });
    }
};

}  // namespace

FileSystem& systemFileSystem() {
    static PosixFileSystem files;
    return files;
}

}  // namespace chimebox
