#pragma once
// Starting a program the way a caller would, and reading what it printed (Windows tests).

#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace testkit::win32 {

struct HandleClose {
    void operator()(HANDLE handle) const noexcept {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
    }
};
using UniqueHandle = std::unique_ptr<void, HandleClose>;

struct ProcessOutcome {
    DWORD exitCode = 0;
    std::string out;  // raw bytes of standard output
    std::string err;  // raw bytes of standard error
};

// The folder of the running test program: the deliverables are built beside it.
[[nodiscard]] std::filesystem::path moduleDirectory();

// Quotes one argument so that the C runtime's parser gives it back unchanged.
[[nodiscard]] std::wstring quoteArgument(const std::wstring& argument);

// The command line that starts `program` with `arguments`, each quoted as needed.
[[nodiscard]] std::wstring commandLineOf(const std::filesystem::path& program,
                                         const std::vector<std::wstring>& arguments);

// Runs `program` with `arguments`, collects both output streams and waits for the exit.
// Fails the current test (and returns exit code 0xFFFFFFFF) if the process cannot be started
// or does not end within `timeoutMs`.
[[nodiscard]] ProcessOutcome runProcess(const std::filesystem::path& program,
                                        const std::vector<std::wstring>& arguments,
                                        DWORD timeoutMs = 60000);

}  // namespace testkit::win32

namespace testkit::win32 {

// Loads an EXE into this process the way a caller of its exports does. Windows binds the
// imports of an EXE loaded as a library; Wine leaves them unbound, so they are bound here when
// needed. Wine does not relocate such an EXE either: the calling program must leave the EXE's
// preferred base free (link it at another base). The EXE's own entry point never runs, as on
// Windows. Returns null on failure (the current test has been failed).
[[nodiscard]] HMODULE loadExecutableAsLibrary(const std::filesystem::path& path);

}  // namespace testkit::win32

namespace testkit::win32 {

// Starts `program` with `arguments` and returns its process handle without waiting; its output
// goes nowhere. Null (and the current test failed) when it cannot be started.
[[nodiscard]] UniqueHandle startProcess(const std::filesystem::path& program,
                                        const std::vector<std::wstring>& arguments);

}  // namespace testkit::win32
