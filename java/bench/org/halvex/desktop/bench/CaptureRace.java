package org.halvex.desktop.bench;

import java.awt.Color;
import java.awt.Font;
import java.awt.Graphics2D;
import java.awt.Rectangle;
import java.awt.Robot;
import java.awt.image.BufferedImage;
import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.Random;
import javax.imageio.ImageIO;
import javax.swing.JFrame;
import javax.swing.JLabel;
import javax.swing.ImageIcon;
import javax.swing.SwingUtilities;
import org.halvex.desktop.DpiMode;
import org.halvex.desktop.Monitor;
import org.halvex.desktop.Screens;

/** Not a test: a 1920x1080 capture of a desktop-like window through {@link Screens#capture}
 *  against {@link Robot#createScreenCapture} with {@link ImageIO} writing the PNG, in one JVM,
 *  alternating which goes first; medians and their ratio. Run by scripts/bench on the X11 bench. */
public final class CaptureRace {
    private static final int WIDTH = 1920;
    private static final int HEIGHT = 1080;
    private static final int ROUNDS = 11;

    private CaptureRace() {}

    /** Flat panels, lines of text and a noisy photo-like region. */
    static BufferedImage desktopPicture() {
        final BufferedImage picture = new BufferedImage(WIDTH, HEIGHT, BufferedImage.TYPE_INT_RGB);
        final Graphics2D g = picture.createGraphics();
        g.setColor(new Color(0x2d5a88));
        g.fillRect(0, 0, WIDTH, HEIGHT);
        g.setColor(new Color(0xf0f0f0));
        g.fillRect(80, 60, 1000, 900);
        g.setColor(Color.BLACK);
        g.setFont(new Font(Font.SANS_SERIF, Font.PLAIN, 14));
        for (int line = 0; line < 50; ++line) {
            g.drawString("Line " + line + ": the quick brown fox jumps over the lazy dog, 0123456789", 100, 90 + 17 * line);
        }
        final Random random = new Random(7);
        for (int y = 100; y < 700; ++y) {
            for (int x = 1200; x < 1800; ++x) {
                final int base = (x - 1200) * 255 / 600;
                picture.setRGB(x, y, new Color(base, (y - 100) * 255 / 600, 128 + random.nextInt(32)).getRGB());
            }
        }
        g.dispose();
        return picture;
    }

    static double median(List<Double> values) {
        final List<Double> sorted = new ArrayList<>(values);
        Collections.sort(sorted);
        return sorted.get(sorted.size() / 2);
    }

    public static void main(String[] args) throws Exception {
        final BufferedImage picture = desktopPicture();
        final JFrame[] frame = new JFrame[1];
        SwingUtilities.invokeAndWait(() -> {
            frame[0] = new JFrame("capture race");
            frame[0].setUndecorated(true);
            frame[0].add(new JLabel(new ImageIcon(picture)));
            frame[0].setBounds(0, 0, WIDTH, HEIGHT);
            frame[0].setVisible(true);
        });
        Thread.sleep(1000);
        final Monitor primary = Screens.monitors(DpiMode.PHYSICAL_PIXELS).stream()
                .filter(m -> m.x() == 0 && m.y() == 0).findFirst().orElseThrow();
        final Robot robot = new Robot();
        final Path robotFile = Files.createTempFile("robot", ".png");
        final List<Double> library = new ArrayList<>();
        final List<Double> robotTimes = new ArrayList<>();
        for (int round = 0; round < ROUNDS; ++round) {
            for (int turn = 0; turn < 2; ++turn) {
                final long start = System.nanoTime();
                if ((round + turn) % 2 == 0) {
                    Files.delete(Screens.capture(primary, 0, 0, WIDTH, HEIGHT));
                    library.add((System.nanoTime() - start) / 1e6);
                } else {
                    final BufferedImage shot = robot.createScreenCapture(new Rectangle(0, 0, WIDTH, HEIGHT));
                    if (!ImageIO.write(shot, "png", robotFile.toFile())) {
                        throw new IOException("no PNG writer");
                    }
                    robotTimes.add((System.nanoTime() - start) / 1e6);
                }
            }
        }
        Files.delete(robotFile);
        final double ours = median(library);
        final double theirs = median(robotTimes);
        System.out.printf("rounds %d; median Screens.capture %.1f ms; median Robot + ImageIO.write %.1f ms; ratio %.2f%n",
                ROUNDS, ours, theirs, ours / theirs);
        SwingUtilities.invokeAndWait(frame[0]::dispose);
        System.exit(0);
    }
}
