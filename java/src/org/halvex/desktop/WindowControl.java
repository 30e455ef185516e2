package org.halvex.desktop;

import com.sun.jna.Native;
import java.nio.charset.Charset;
import java.util.Objects;
import java.util.function.ToIntBiFunction;
import org.halvex.desktop.internal.NativeCalls;

/**
 * Acts on another application's top-level window, found by its whole title without regard to
 * letter case (paneknob). When several windows have the title, the one the system lists first
 * is used. Each call returns once the window system has confirmed the new state (on Linux,
 * within 2 seconds even when the window manager stalls). Any thread may call.
 *
 * <p>Titles travel in the platform's 8-bit character set (the ANSI code page on Windows, the
 * locale's on Linux, as JNA encodes strings); a title that it cannot hold, or that holds a NUL
 * character, names no window and answers {@link WindowOutcome#NOT_FOUND} without a search, so
 * that a character replaced in encoding can never pick another window.
 */
public final class WindowControl {
    private WindowControl() {}

    /**
     * Minimizes the window.
     *
     * @param title the window's whole title
     * @return {@code DONE}, {@code NOT_FOUND}, or on Linux {@code NOT_REACHED} when no window
     *     manager runs or it ignores the request (sway), {@code NO_DISPLAY} when there is no
     *     desktop to ask (the window is left as it was)
     */
    public static WindowOutcome minimize(String title) {
        return act(title, NativeCalls.Paneknob::minimize);
    }

    /**
     * Shows the window in its last size and place without activating it: a minimized window
     * comes back, a hidden one is shown.
     *
     * @param title the window's whole title
     * @return {@code DONE}, {@code NOT_FOUND}, or on Linux {@code NOT_REACHED} when the window
     *     manager did not show it (GNOME's ignores this request), {@code NO_DISPLAY} when there
     *     is no desktop to ask
     */
    public static WindowOutcome restore(String title) {
        return act(title, NativeCalls.Paneknob::restore);
    }

    /**
     * Restores the window and makes it the active one, in front.
     *
     * @param title the window's whole title
     * @return {@code DONE}, {@code NOT_FOUND}, {@code NOT_REACHED} when the window system
     *     did not let it become active, or on Linux {@code NO_DISPLAY} when there is no desktop
     *     to ask
     */
    public static WindowOutcome restoreAndActivate(String title) {
        return act(title, NativeCalls.Paneknob::restoreAndActivate);
    }

    /**
     * Removes the window's minimize and maximize boxes, keeping the rest of its frame; the
     * window is not moved, resized, restacked or activated.
     *
     * <p>On X11 the request is the window's Motif hints, which the window manager is free to
     * ignore: openbox and fluxbox keep drawing both boxes ({@code DONE} all the same, as the
     * hints were set); xfwm4 and icewm remove them; metacity's default theme draws neither. On
     * Wayland, KWin keeps every window's boxes and sway cannot change a native window's
     * ({@code NOT_REACHED}); sway draws no boxes on X11 windows.
     *
     * @param title the window's whole title
     * @return {@code DONE}, {@code NOT_FOUND}, or on Linux {@code NOT_REACHED} where the
     *     compositor cannot remove them, {@code NO_DISPLAY} when there is no desktop to ask
     */
    public static WindowOutcome removeMinimizeMaximizeBoxes(String title) {
        return act(title, NativeCalls.Paneknob::setWindowFlags);
    }

    private static WindowOutcome act(String title, ToIntBiFunction<NativeCalls.Paneknob, String> action) {
        Objects.requireNonNull(title, "title");
        NativeCalls.Paneknob paneknob = NativeCalls.paneknob();
        Charset encoding = Charset.forName(Native.getDefaultStringEncoding());
        if (title.indexOf('\0') >= 0 || !encoding.newEncoder().canEncode(title)) {
            return WindowOutcome.NOT_FOUND;
        }
        int answer = action.applyAsInt(paneknob, title);
        return switch (answer) {
            case 0 -> WindowOutcome.DONE;
            case -1 -> WindowOutcome.NOT_FOUND;
            case -2 -> WindowOutcome.NOT_REACHED;
            case -3 -> WindowOutcome.NO_DISPLAY;
            default -> throw new IllegalStateException("paneknob answered " + answer);
        };
    }
}
