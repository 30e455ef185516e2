#include "testkit/win32/process.h"

#include <gtest/gtest.h>

#include <thread>

namespace testkit::win32 {
namespace {

struct Pipe {
    UniqueHandle read;
    UniqueHandle write;
};

Pipe inheritablePipe() {
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!::CreatePipe(&read, &write, &attributes, 0)) {
        ADD_FAILURE() << "CreatePipe failed: " << ::GetLastError();
        return {};
    }
    // Only the child's end is inherited.
    ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    return {UniqueHandle(read), UniqueHandle(write)};
}

void drain(HANDLE pipe, std::string& into) {
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(pipe, chunk, sizeof(chunk), &got, nullptr) && got > 0) {
        into.append(chunk, got);
    }
}

}  // namespace

std::filesystem::path moduleDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return std::filesystem::path(path).parent_path();
        }
        path.resize(path.size() * 2);
    }
}

std::wstring quoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote itself escaped.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, L'\\');
    quoted.push_back(L'"');
    return quoted;
}

std::wstring commandLineOf(const std::filesystem::path& program,
                           const std::vector<std::wstring>& arguments) {
    std::wstring commandLine = quoteArgument(program.wstring());
    for (const auto& argument : arguments) {
        commandLine += L' ';
        commandLine += quoteArgument(argument);
    }
    return commandLine;
}

ProcessOutcome runProcess(const std::filesystem::path& program,
                          const std::vector<std::wstring>& arguments, DWORD timeoutMs) {
    ProcessOutcome outcome{0xFFFFFFFF, {}, {}};
    std::wstring commandLine = commandLineOf(program, arguments);

    Pipe out = inheritablePipe();
    Pipe err = inheritablePipe();
    if (!out.write || !err.write) {
        return outcome;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = out.write.get();
    startup.hStdError = err.write.get();
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                          CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info)) {
        ADD_FAILURE() << "CreateProcessW failed for " << program << ": " << ::GetLastError();
        return outcome;
    }
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);
    // Our copies of the write ends go, so the reads end when the child's do.
    out.write.reset();
    err.write.reset();

    std::thread errReader([&] { drain(err.read.get(), outcome.err); });
    drain(out.read.get(), outcome.out);
    errReader.join();

    if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
        ADD_FAILURE() << program << " did not end within " << timeoutMs << " ms";
        ::TerminateProcess(process.get(), 1);
        return outcome;
    }
    ::GetExitCodeProcess(process.get(), &outcome.exitCode);
    return outcome;
}

}  // namespace testkit::win32

namespace testkit::win32 {
namespace {

template <typename T>
T* at(HMODULE module, DWORD rva) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

const IMAGE_DATA_DIRECTORY& importDirectory(HMODULE module) {
    const auto* dos = at<IMAGE_DOS_HEADER>(module, 0);
    const auto* nt = at<IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
    return nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
}

bool bindImports(HMODULE module) {
    const IMAGE_DATA_DIRECTORY& directory = importDirectory(module);
    if (directory.Size == 0) {
        return true;
    }
    for (auto* entry = at<IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress);
         entry->Name != 0; ++entry) {
        const HMODULE dll = ::LoadLibraryA(at<const char>(module, entry->Name));
        if (dll == nullptr) {
            ADD_FAILURE() << "cannot load " << at<const char>(module, entry->Name);
            return false;
        }
        auto* names = at<IMAGE_THUNK_DATA>(module, entry->OriginalFirstThunk);
        auto* slots = at<IMAGE_THUNK_DATA>(module, entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            const char* name =
                IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)
                    ? reinterpret_cast<const char*>(IMAGE_ORDINAL(names->u1.Ordinal))
                    : at<IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names->u1.AddressOfData))
                          ->Name;
            const FARPROC address = ::GetProcAddress(dll, name);
            if (address == nullptr) {
                ADD_FAILURE() << "unresolved import of " << at<const char>(module, entry->Name);
                return false;
            }
            DWORD protection = 0;
            ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE,
                             &protection);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(address);
            ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection,
                             &protection);
        }
    }
    return true;
}

bool importsBound(HMODULE module) {
    const IMAGE_DATA_DIRECTORY& directory = importDirectory(module);
    if (directory.Size == 0) {
        return true;
    }
    const auto* entry = at<IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress);
    // An unbound slot still holds the same value as its name entry.
    return at<IMAGE_THUNK_DATA>(module, entry->FirstThunk)->u1.Function !=
           at<IMAGE_THUNK_DATA>(module, entry->OriginalFirstThunk)->u1.Function;
}

}  // namespace

HMODULE loadExecutableAsLibrary(const std::filesystem::path& path) {
    const HMODULE module = ::LoadLibraryW(path.c_str());
    if (module == nullptr) {
        ADD_FAILURE() << "LoadLibraryW " << path << " failed: " << ::GetLastError();
        return nullptr;
    }
    if (!importsBound(module) && !bindImports(module)) {
        return nullptr;
    }
    return module;
}

}  // namespace testkit::win32

namespace testkit::win32 {

UniqueHandle startProcess(const std::filesystem::path& program,
                          const std::vector<std::wstring>& arguments) {
    std::wstring commandLine = commandLineOf(program, arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info)) {
        ADD_FAILURE() << "CreateProcessW failed for " << program << ": " << ::GetLastError();
        return UniqueHandle();
    }
    ::CloseHandle(info.hThread);
    return UniqueHandle(info.hProcess);
}

}  // namespace testkit::win32
