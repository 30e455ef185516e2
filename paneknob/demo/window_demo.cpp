// Demo: opens a window and drives it through paneknob.dll's exports, printing each result code
// and what the window looks like afterwards.

#include <hostkit/win32/messages.h>
#include <paneknob.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace {

using Export = decltype(&::minimize);  // every export has this type

}  // namespace

int main() {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const HMODULE library =
        ::LoadLibraryW((std::filesystem::path(self).parent_path() / L"paneknob.dll").c_str());
    if (library == nullptr) {
        std::printf("cannot load paneknob.dll (error %lu)\n", ::GetLastError());
        return 1;
    }
    auto get = [library](const char* name) {
        return reinterpret_cast<Export>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
    };

    WNDCLASSW type{};
    type.lpfnWndProc = &::DefWindowProcW;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.lpszClassName = L"PaneknobDemo";
    ::RegisterClassW(&type);
    const HWND window =
        ::CreateWindowExW(0, type.lpszClassName, L"Paneknob Demo", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                          100, 100, 400, 300, nullptr, nullptr, type.hInstance, nullptr);
    hostkit::win32::pumpMessages(300);

    auto report = [window](const char* call, std::int32_t code) {
        hostkit::win32::pumpMessages(200);
        std::printf("%-34s -> %2d   iconic=%d foreground=%d boxes=%s\n", call, code,
                    ::IsIconic(window) ? 1 : 0, ::GetForegroundWindow() == window ? 1 : 0,
                    (::GetWindowLongPtrW(window, GWL_STYLE) & 0x30000) != 0 ? "yes" : "no");
    };
    report("minimize(\"Paneknob Demo\")", get("minimize")("Paneknob Demo"));
    report("restore(\"Paneknob Demo\")", get("restore")("Paneknob Demo"));
    report("minimize(\"PANEKNOB DEMO\")", get("minimize")("PANEKNOB DEMO"));
    report("restoreAndActivate(\"Paneknob Demo\")", get("restoreAndActivate")("Paneknob Demo"));
    report("setWindowFlags(\"Paneknob Demo\")", get("setWindowFlags")("Paneknob Demo"));
    report("minimize(\"No Such Window\")", get("minimize")("No Such Window"));
    ::DestroyWindow(window);
    return 0;
}
