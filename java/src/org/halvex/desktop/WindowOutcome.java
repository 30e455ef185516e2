package org.halvex.desktop;

/** What an action of {@link WindowControl} came to. */
public enum WindowOutcome {
    /** The window is in the state asked for, as the window system confirmed. */
    DONE,
    /** No top-level window has that title; nothing changed. */
    NOT_FOUND,
    /**
     * The window was not put in that state and was left as it was: it could not be made the
     * active window; its thread did not handle a message in time (Windows: a hung window); the
     * window manager did not confirm the state, or none runs that could ever show it again
     * (Linux); the Wayland compositor ignored the request or has no way to do it (sway's
     * minimize; the boxes on KWin and of native windows; GNOME's restore without activation);
     * or the window system stopped answering after the window was found (Linux).
     */
    NOT_REACHED,
    /**
     * No window system could be asked, so whether the window exists is not known and nothing
     * changed (Linux only): no X server or Wayland compositor is named in the environment
     * ({@code DISPLAY}, {@code WAYLAND_DISPLAY}) or listens there, as for a service or a headless
     * process, or the one reached did not answer the lookup within the call's limit.
     */
    NO_DISPLAY
}
