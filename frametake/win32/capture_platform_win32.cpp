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

std::uint64_t fromFileTime(const FILETIME& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

class SystemCaptureFileCalls final : public CaptureFileCalls {
public:
    std::uint32_t temporaryPath(char* buffer, std::uint32_t size) override {
        return temporaryPathA(size, buffer);
    }
    bool exactInCodePage(const char* path) override {
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
    std::uint32_t tempFileName(const char* directory, const char* prefix, std::uint32_t unique,
                               char* name) override {
        return ::GetTempFileNameA(directory, prefix, unique, name);
    }
    File createNew(const char* name) override {
        const HANDLE file = ::CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        return file != INVALID_HANDLE_VALUE ? reinterpret_cast<File>(file) : nullptr;
    }
    std::uint32_t lastError() override { return ::GetLastError(); }
    bool exists(const char* name) override {
        return ::GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES;
    }
    std::uint64_t now() override {
        FILETIME time{};
        ::GetSystemTimeAsFileTime(&time);
        return fromFileTime(time);
    }
    bool emptyFileCreatedSince(const char* name, std::uint64_t since) override {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        return ::GetFileAttributesExA(name, GetFileExInfoStandard, &data) != FALSE &&
               data.nFileSizeHigh == 0 && data.nFileSizeLow == 0 &&
               fromFileTime(data.ftCreationTime) >= since;
    }
    bool write(File file, const std::uint8_t* bytes, std::uint32_t size,
               std::uint32_t& written) override {
        DWORD done = 0;
        const bool ok =
            ::WriteFile(reinterpret_cast<HANDLE>(file), bytes, size, &done, nullptr) != FALSE;
        written = done;
        return ok;
    }
    bool close(File file) override {
        return ::CloseHandle(reinterpret_cast<HANDLE>(file)) != FALSE;
    }
    void deleteFile(const char* name) override { ::DeleteFileA(name); }
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
