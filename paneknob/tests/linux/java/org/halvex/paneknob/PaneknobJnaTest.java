package org.halvex.paneknob;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.sun.jna.Library;
import com.sun.jna.Native;
import org.halvex.testkit.DesktopHost;
import org.junit.jupiter.api.Test;

/** libpaneknob.so called through JNA, as the Java application calls it, on the windows of
 *  another process under openbox. The JVM runs in a UTF-8 locale, so JNA passes titles in
 *  UTF-8, the locale's character set. */
class PaneknobJnaTest {
    interface Paneknob extends Library {
        int setWindowFlags(String title);
        int minimize(String title);
        int restore(String title);
        int restoreAndActivate(String title);
    }

    static final Paneknob PANEKNOB = Native.load("paneknob", Paneknob.class);

    static String state(long window) throws Exception {
        return DesktopHost.xprop(window, "_NET_WM_STATE");
    }

    static String active() throws Exception {
        return DesktopHost.xprop(0, "_NET_ACTIVE_WINDOW");
    }

    static String hex(long window) {
        return "0x" + Long.toHexString(window);
    }

    @Test
    void drivesAWindowOfAnotherProcess() throws Exception {
        try (DesktopHost host = new DesktopHost("normal:Fen\u00eatre Java", "normal:Java Other")) {
            long window = host.window(0);
            assertEquals(0, PANEKNOB.restoreAndActivate("Java Other"));

            assertEquals(0, PANEKNOB.minimize("FEN\u00caTRE JAVA"));
            Thread.sleep(200);
            assertTrue(state(window).contains("_NET_WM_STATE_HIDDEN"), state(window));

            assertEquals(0, PANEKNOB.restore("fen\u00eatre java"));
            Thread.sleep(200);
            assertFalse(state(window).contains("_NET_WM_STATE_HIDDEN"), state(window));
            assertTrue(active().endsWith(hex(host.window(1))), active());

            assertEquals(0, PANEKNOB.setWindowFlags("Fen\u00eatre Java"));
            assertEquals("_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x3, 0x26, 0x1e, 0x0, 0x0",
                         DesktopHost.xprop(window, "_MOTIF_WM_HINTS"));

            assertEquals(0, PANEKNOB.restoreAndActivate("Fen\u00eatre Java"));
            assertTrue(active().endsWith(hex(window)), active());
        }
    }

    @Test
    void aTitleOfNoWindowFindsNothing() {
        for (String title : new String[] {"Paneknob No Such Window", "", null}) {
            assertEquals(-1, PANEKNOB.setWindowFlags(title));
            assertEquals(-1, PANEKNOB.minimize(title));
            assertEquals(-1, PANEKNOB.restore(title));
            assertEquals(-1, PANEKNOB.restoreAndActivate(title));
        }
    }
}
