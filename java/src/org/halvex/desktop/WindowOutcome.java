package org.halvex.desktop;

/** What an action of {@link WindowControl} came to. */
public enum WindowOutcome {
    /** The window is in the state asked for, as the window system confirmed. */
    DONE,
    /** No top-level window has that title; nothing changed. */
    NOT_FOUND,
    /**
     * The window was found but could not be put in that state: it could not be made the active
     * window, or (Linux) no window manager runs that could ever show it again, so it was left as
     * it was.
     */
    NOT_REACHED
}
