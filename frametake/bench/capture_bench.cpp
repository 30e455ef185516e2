// Capture cost benchmark (not a test): a 1920 x 1080 rectangle of a desktop-like picture (text,
// flat areas, a photo-like region), timed as a whole and split into screen copy, conversion, PNG
// encoding and file write; and the conversion loop's throughput against a plain memcpy.

#include <hostkit/win32/messages.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "capture.h"
#include "gdi_capture.h"
#include "pixels.h"
#include "system_capture_calls.h"

namespace {

using Clock = std::chrono::steady_clock;
double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// The Windows capture over the system's GDI and over its file calls timed one by one: the grab
// (GDI objects, the copy, the read-back and the conversion to RGB), the file's creation, the
// encoding (in memory) and writing the file.
class TimedPlatform final : public frametake::CapturePlatform, frametake::CaptureFileCalls {
public:
    double grabMs = 0;
    double fileMs = 0;  // temporary directory, the new file's creation
    double encodeMs = 0;
    double writeMs = 0;

    template <typename Call>
    auto timed(double& into, Call call) {
        const auto start = Clock::now();
        auto result = call();
        into += ms(Clock::now() - start);
        return result;
    }

    std::unique_ptr<frametake::Grab> grab(std::int32_t x, std::int32_t y, std::int32_t w,
                                          std::int32_t h) override {
        return timed(grabMs, [&] { return capture_.grab(x, y, w, h); });
    }
    bool saveCapture(const std::uint8_t* rgb, std::int32_t w, std::int32_t h, char* path) override {
        return capture_.saveCapture(rgb, w, h, path);
    }
    void removeCapture(const char* path) override { capture_.removeCapture(path); }

private:
    std::uint32_t temporaryPath(char* buffer, std::uint32_t size) override {
        return timed(fileMs, [&] { return files_.temporaryPath(buffer, size); });
    }
    bool exactInCodePage(const char* path) override {
        return timed(fileMs, [&] { return files_.exactInCodePage(path); });
    }
    std::uint32_t tempFileName(const char* d, const char* p, std::uint32_t u, char* n) override {
        return timed(fileMs, [&] { return files_.tempFileName(d, p, u, n); });
    }
    File createNew(const char* name) override {
        return timed(fileMs, [&] { return files_.createNew(name); });
    }
    std::uint32_t lastError() override { return files_.lastError(); }
    bool exists(const char* name) override {
        return timed(fileMs, [&] { return files_.exists(name); });
    }
    std::uint64_t now() override { return files_.now(); }
    bool emptyFileCreatedSince(const char* name, std::uint64_t since) override {
        return timed(fileMs, [&] { return files_.emptyFileCreatedSince(name, since); });
    }
    bool write(File file, const std::uint8_t* bytes, std::uint32_t size,
               std::uint32_t& written) override {
        return timed(writeMs, [&] { return files_.write(file, bytes, size, written); });
    }
    bool close(File file) override {
        return timed(writeMs, [&] { return files_.close(file); });
    }
    void deleteFile(const char* name) override {
        timed(fileMs, [&] { return files_.deleteFile(name), 0; });
    }
    unsigned encodePng(const std::uint8_t* rgb, std::int32_t w, std::int32_t h,
                       frametake::PngBytes& png) override {
        return timed(encodeMs, [&] { return files_.encodePng(rgb, w, h, png); });
    }

    frametake::CaptureFileCalls& files_ = frametake::systemCaptureFileCalls();
    frametake::GdiCapture capture_{frametake::systemGdi(), *this};
};

LRESULT CALLBACK desktopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(window, &paint);
    // Flat areas: a desktop background and two window frames.
    const RECT all{0, 0, kWidth, kHeight};
    const HBRUSH background = ::CreateSolidBrush(RGB(0, 90, 140));
    ::FillRect(dc, &all, background);
    ::DeleteObject(background);
    const RECT editor{60, 60, 1000, 1000};
    ::FillRect(dc, &editor, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    // Text: lines of an editor.
    ::SetBkMode(dc, TRANSPARENT);
    for (int line = 0; line < 58; ++line) {
        wchar_t text[128];
        std::swprintf(text, 128,
                      L"%4d    const char* path = captureScreen(&screen, x + %d, y, width, "
                      L"height); // line %d",
                      line + 1, line * 7, line);
        ::TextOutW(dc, 70, 70 + line * 16, text, static_cast<int>(std::wcslen(text)));
    }
    // A photo-like region: smooth gradients with fine noise.
    std::vector<std::uint32_t> photo(800 * 600);
    std::uint32_t seed = 7;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = static_cast<int>(seed >> 28) - 8;
            const int r =
                std::clamp(static_cast<int>(128 + 100 * std::sin(x / 90.0)) + noise, 0, 255);
            const int g =
                std::clamp(static_cast<int>(128 + 100 * std::cos(y / 70.0)) + noise, 0, 255);
            const int b = std::clamp((x + y) / 6 + noise, 0, 255);
            photo[static_cast<std::size_t>(y * 800 + x)] =
                static_cast<std::uint32_t>((r << 16) | (g << 8) | b);
        }
    }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 800, -600, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    ::SetDIBitsToDevice(dc, 1060, 200, 800, 600, 0, 0, 0, 600, photo.data(), &info, DIB_RGB_COLORS);
    ::EndPaint(window, &paint);
    return 0;
}

}  // namespace

int main() {
    WNDCLASSW type{};
    type.lpfnWndProc = &desktopProc;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.lpszClassName = L"FrametakeBenchDesktop";
    ::RegisterClassW(&type);
    const HWND window =
        ::CreateWindowExW(WS_EX_TOPMOST, type.lpszClassName, L"desktop", WS_POPUP | WS_VISIBLE, 0,
                          0, kWidth, kHeight, nullptr, nullptr, type.hInstance, nullptr);
    hostkit::win32::pumpMessages(500);

    frametake::ScreenInfo screen{};
    frametake::ScreenCapture capture;
    constexpr int kRuns = 5;
    std::printf("%-6s %9s %9s %9s %9s %9s %9s %10s\n", "run", "total ms", "grab ms", "file ms",
                "encode ms", "write ms", "other ms", "PNG bytes");
    double sums[6] = {};
    for (int run = 1; run <= kRuns; ++run) {
        TimedPlatform timed;
        const auto start = Clock::now();
        const char* path = capture.capture(timed, &screen, 0, 0, kWidth, kHeight);
        const double total = ms(Clock::now() - start);
        if (*path == '\0') {
            std::fprintf(stderr, "capture failed\n");
            return 1;
        }
        // What no platform call covers: checks, the path's copy, releasing the grab.
        const double other = total - timed.grabMs - timed.fileMs - timed.encodeMs - timed.writeMs;
        const auto bytes = std::filesystem::file_size(path);
        std::printf("%-6d %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f %10llu\n", run, total, timed.grabMs,
                    timed.fileMs, timed.encodeMs, timed.writeMs, other,
                    static_cast<unsigned long long>(bytes));
        const double parts[6] = {total,          timed.grabMs,  timed.fileMs,
                                 timed.encodeMs, timed.writeMs, other};
        for (int i = 0; i < 6; ++i) {
            sums[i] += parts[i];
        }
        std::filesystem::remove(path);
    }
    std::printf("mean   %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f\n", sums[0] / kRuns, sums[1] / kRuns,
                sums[2] / kRuns, sums[3] / kRuns, sums[4] / kRuns, sums[5] / kRuns);
    std::printf("everything but the encoder: %.1f%% of a capture\n",
                100.0 * (sums[0] - sums[3]) / sums[0]);

    // The conversion loop against a plain copy of the same buffer.
    const std::size_t size = *frametake::dibSize(kWidth, kHeight);
    std::vector<std::uint8_t> dib(size, 0x5A);
    std::vector<std::uint8_t> out(size);
    constexpr int kLoops = 50;
    auto start = Clock::now();
    for (int i = 0; i < kLoops; ++i) {
        frametake::convertBgrRowsToRgb(dib.data(),
                                       static_cast<std::size_t>(frametake::dibStride(kWidth)),
                                       out.data(), kWidth, kHeight);
    }
    const double convertMs = ms(Clock::now() - start) / kLoops;
    start = Clock::now();
    for (int i = 0; i < kLoops; ++i) {
        std::memcpy(out.data(), dib.data(), size);
        dib[static_cast<std::size_t>(i)] ^=
            out[static_cast<std::size_t>(i) + 1];  // keep the copies observable
    }
    const double copyMs = ms(Clock::now() - start) / kLoops;
    std::printf("conversion: %.2f ms (%.0f MB/s); memcpy: %.2f ms (%.0f MB/s)\n", convertMs,
                static_cast<double>(size) / convertMs / 1000.0, copyMs,
                static_cast<double>(size) / copyMs / 1000.0);
    ::DestroyWindow(window);
    return 0;
}
