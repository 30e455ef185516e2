package org.halvex.desktop;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.awt.image.BufferedImage;
import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import javax.imageio.ImageIO;
import org.junit.jupiter.api.Test;

/** The library on a Wayland session (the sway bench, no X display), as an application calls it. */
class WaylandScreensTest {
    @Test
    void monitorsAndACaptureComeFromTheCompositor() throws IOException {
        List<Monitor> physical = Screens.monitors(DpiMode.PHYSICAL_PIXELS);
        assertEquals(2, physical.size());
        assertEquals(2, Screens.monitors(DpiMode.UNAWARE).size());
        Monitor primary = physical.stream().filter(Monitor::isPrimary).findFirst().orElseThrow();
        Path png = Screens.capture(primary, 0, 0, 64, 48);
        try {
            BufferedImage picture = ImageIO.read(png.toFile());
            assertEquals(64, picture.getWidth());
            assertEquals(48, picture.getHeight());
        } finally {
            assertTrue(Files.deleteIfExists(png));
        }
    }
}
