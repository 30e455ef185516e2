// CapturePlatform over GDI and the kernel's temporary-file calls.

#include <windows.h>

#include <cstring>

#include "../core/platforms.h"

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

HDC dc(void* handle) {
    return static_cast<HDC>(handle);
}

class GdiCapturePlatform final : public CapturePlatform {
public:
    Context screenContext() override { return ::GetDC(nullptr); }
    void releaseScreenContext(Context screen) override { ::ReleaseDC(nullptr, dc(screen)); }
    Context createMemoryContext(Context screen) override {
        return ::CreateCompatibleDC(dc(screen));
    }
    void deleteContext(Context memory) override { ::DeleteDC(dc(memory)); }
    Bitmap createBitmap(Context screen, std::int32_t width, std::int32_t height) override {
        return ::CreateCompatibleBitmap(dc(screen), width, height);
    }
    void deleteBitmap(Bitmap bitmap) override { ::DeleteObject(static_cast<HGDIOBJ>(bitmap)); }
    Object select(Context memory, Object object) override {
        return ::SelectObject(dc(memory), static_cast<HGDIOBJ>(object));
    }
    bool copyFromScreen(Context memory, std::int32_t width, std::int32_t height, Context screen,
                        std::int32_t sourceX, std::int32_t sourceY) override {
        return ::BitBlt(dc(memory), 0, 0, width, height, dc(screen), sourceX, sourceY, SRCCOPY) !=
               FALSE;
    }
    std::int32_t readPixels(Context memory, Bitmap bitmap, std::int32_t width, std::int32_t height,
                            std::uint8_t* dib) override {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        return ::GetDIBits(dc(memory), static_cast<HBITMAP>(bitmap), 0, static_cast<UINT>(height),
                           dib, &info, DIB_RGB_COLORS);
    }

    std::uint32_t temporaryDirectory(char* buffer, std::uint32_t size) override {
        return tempPathFunction()(size, buffer);
    }
    // The system picks the unique number and creates "scr<hex>.tmp", empty; that file goes
    // again and the name takes the extension png in its place, keeping its length.
    bool reserveCaptureFile(const char* directory, const char* prefix, char* name) override {
        if (::GetTempFileNameA(directory, prefix, 0, name) == 0) {
            return false;
        }
        ::DeleteFileA(name);
        const std::size_t length = strnlen(name, kMaxPath - 1);
        if (length < 3) {
            return false;
        }
        std::memcpy(name + length - 3, "png", 3);
        return true;
    }
    // The reservation holds nothing: a writer that failed to open the file left none, and a
    // file that exists under the name is not ours to delete.
    void discardCaptureFile(const char*) override {}
};

}  // namespace

CapturePlatform& systemCapturePlatform() {
    static GdiCapturePlatform platform;
    return platform;
}

}  // namespace frametake
