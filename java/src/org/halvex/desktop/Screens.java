package org.halvex.desktop;

import com.sun.jna.Platform;
import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.NoSuchElementException;
import java.util.Objects;
import org.halvex.desktop.internal.NativeCalls;
import org.halvex.desktop.internal.ScreenInfo;

/**
 * The desktop's monitors, and captures of a rectangle of one to a PNG file (frametake).
 *
 * <p>The natives keep one monitor table and one capture path for the whole process; this class
 * makes every listing and capture one at a time, so any thread may call it. On Linux each call
 * waits for the X server at most 500 ms (a listing) or 10 seconds (a capture).
 */
public final class Screens {
    private static final Object ONE_AT_A_TIME = new Object();

    private Screens() {}

    /**
     * The monitors, in the order the system lists them (on Linux the primary one first; see
     * {@link Monitor#isPrimary}).
     *
     * @param mode the units of the records
     * @return the monitors; empty when the system could not list them in time
     */
    public static List<Monitor> monitors(DpiMode mode) {
        Objects.requireNonNull(mode, "mode");
        NativeCalls.Frametake frametake = NativeCalls.frametake();
        synchronized (ONE_AT_A_TIME) {
            int count = frametake.getScreenCountEx((byte) (mode == DpiMode.UNAWARE ? 1 : 0));
            List<Monitor> monitors = new ArrayList<>(Math.max(count, 0));
            for (int index = 0; index < count; index++) {
                ScreenInfo info = new ScreenInfo();
                frametake.getScreen(index, info);
                monitors.add(new Monitor(info.monitorHandle, (int) info.boundsX, (int) info.boundsY,
                                         info.width, info.height, mode));
            }
            return List.copyOf(monitors);
        }
    }

    /**
     * One monitor of {@link #monitors}.
     *
     * @param index its place in the list
     * @param mode the units of the record
     * @return the monitor
     * @throws NoSuchElementException if there is no monitor at {@code index}
     */
    public static Monitor monitor(int index, DpiMode mode) {
        List<Monitor> monitors = monitors(mode);
        if (index < 0 || index >= monitors.size()) {
            throw new NoSuchElementException(
                "there is no monitor " + index + "; the desktop has " + monitors.size());
        }
        return monitors.get(index);
    }

    /**
     * Captures a rectangle of a monitor into a new PNG file in the temporary folder, named
     * {@code scr}, a unique part and {@code .png} (Windows: %TEMP%; Linux: $TMPDIR or /tmp, read
     * and written by the user alone). Parts outside every monitor are black. The file belongs
     * to the caller, who deletes it.
     *
     * @param monitor the monitor, whose corner the rectangle is relative to, in its units
     * @param x the rectangle's left edge, relative to the monitor's
     * @param y the rectangle's top edge, relative to the monitor's
     * @param width the rectangle's width, 1 or more
     * @param height the rectangle's height, 1 or more
     * @return the file's path
     * @throws IllegalArgumentException if {@code width} or {@code height} is below 1
     * @throws IOException if the picture could not be taken or written (too large, no
     *     temporary folder to write in, no memory); no file is then left behind
     */
    public static Path capture(Monitor monitor, int x, int y, int width, int height)
        throws IOException {
        Objects.requireNonNull(monitor, "monitor");
        if (width < 1 || height < 1) {
            throw new IllegalArgumentException(
                "a capture needs a width and height of 1 or more, not " + width + "x" + height);
        }
        ScreenInfo record = new ScreenInfo();
        record.monitorHandle = monitor.handle();
        record.width = monitor.width();
        record.height = monitor.height();
        record.boundsX = monitor.x();
        record.boundsY = monitor.y();
        record.boundsWidth = monitor.width();
        record.boundsHeight = monitor.height();
        NativeCalls.Frametake frametake = NativeCalls.frametake();
        String path;
        synchronized (ONE_AT_A_TIME) {
            path = frametake.captureScreen(record, x, y, width, height);
        }
        if (path == null || path.isEmpty()) {
            Path folder = temporaryFolder();
            throw new IOException("the capture of " + width + "x" + height + " at " + x + "," + y
                                  + " of monitor " + monitor.handle() + " into " + folder
                                  + " failed: " + likelyCause(folder));
        }
        return Path.of(path);
    }

    /** The folder the natives write captures to (see {@link #capture}). */
    static Path temporaryFolder() {
        if (Platform.isWindows()) {
            for (String variable : new String[] {"TMP", "TEMP", "USERPROFILE"}) {
                String value = System.getenv(variable);
                if (value != null && !value.isEmpty()) {
                    return Path.of(value);
                }
            }
            return Path.of(System.getenv().getOrDefault("SystemRoot", "C:\\Windows"));
        }
        String variable = System.getenv("TMPDIR");
        return variable != null && variable.startsWith("/") ? Path.of(variable) : Path.of("/tmp");
    }

    // The natives answer only that the capture failed; the folder is what Java can look at.
    private static String likelyCause(Path folder) {
        if (Platform.isLinux() && unset("DISPLAY") && unset("WAYLAND_DISPLAY")) {
            return "no display: neither DISPLAY nor WAYLAND_DISPLAY is set in this process";
        }
        if (!Files.isDirectory(folder)) {
            return "the folder does not exist";
        }
        if (!Files.isWritable(folder)) {
            return "the folder may not be written";
        }
        return "the screen could not be read (no display or compositor reached, a rectangle too"
               + " large for memory, or a capture the desktop refused) or the file could not be"
               + " written (a full disk)";
    }

    private static boolean unset(String variable) {
        String value = System.getenv(variable);
        return value == null || value.isEmpty();
    }
}
