/*
 * paneknob: minimize, show, activate, or take the minimize/maximize boxes away from another
 * top-level window, found by its title.
 *
 * paneknob.dll (Windows x86-64 and ARM64) and libpaneknob.so (Linux x86-64: X11 with an EWMH
 * window manager; on a Wayland session the compositor's own means where it has them, wlroots'
 * foreign-toplevel protocol or KWin's scripting, else XWayland) export the same four C
 * functions, declared here for C and C++ callers.
 *
 * Titles: 8-bit text in the process's character set (the active ANSI code page on Windows, the
 * locale's character set on Linux), compared with whole window titles without regard to letter
 * case. Only top-level windows are matched, never child windows; when several match, the one
 * the system lists first is used. A null title, or one that cannot be converted, matches
 * nothing.
 *
 * Answers: 0 done; -1 no top-level window has that title; -2 not done, the window left as it
 * was: restoreAndActivate could not make the window the active one; the window's thread did
 * not handle a message within 1.5 seconds (Windows: a hung window, whose calls would otherwise
 * wait for it forever); the window manager did not confirm the state asked for, or none runs
 * to minimize, or the compositor ignored the request or has no way to do it (Linux; on sway
 * minimize, on KWin and for native windows the boxes, on GNOME restore); -3 (Linux only) no
 * window system could be asked: no X server or Wayland compositor is named in the environment
 * or listens there, or the one reached did not answer the lookup in time; whether the window
 * exists is not known and nothing was done. Each call returns once the window system has
 * confirmed the state it asked for (on Linux: the window manager, waited for at most one second
 * a state; the whole call ends within 2 seconds, even when the window manager or the X server
 * stalls). On Windows a
 * window that stops answering between that first question and the action can still hold the
 * call until it answers.
 *
 * Threads: any thread may call; calls are independent. Nothing here throws, aborts or prints.
 */
#ifndef PANEKNOB_H
#define PANEKNOB_H

#include <stdint.h>

#if defined(PANEKNOB_BUILDING_LIBRARY) && defined(_WIN32)
#define PANEKNOB_API __declspec(dllexport)
#elif defined(PANEKNOB_BUILDING_LIBRARY)
#define PANEKNOB_API __attribute__((visibility("default")))
#else
#define PANEKNOB_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Removes the window's minimize and maximize boxes, keeping the rest of its frame; the window
   is not moved, resized, restacked or activated. 0, -1, -2 or -3. */
PANEKNOB_API int32_t setWindowFlags(const char* title);

/* Minimizes the window. 0, -1, -2 or -3. */
PANEKNOB_API int32_t minimize(const char* title);

/* Shows the window in its last size and place without activating it (a minimized window comes
   back, a hidden one is shown). 0, -1, -2 or -3. */
PANEKNOB_API int32_t restore(const char* title);

/* Restores the window and makes it the active one, in front. 0, -1, -2 (also when the window
   system did not let it become active) or -3. */
PANEKNOB_API int32_t restoreAndActivate(const char* title);

#ifdef __cplusplus
}  // extern "C"
#endif

#endif /* PANEKNOB_H */
