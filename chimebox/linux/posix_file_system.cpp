// FileSystem over POSIX calls, with errno mapped onto the Win32 codes the messages carry: a
// missing file 2, a missing directory 3, denied access 5, anything but a regular file where a
// file was named 5 (as Windows answers for a directory; a FIFO or a device would block or
// never end), anything else ERROR_GEN_FAILURE (31). The UTF-16 path becomes UTF-8.

#include <fcntl.h>
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
constexpr std::uint32_t kOutOfMemory = 14;
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

struct OpenFile {
    int descriptor;
};

class PosixFileSystem final : public FileSystem {
public:
    File openForReading(const char16_t* path) override {
        const std::string name = toUtf8(path);
        // Non-blocking, so that a FIFO without a writer cannot hold the open; what is not a
        // regular file is refused below.
        const int descriptor = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (descriptor < 0) {
            error_ = errno == ENOENT                     ? missingEntryCode(name)
                     : errno == ENOTDIR                  ? kPathNotFound
                     : errno == EACCES || errno == EPERM ? kAccessDenied
                                                         : kGenFailure;
            return nullptr;
        }
        struct stat info {};
        if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(descriptor);
            error_ = kAccessDenied;
            return nullptr;
        }
        // Reads of a regular file then block as usual (a network file system may honour the
        // flag).
        ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
        auto* file = new (std::nothrow) OpenFile{descriptor};
        if (file == nullptr) {
            ::close(descriptor);
            error_ = kOutOfMemory;
        }
        return reinterpret_cast<File>(file);
    }
    bool fileSize(File file, std::uint64_t& size) override {
        struct stat info {};
        if (::fstat(reinterpret_cast<OpenFile*>(file)->descriptor, &info) != 0) {
            error_ = kGenFailure;
            return false;
        }
        size = static_cast<std::uint64_t>(info.st_size);
        return true;
    }
    // One read of the whole request: the loop only resumes reads that the kernel cut short.
    bool read(File file, std::uint8_t* into, std::uint32_t size, std::uint32_t& got) override {
        got = 0;
        while (got < size) {
            const ssize_t count =
                ::read(reinterpret_cast<OpenFile*>(file)->descriptor, into + got, size - got);
            if (count < 0 && errno == EINTR) {
                continue;
            }
            if (count < 0) {
                error_ = kGenFailure;
                return false;
            }
            if (count == 0) {
                break;
            }
            got += static_cast<std::uint32_t>(count);
        }
        return true;
    }
    void close(File file) override {
        auto* open = reinterpret_cast<OpenFile*>(file);
        ::close(open->descriptor);
        delete open;
    }
    Win32Error lastError() override { return Win32Error{error_}; }

private:
    // Per thread, as GetLastError is: several plays may read files at once.
    static thread_local std::uint32_t error_;
};

thread_local std::uint32_t PosixFileSystem::error_ = 0;

}  // namespace

FileSystem& systemFileSystem() {
    static PosixFileSystem files;
    return files;
}

}  // namespace chimebox
