/*
 * frametake: the monitors of the desktop, and captures of a rectangle of it to PNG files.
 *
 * frametake.dll (Windows x86-64 and ARM64) and libframetake.so (Linux x86-64: X11, and on a
 * Wayland session the compositor's outputs, captured through wlr-screencopy) export the same
 * four C functions, declared here for C and C++ callers. The library is loaded as it is (JNA,
 * LoadLibrary, dlopen); nothing needs initializing or shutting down. On Linux,
 * HALVEX_DESKTOP_BACKEND=wayland or =x11 chooses the session; unset, a Wayland compositor that can
 * be reached means Wayland.
 *
 * Monitors are listed by a count request, which fills a process-wide table, and then read one
 * record at a time:
 *
 *     int32_t count = getScreenCount();
 *     for (int32_t i = 0; i < count; ++i) { ScreenInfo info; getScreen(i, &info); ... }
 *
 * Threads: any thread may call, but count requests and captures are made one at a time: the
 * table and the last capture path are shared by the whole process without a lock, and a count
 * request replaces what every reader sees. A caller that overlaps them may read another call's
 * table or path, but the library's own memory stays sound. Nothing here throws, aborts or
 * prints.
 *
 * On Linux every wait on the X server is bounded: a count request's by its 500 ms, a
 * capture's by 10 seconds; a server that stalls fails the call (0 or "") and holds at most two
 * of the library's threads while it does.
 */
#ifndef FRAMETAKE_H
#define FRAMETAKE_H

#include <stdint.h>

#if defined(FRAMETAKE_BUILDING_LIBRARY) && defined(_WIN32)
#define FRAMETAKE_API __declspec(dllexport)
#elif defined(FRAMETAKE_BUILDING_LIBRARY)
#define FRAMETAKE_API __attribute__((visibility("default")))
#else
#define FRAMETAKE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*
 * One monitor: 48 bytes, 8-byte aligned, allocated by the caller. The library writes every
 * field but `reserved`, which it never touches.
 */
typedef struct ScreenInfo {
    int32_t monitorHandle; /* the monitor's handle, low 32 bits */
    int32_t width;         /* right - left, in the count request's units */
    int32_t height;        /* bottom - top */
    int32_t reserved;      /* alignment gap, never written */
    double boundsX;        /* left, in virtual-desktop coordinates (primary's corner is 0, 0) */
    double boundsY;        /* top */
    double boundsWidth;    /* right - left */
    double boundsHeight;   /* bottom - top */
} ScreenInfo;

/*
 * Lists the monitors with rectangles in physical pixels (per-monitor DPI aware) and returns how
 * many there are. The listing is waited for at most 500 ms; when it cannot finish in time (or
 * cannot start), the answer is 0 and the table is empty. On Windows it runs on a worker thread
 * of its own (which sets its own DPI awareness; a late one keeps the DLL loaded until it ends);
 * on Linux on the calling thread, over an X connection of its own that is shut at the limit.
 * A failure within the limit keeps the earlier table (Linux: an X server that refuses at once).
 */
FRAMETAKE_API int32_t getScreenCount(void);

/*
 * As getScreenCount; a non-zero `unaware` (only its low byte counts) measures in 96-DPI logical
 * units instead, as a program that does not know about DPI sees the desktop.
 */
FRAMETAKE_API int32_t getScreenCountEx(uint8_t unaware);

/*
 * Copies the record at `index` of the last count request into `*out`. An index outside the
 * table, or a null `out`, writes nothing.
 */
FRAMETAKE_API void getScreen(int32_t index, ScreenInfo* out);

/*
 * Captures the rectangle (x, y, width, height), relative to the corner of `screen` (a record
 * from getScreen) and in its units, into a new PNG file in the temporary folder, named "scr",
 * a unique part and ".png" (Windows: %TEMP%\scrXXXX.png; Linux: $TMPDIR or /tmp, mode 0600).
 * Parts outside every monitor are black.
 *
 * Returns the file's path in the system's 8-bit character set, or "" on failure (null
 * `screen`, a width or height below 1, a rectangle or a picture too large, no file or no
 * memory): a failed capture leaves no file behind, not even when the path's copy cannot be
 * allocated after the file was written. The returned text belongs to the library and
 * stays valid until the next call of captureScreen; the file belongs to the caller, who deletes
 * it. Existing files are never overwritten.
 */
FRAMETAKE_API const char* captureScreen(const ScreenInfo* screen, int32_t x, int32_t y,
                                        int32_t width, int32_t height);

#ifdef __cplusplus
}  // extern "C"
#endif

#endif /* FRAMETAKE_H */
