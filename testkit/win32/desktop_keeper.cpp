// Keeps the Wine bench's desktop open for the whole test run. Wine closes the desktop (and its
// explorer.exe) once no program has used it for a moment, and the next program that needs it
// starts a new one: that start makes the program's first display call slow, and the new
// explorer.exe inherits the standard handles of the program that started it, so a test that
// reads a child's output to its end waits forever. wine-bench starts this once; ending the
// wineserver ends it.
#include <windows.h>

int main() {
    (void)::GetDesktopWindow();
    ::Sleep(INFINITE);
}
