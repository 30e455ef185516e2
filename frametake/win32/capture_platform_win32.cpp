// The capture over GDI itself and the kernel's own temporary-file calls (gdi_capture.h).

#include <windows.h>

#include <cstring>

#include "../core/platforms.h"
#include "gdi_capture.h"
#include "system_capture_calls.h"

namespace frametake {
namespace {

template <typename Function>
Function kernelFunction(const char* name, Function fallback) {
    const auto found = reinterpret_cast<Function>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), name)));
    return found != nullptr ? found : fallback;
}

// GetTempPath2A and GetTempPath2W exist from Windows 10 build 20348 on, and not on Wine 8: a
// static import would stop the DLL from loading there. Each is looked up once; GetTempPathA
// and GetTempPathW stand in without them.
DWORD temporaryPathA(DWORD size, LPSTR buffer) {
    using Function = DWORD(WINAPI*)(DWORD, LPSTR);
    static const Function function = kernelFunction<Function>("GetTempPath2A", &::GetTempPathA);
    return function(size, buffer);
}
DWORD temporaryPathW(DWORD size, LPWSTR buffer) {
    using Function = DWORD(WINAPI*)(DWORD, LPWSTR);
    static const Function function = kernelFunction<Function>("GetTempPath2W", &::GetTempPathW);
    return function(size, buffer);
}

// Whether the ANSI `path` is the active code page's exact form of the system's UTF-16 one: no
// character replaced by a default or a best-fit look-alike.
bool exactInCodePage(const char* path) {
    wchar_t wide[MAX_PATH + 1] = {};
    const DWORD units = temporaryPathW(MAX_PATH + 1, wide);
    if (units == 0 || units > MAX_PATH) {
        return false;
    }
    char narrow[MAX_PATH] = {};
    BOOL defaulted = FALSE;
    const int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, narrow,
                                            MAX_PATH, nullptr, &defaulted);
    return bytes > 0 && defaulted == FALSE && std::strcmp(narrow, path) == 0;
}

// Whether `name` was created at or after `since`: a temporary file this call made, not one
// that was there before (Wine's GetTempFileNameA answers with an existing name, creating
// nothing, when every name is taken).
bool createdSince(const char* name, const FILETIME& since) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return ::GetFileAttributesExA(name, GetFileExInfoStandard, &data) != FALSE &&
           data.nFileSizeHigh == 0 && data.nFileSizeLow == 0 &&
           ::CompareFileTime(&data.ftCreationTime, &since) >= 0;
}

// GDI itself behind the grab's table.
class SystemGdi final : public gdi::Gdi {
public:
    gdi::Dc getScreenDc() override { return handleOf<gdi::Dc>(::GetDC(nullptr)); }
    void releaseScreenDc(gdi::Dc screen) override { ::ReleaseDC(nullptr, dc(screen)); }
    gdi::Dc createCompatibleDc(gdi::Dc screen) override {
        return handleOf<gdi::Dc>(::CreateCompatibleDC(dc(screen)));
    }
    void deleteDc(gdi::Dc memory) override { ::DeleteDC(dc(memory)); }
    gdi::Bitmap createCompatibleBitmap(gdi::Dc screen, std::int32_t width,
                                       std::int32_t height) override {
        return handleOf<gdi::Bitmap>(::CreateCompatibleBitmap(dc(screen), width, height));
    }
    void deleteBitmap(gdi::Bitmap bitmap) override { ::DeleteObject(bitmapOf(bitmap)); }
    gdi::Object selectObject(gdi::Dc memory, gdi::Object object) override {
        return handleOf<gdi::Object>(::SelectObject(dc(memory), reinterpret_cast<HGDIOBJ>(object)));
    }
    gdi::Object asObject(gdi::Bitmap bitmap) override {
        return handleOf<gdi::Object>(static_cast<HGDIOBJ>(bitmapOf(bitmap)));
    }
    bool bitBlt(gdi::Dc memory, std::int32_t width, std::int32_t height, gdi::Dc screen,
                std::int32_t x, std::int32_t y) override {
        return ::BitBlt(dc(memory), 0, 0, width, height, dc(screen), x, y, SRCCOPY) != FALSE;
    }
    std::int32_t getDiBits(gdi::Dc memory, gdi::Bitmap bitmap, std::int32_t width,
                           std::int32_t height, std::uint8_t* dib) override {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        return ::GetDIBits(dc(memory), bitmapOf(bitmap), 0, static_cast<UINT>(height), dib, &info,
                           DIB_RGB_COLORS);
    }

private:
    template <typename Handle, typename System>
    static Handle handleOf(System* object) {
        return reinterpret_cast<Handle>(object);
    }
    static HDC dc(gdi::Dc handle) { return reinterpret_cast<HDC>(handle); }
    static HBITMAP bitmapOf(gdi::Bitmap handle) { return reinterpret_cast<HBITMAP>(handle); }
};

class SystemCaptureFileCalls final : public CaptureFileCalls {
public:
    std::uint32_t temporaryDirectory(char* buffer, std::uint32_t size) override {
        const DWORD length = temporaryPathA(size, buffer);
        return length > 0 && length < size && !exactInCodePage(buffer) ? 0 : length;
    }
    // The system picks a unique number and creates "scr<hex>.tmp" for it; that file holds the
    // number (the system hands out no number whose .tmp exists) until the .png exists. The
    // .png is created new, never opened when it exists: a name that earlier captures took moves
    // on to the next number, as far as all 65,535 of them. The .tmp is removed only when this
    // call made it.
    File createCaptureFile(const char* directory, const char* prefix, char* name) override {
        char held[kMaxPath] = {};
        FILETIME before{};
        ::GetSystemTimeAsFileTime(&before);
        before = earlier(before, kTimestampSlack);
        const UINT first = ::GetTempFileNameA(directory, prefix, 0, held);
        if (first == 0) {
            return nullptr;
        }
        const bool madeHere = createdSince(held, before);
        HANDLE file = INVALID_HANDLE_VALUE;
        UINT number = first;
        for (UINT tried = 0; tried < kUniqueNumbers && file == INVALID_HANDLE_VALUE; ++tried) {
            if (!pngNameFor(directory, prefix, number, name)) {
                break;
            }
            file = ::CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
            if (file == INVALID_HANDLE_VALUE && !nameTaken(name, ::GetLastError())) {
                break;
            }
            number = number % kUniqueNumbers + 1;  // 1 to 0xFFFF; 0 asks for a new number
        }
        if (madeHere) {
            ::DeleteFileA(held);
        }
        return file != INVALID_HANDLE_VALUE ? reinterpret_cast<File>(file) : nullptr;
    }
    bool writeAndCloseCaptureFile(File file, const std::uint8_t* bytes, std::size_t size) override {
        const HANDLE handle = reinterpret_cast<HANDLE>(file);
        bool written = true;
        while (written && size > 0) {
            const DWORD chunk = size > kMaxWrite ? kMaxWrite : static_cast<DWORD>(size);
            DWORD done = 0;
            written = ::WriteFile(handle, bytes, chunk, &done, nullptr) != FALSE && done == chunk;
            bytes += done;
            size -= done;
        }
        const bool closed = ::CloseHandle(handle) != FALSE;
        return written && closed;
    }
    void removeCaptureFile(const char* name) override { ::DeleteFileA(name); }

private:
    static constexpr UINT kUniqueNumbers = 0xFFFF;
    // File systems store creation times coarser than the clock (FAT: 10 ms; others round).
    static constexpr ULONGLONG kTimestampSlack = 2 * 10'000'000ULL;  // 2 s in 100 ns units

    static FILETIME earlier(FILETIME time, ULONGLONG by) {
        ULARGE_INTEGER value{};
        value.LowPart = time.dwLowDateTime;
        value.HighPart = time.dwHighDateTime;
        value.QuadPart -= by;
        return {value.LowPart, value.HighPart};
    }
    static constexpr DWORD kMaxWrite = 1u << 30;

    // The system's name for `number` (no file is made for a given number), with the extension
    // png in place of tmp; the name keeps its length.
    static bool pngNameFor(const char* directory, const char* prefix, UINT number, char* name) {
        if (::GetTempFileNameA(directory, prefix, number, name) == 0) {
            return false;
        }
        const std::size_t length = strnlen(name, kMaxPath - 1);
        if (length < 3) {
            return false;
        }
        std::memcpy(name + length - 3, "png", 3);
        return true;
    }
    // Access is denied for a folder (or a file being deleted) of that name, which takes the
    // name, and for a folder this user may not write in, which no other name helps with.
    static bool nameTaken(const char* name, DWORD error) {
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
               (error == ERROR_ACCESS_DENIED &&
                ::GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES);
    }
};

}  // namespace

gdi::Gdi& systemGdi() {
    static SystemGdi gdi;
    return gdi;
}

CaptureFileCalls& systemCaptureFileCalls() {
    static SystemCaptureFileCalls calls;
    return calls;
}

CapturePlatform& systemCapturePlatform() {
    static GdiCapture capture(systemGdi(), systemCaptureFileCalls());
    return capture;
}

}  // namespace frametake
