// The capture over GDI itself and the kernel's own temporary-file calls (gdi_capture.h).

#include <windows.h>

#include <cstring>

#include "../core/platforms.h"
#include "gdi_capture.h"
#include "system_capture_calls.h"

namespace frametake {
namespace {

using TempPathFunction = DWORD(WINAPI*)(DWORD, LPSTR);

// GetTempPath2A exists from Windows 10 build 20348 on, and not on Wine 8: a static import would
// stop the DLL from loading there. It is looked up once; GetTempPathA stands in without it.
TempPathFunction tempPathFunction() {
    static const TempPathFunction function = [] {
        const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
        const auto newer = reinterpret_cast<TempPathFunction>(
            reinterpret_cast<void*>(::GetProcAddress(kernel, "GetTempPath2A")));
        return newer != nullptr ? newer : &::GetTempPathA;
    }();
    return function;
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
        return tempPathFunction()(size, buffer);
    }
    // The system picks a unique number and creates "scr<hex>.tmp" for it; that file holds the
    // number (the system hands out no number whose .tmp exists) until the .png exists. The
    // .png is created new, never opened when it exists: a name that earlier captures took moves
    // on to the next number, as far as all 65,535 of them.
    File createCaptureFile(const char* directory, const char* prefix, char* name) override {
        char held[kMaxPath] = {};
        const UINT first = ::GetTempFileNameA(directory, prefix, 0, held);
        if (first == 0) {
            return nullptr;
        }
        HANDLE file = INVALID_HANDLE_VALUE;
        UINT number = first;
        for (UINT tried = 0; tried < kUniqueNumbers && file == INVALID_HANDLE_VALUE; ++tried) {
            if (!pngNameFor(directory, prefix, number, name)) {
                break;
            }
            file = ::CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
            if (file == INVALID_HANDLE_VALUE && !nameTaken(::GetLastError())) {
                break;
            }
            number = number % kUniqueNumbers + 1;  // 1 to 0xFFFF; 0 asks for a new number
        }
        ::DeleteFileA(held);
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
    static bool nameTaken(DWORD error) {
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
               error == ERROR_ACCESS_DENIED;  // a folder or a file being deleted by that name
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
