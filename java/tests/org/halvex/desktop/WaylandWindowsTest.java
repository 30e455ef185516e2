package org.halvex.desktop;

import static org.junit.jupiter.api.Assertions.assertEquals;

import java.io.IOException;
import org.junit.jupiter.api.Test;

/** Window control on a Wayland session (the sway bench), on a native window, as an application calls it. */
class WaylandWindowsTest {
    private static void sway(String... command) throws IOException, InterruptedException {
        String[] line = new String[command.length + 1];
        line[0] = "swaymsg";
        System.arraycopy(command, 0, line, 1, command.length);
        new ProcessBuilder(line).inheritIO().start().waitFor();
    }

    @Test
    void aNativeWindowIsActivatedAndSwaysIgnoredMinimizeIsNotReached() throws Exception {
        String title = "Java Wayland Window";
        sway("exec", "foot -T '" + title + "' sleep 1d");
        try {
            WindowOutcome activated = WindowOutcome.NOT_FOUND;
            for (int i = 0; i < 100 && activated == WindowOutcome.NOT_FOUND; i++) {
                Thread.sleep(100);
                activated = WindowControl.restoreAndActivate(title);
            }
            assertEquals(WindowOutcome.DONE, activated);
            assertEquals(WindowOutcome.NOT_REACHED, WindowControl.minimize(title));
        } finally {
            sway("[title=\"" + title + "\"]", "kill");
        }
    }
}
