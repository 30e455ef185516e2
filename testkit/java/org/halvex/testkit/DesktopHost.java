package org.halvex.testkit;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;
import java.io.OutputStream;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;

/** The X11 bench's desktop host (hostkit/x11/desktop_host.cpp, named by $DESKTOP_HOST) in a
 *  process of its own: it holds windows and pictures until closed. */
public final class DesktopHost implements AutoCloseable {
    private final Process process;
    private final List<Long> windows = new ArrayList<>();

    public DesktopHost(String... arguments) throws IOException {
        List<String> command = new ArrayList<>();
        command.add(System.getenv("DESKTOP_HOST"));
        command.addAll(Arrays.asList(arguments));
        process = new ProcessBuilder(command).redirectError(ProcessBuilder.Redirect.INHERIT).start();
        BufferedReader out = new BufferedReader(
            new InputStreamReader(process.getInputStream(), StandardCharsets.US_ASCII));
        String line = out.readLine();
        if (line == null) {
            throw new IOException("the desktop host did not start");
        }
        for (String id : line.trim().split(" ")) {
            windows.add(Long.parseLong(id));
        }
    }

    /** The X id of the window made by argument {@code i}. */
    public long window(int i) {
        return windows.get(i);
    }

    /** What {@code xprop} says of a property of a window (or of the root window, id 0). */
    public static String xprop(long window, String property) throws IOException, InterruptedException {
        List<String> command = new ArrayList<>(List.of("xprop"));
        if (window == 0) {
            command.add("-root");
        } else {
            command.addAll(List.of("-id", Long.toString(window)));
        }
        command.add(property);
        Process run = new ProcessBuilder(command).redirectErrorStream(true).start();
        String text = new String(run.getInputStream().readAllBytes(), StandardCharsets.UTF_8);
        run.waitFor();
        return text.trim();
    }

    /** Sets the X resource Xft.dpi, as a desktop's font settings do; 0 removes the resources. */
    public static void setXftDpi(int dpi) throws IOException, InterruptedException {
        Process run = new ProcessBuilder("xrdb", "-nocpp", dpi > 0 ? "-merge" : "-remove").start();
        try (OutputStream in = run.getOutputStream()) {
            if (dpi > 0) {
                in.write(("Xft.dpi: " + dpi + "\n").getBytes(StandardCharsets.US_ASCII));
            }
        }
        if (run.waitFor() != 0) {
            throw new IOException("xrdb could not set Xft.dpi to " + dpi);
        }
    }

    @Override
    public void close() throws IOException {
        process.getOutputStream().close();
        try {
            process.waitFor();
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
        }
    }
}
