package org.halvex.frametake;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.sun.jna.Library;
import com.sun.jna.Native;
import com.sun.jna.Structure;
import java.awt.image.BufferedImage;
import java.io.File;
import java.util.List;
import javax.imageio.ImageIO;
import org.halvex.testkit.DesktopHost;
import org.junit.jupiter.api.Test;

/** libframetake.so called through JNA, as the Java application calls it, on the X11 bench: a
 *  1280x1024 monitor left of the 1920x1080 primary one. */
class FrametakeJnaTest {
    /** The 48-byte monitor record; JNA leaves the 4-byte gap before the first double. */
    @Structure.FieldOrder({"monitorHandle", "width", "height", "boundsX", "boundsY", "boundsWidth",
                           "boundsHeight"})
    public static class ScreenInfo extends Structure {
        public int monitorHandle;
        public int width;
        public int height;
        public double boundsX;
        public double boundsY;
        public double boundsWidth;
        public double boundsHeight;

        int offsetOf(String field) {
            return fieldOffset(field);
        }
    }

    interface Frametake extends Library {
        int getScreenCount();
        int getScreenCountEx(byte unaware);
        void getScreen(int index, ScreenInfo info);
        String captureScreen(ScreenInfo screen, int x, int y, int width, int height);
    }

    static final Frametake FRAMETAKE = Native.load("frametake", Frametake.class);

    static ScreenInfo screen(int index) {
        ScreenInfo info = new ScreenInfo();
        FRAMETAKE.getScreen(index, info);
        return info;
    }

    static void assertRecord(ScreenInfo info, int width, int height, double x, double y) {
        assertEquals(List.of(width, height, x, y, (double) width, (double) height),
                     List.of(info.width, info.height, info.boundsX, info.boundsY, info.boundsWidth,
                             info.boundsHeight));
    }

    @Test
    void theRecordIsFortyEightBytes() {
        ScreenInfo info = new ScreenInfo();
        assertEquals(48, info.size());
        assertEquals(16, info.offsetOf("boundsX"));
    }

    @Test
    void monitorsInBothModes() throws Exception {
        assertEquals(2, FRAMETAKE.getScreenCount());
        ScreenInfo primary = screen(0);
        ScreenInfo left = screen(1);
        assertRecord(primary, 1920, 1080, 0, 0);
        assertRecord(left, 1280, 1024, -1280, 0);
        assertNotEquals(primary.monitorHandle, left.monitorHandle);

        DesktopHost.setXftDpi(144);
        try {
            assertEquals(2, FRAMETAKE.getScreenCountEx((byte) 1));
            assertRecord(screen(0), 1280, 720, 0, 0);
            assertRecord(screen(1), 853, 683, -853, 0);
            assertEquals(left.monitorHandle, screen(1).monitorHandle);
        } finally {
            DesktopHost.setXftDpi(0);
        }
        assertEquals(2, FRAMETAKE.getScreenCountEx((byte) 0));
        assertRecord(screen(1), 1280, 1024, -1280, 0);
    }

    @Test
    void captureReadsThePictureOnTheLeftMonitor() throws Exception {
        try (DesktopHost host = new DesktopHost("picture:40,30,50,20")) {
            assertEquals(0, host.window(0), "a picture is no window of its own");
            assertEquals(2, FRAMETAKE.getScreenCount());
            String path = FRAMETAKE.captureScreen(screen(1), 40, 30, 50, 20);
            assertTrue(new File(path).getName().matches("scr.{6}\\.png"), path);
            BufferedImage image = ImageIO.read(new File(path));
            assertEquals(List.of(50, 20), List.of(image.getWidth(), image.getHeight()));
            for (int y = 0; y < 20; y++) {
                for (int x = 0; x < 50; x++) {
                    int expected = ((x * 5) & 0xFF) << 16 | ((y * 3) & 0xFF) << 8 | ((x + y) & 0xFF);
                    assertEquals(expected, image.getRGB(x, y) & 0xFFFFFF, "pixel " + x + "," + y);
                }
            }
            assertTrue(new File(path).delete());
        }
        assertEquals("", FRAMETAKE.captureScreen(screen(0), 0, 0, 0, 10));
    }
}
