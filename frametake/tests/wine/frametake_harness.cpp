#include "frametake_harness.h"

#include <gtest/gtest.h>
#include <hostkit/win32/messages.h>
#include <lodepng.h>
#include <testkit/win32/process.h>

#include <cstdlib>

namespace frametake::wine {
namespace {

template <typename Function>
Function entry(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

LRESULT CALLBACK patternProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    const auto* size =
        reinterpret_cast<const PatternWindow::Size*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(window, &paint);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size->width) *
                                      static_cast<std::size_t>(size->height));
    for (std::int32_t y = 0; y < size->height; ++y) {
        for (std::int32_t x = 0; x < size->width; ++x) {
            pixels[static_cast<std::size_t>(y * size->width + x)] =
                patternPixel(x, y, size->width, size->height);
        }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size->width;
    info.bmiHeader.biHeight = -size->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(size->width), static_cast<DWORD>(size->height),
                        0, 0, 0, static_cast<UINT>(size->height), pixels.data(), &info,
                        DIB_RGB_COLORS);
    ::EndPaint(window, &paint);
    return 0;
}

}  // namespace

const Exports& exports() {
    static const Exports loaded = [] {
        Exports e;
        const HMODULE module =
            ::LoadLibraryW((testkit::win32::moduleDirectory() / L"frametake.dll").c_str());
        if (module != nullptr) {
            e.getScreenCount = entry<decltype(e.getScreenCount)>(module, "getScreenCount");
            e.getScreenCountEx = entry<decltype(e.getScreenCountEx)>(module, "getScreenCountEx");
            e.getScreen = entry<decltype(e.getScreen)>(module, "getScreen");
            e.captureScreen = entry<decltype(e.captureScreen)>(module, "captureScreen");
        }
        return e;
    }();
    if (loaded.getScreenCount == nullptr || loaded.getScreenCountEx == nullptr ||
        loaded.getScreen == nullptr || loaded.captureScreen == nullptr) {
        ADD_FAILURE() << "frametake.dll or one of its exports is missing";
        std::abort();
    }
    return loaded;
}

std::uint32_t patternPixel(std::int32_t x, std::int32_t y, std::int32_t width,
                           std::int32_t height) {
    if (y < height / 2) {
        return x < width / 3 ? 0xFF0000u : x < 2 * width / 3 ? 0x00FF00u : 0x0000FFu;
    }
    if (x < width / 2) {
        const auto red = static_cast<std::uint32_t>(x * 255 / (width / 2));
        const auto green =
            static_cast<std::uint32_t>((y - height / 2) * 255 / (height - height / 2));
        return (red << 16) | (green << 8) | 0x40u;
    }
    return ((x / 3 + y / 3) % 2 == 0)
               ? 0xF0E0D0u
               : static_cast<std::uint32_t>(((x * 7) & 0xFF) | ((y * 5) & 0xFF) << 8);
}

PatternWindow::PatternWindow(std::int32_t left, std::int32_t top, std::int32_t width,
                             std::int32_t height)
    : size_{width, height} {
    static const ATOM registered = [] {
        WNDCLASSW type{};
        type.lpfnWndProc = &patternProc;
        type.hInstance = ::GetModuleHandleW(nullptr);
        type.lpszClassName = L"FrametakePattern";
        return ::RegisterClassW(&type);
    }();
    (void)registered;
    window_ = ::CreateWindowExW(WS_EX_TOPMOST, L"FrametakePattern", L"frametake pattern", WS_POPUP,
                                left, top, width, height, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&size_));
    ::ShowWindow(window_, SW_SHOWNOACTIVATE);
    ::UpdateWindow(window_);
    hostkit::win32::pumpMessages(300);
}

PatternWindow::~PatternWindow() {
    ::DestroyWindow(window_);
    hostkit::win32::pumpMessages(50);
}

Image readPng(const std::string& path) {
    Image image;
    unsigned char* decoded = nullptr;
    if (lodepng_decode24_file(&decoded, &image.width, &image.height, path.c_str()) != 0) {
        return {};
    }
    image.rgb.assign(decoded, decoded + std::size_t{3} * image.width * image.height);
    std::free(decoded);
    return image;
}

}  // namespace frametake::wine
