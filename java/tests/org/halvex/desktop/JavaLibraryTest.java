package org.halvex.desktop;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.awt.image.BufferedImage;
import java.io.ByteArrayInputStream;
import java.io.File;
import java.io.FileNotFoundException;
import java.io.IOException;
import java.net.InetSocketAddress;
import java.net.Proxy;
import java.net.ProxySelector;
import java.net.URI;
import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.nio.file.FileSystemException;
import java.nio.file.Files;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.NoSuchElementException;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import java.util.stream.Collectors;
import javax.imageio.ImageIO;
import javax.sound.sampled.AudioFileFormat;
import javax.sound.sampled.AudioFormat;
import javax.sound.sampled.AudioInputStream;
import javax.sound.sampled.AudioSystem;
import org.halvex.desktop.internal.NativeFiles;
import org.halvex.desktop.internal.ScreenInfo;
import org.halvex.testkit.DesktopHost;
import org.halvex.xaudio.AudioPlayerException;
import org.halvex.xaudio.WavPlayer;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

/**
 * The Java library as an application uses it: the class path holds the API jar, the Linux
 * natives jar and JNA, and no library path is set. On the X11 bench (a 1280x1024 monitor left
 * of the 1920x1080 primary one), in the C locale (titles in ASCII), with proxy variables for
 * libproxy and SDL's disk driver as the sound card.
 */
class JavaLibraryTest {
    static final InetSocketAddress GATE = InetSocketAddress.createUnresolved("gate", 3128);

    @Test
    void theNativesComeFromTheClassPath() throws Exception {
        assertNull(System.getProperty("jna.library.path"));
        Screens.monitors(DpiMode.PHYSICAL_PIXELS);
        new WavPlayer();
        // JNA's copies are named jna<number>.tmp; the player's its own, in a folder of ours.
        List<String> mapped = Files.readAllLines(Path.of("/proc/self/maps")).stream()
                                  .map(line -> line.replaceFirst("^(\\S+\\s+){5}", "")).toList();
        assertTrue(mapped.stream().noneMatch(file -> file.endsWith("/libframetake.so")), "frametake not copied");
        assertTrue(mapped.stream().anyMatch(file -> file.matches(".*/desktop-natives-\\w+/libchimebox\\.so")),
                   "chimebox not copied");
        for (String folder : System.getProperty("java.library.path").split(File.pathSeparator)) {
            assertFalse(new File(folder, "libchimebox.so").exists(), folder);
        }
    }

    @Test
    void monitorsInBothModes() throws Exception {
        List<Monitor> physical = Screens.monitors(DpiMode.PHYSICAL_PIXELS);
        assertEquals(2, physical.size(), physical::toString);
        int primary = physical.get(0).handle();
        int left = physical.get(1).handle();
        assertEquals(List.of(new Monitor(primary, 0, 0, 1920, 1080, DpiMode.PHYSICAL_PIXELS),
                             new Monitor(left, -1280, 0, 1280, 1024, DpiMode.PHYSICAL_PIXELS)),
                     physical);
        assertEquals(List.of(true, false), List.of(physical.get(0).isPrimary(), physical.get(1).isPrimary()));
        DesktopHost.setXftDpi(144);
        try {
            assertEquals(new Monitor(left, -853, 0, 853, 683, DpiMode.UNAWARE),
                         Screens.monitor(1, DpiMode.UNAWARE));
            assertEquals(physical, Screens.monitors(DpiMode.PHYSICAL_PIXELS));
        } finally {
            DesktopHost.setXftDpi(0);
        }
        assertThrows(NoSuchElementException.class, () -> Screens.monitor(2, DpiMode.UNAWARE));
    }

    // The natives keep one table for the whole process; two threads listing in the two modes
    // would read each other's records but for the library's lock.
    @Test
    void listingsFromTwoThreadsKeepTheirModes() throws Exception {
        DesktopHost.setXftDpi(144);
        try {
            List<Monitor> physical = Screens.monitors(DpiMode.PHYSICAL_PIXELS);
            List<Monitor> unaware = Screens.monitors(DpiMode.UNAWARE);
            ExecutorService threads = Executors.newFixedThreadPool(2);
            List<Future<Boolean>> runs = new ArrayList<>();
            for (List<Monitor> expected : List.of(physical, unaware)) {
                runs.add(threads.submit(() -> {
                    boolean same = true;
                    for (int i = 0; i < 40 && same; i++) {
                        // An empty list is a listing the natives gave up on (500 ms), not a mix-up.
                        List<Monitor> listed = Screens.monitors(expected.get(0).mode());
                        same = listed.isEmpty() || listed.equals(expected);
                    }
                    return same;
                }));
            }
            threads.shutdown();
            assertEquals(List.of(true, true), List.of(runs.get(0).get(), runs.get(1).get()));
        } finally {
            DesktopHost.setXftDpi(0);
        }
    }

    @Test
    void theRecordIsLaidOutAsTheCHeaderSays() throws Exception {
        Process layout = new ProcessBuilder(System.getenv("SCREEN_INFO_LAYOUT")).start();
        String expected = new String(layout.getInputStream().readAllBytes()).trim();
        assertEquals(0, layout.waitFor());
        Map<String, Integer> offsets = new ScreenInfo().layout();
        assertEquals(expected, offsets.entrySet().stream().map(e -> e.getKey() + "=" + e.getValue())
                                   .collect(Collectors.joining("\n")));
    }

    @Test
    void captureWritesAPngAndSaysWhenItCannot() throws Exception {
        Path folder = Path.of(System.getenv("TMPDIR"));
        Files.createDirectories(folder);
        try (DesktopHost host = new DesktopHost("picture:40,30,50,20")) {
            assertEquals(0, host.window(0), "a picture is no window of its own");
            Monitor left = Screens.monitor(1, DpiMode.PHYSICAL_PIXELS);
            Path png = Screens.capture(left, 40, 30, 50, 20);
            assertEquals(folder, png.getParent());
            BufferedImage image = ImageIO.read(png.toFile());
            assertEquals(List.of(50, 20), List.of(image.getWidth(), image.getHeight()));
            // testkit's gradient: red 5x, green 3y, blue x+y
            assertEquals(49 * 5 << 16 | 19 * 3 << 8 | 49 + 19, image.getRGB(49, 19) & 0xFFFFFF);
            Files.delete(png);

            Files.delete(folder);
            IOException failed = assertThrows(IOException.class, () -> Screens.capture(left, 40, 30, 50, 20));
            assertTrue(failed.getMessage().endsWith(" into " + folder + " failed: the folder does not exist"),
                       failed.getMessage());
            assertThrows(IllegalArgumentException.class, () -> Screens.capture(left, 0, 0, 0, 20));
        } finally {
            Files.createDirectories(folder);
        }
    }

    @Test
    void windowsByTitle() throws Exception {
        try (DesktopHost host = new DesktopHost("normal:Java Library Window", "normal:Caf?")) {
            String title = "JAVA library window";
            assertEquals(WindowOutcome.DONE, WindowControl.minimize(title));
            String state = DesktopHost.xprop(host.window(0), "_NET_WM_STATE");
            assertTrue(state.contains("_NET_WM_STATE_HIDDEN"), state);
            assertEquals(WindowOutcome.DONE, WindowControl.restore(title));
            assertEquals(WindowOutcome.DONE, WindowControl.restoreAndActivate(title));
            assertEquals(WindowOutcome.DONE, WindowControl.removeMinimizeMaximizeBoxes(title));
            assertEquals(WindowOutcome.NOT_FOUND, WindowControl.minimize("No Such Window"));
            // ASCII cannot hold the "é": JNA would pass "Caf?", and that window would answer.
            assertEquals(WindowOutcome.NOT_FOUND, WindowControl.restoreAndActivate("Caf\u00e9"));
            assertEquals(WindowOutcome.NOT_FOUND, WindowControl.restore("Caf?\0 and more"));
        }
    }

    @Test
    void theSystemProxyForAUri() throws Exception {
        assertEquals(new Proxy(Proxy.Type.HTTP, GATE),
                     SystemProxy.proxyFor(URI.create("http://example.com/")));
        assertEquals(Proxy.NO_PROXY, SystemProxy.proxyFor(URI.create("http://example.net/")));
        assertThrows(IllegalArgumentException.class, () -> SystemProxy.proxyFor(URI.create("a/b")));
        assertThrows(IllegalArgumentException.class, () -> SystemProxy.proxyFor(URI.create("mailto:a@b")));

        ProxySelector.setDefault(new SystemProxySelector());
        assertEquals(List.of(new Proxy(Proxy.Type.HTTP, InetSocketAddress.createUnresolved("sec", 8443))),
                     ProxySelector.getDefault().select(URI.create("https://example.org/")));
        // Loopback goes direct although http_proxy is set and no_proxy does not list it.
        for (String local : List.of("http://localhost:8080/", "http://127.0.0.1/", "http://[::1]/", "http://a.localhost/")) {
            assertEquals(List.of(Proxy.NO_PROXY), ProxySelector.getDefault().select(URI.create(local)), local);
        }
    }

    // What leaves the process: never user information or a fragment, nor an https path or query.
    @ParameterizedTest
    @CsvSource({"http://u:p@h:81/a%20b?q=1#f, http://h:81/a%20b?q=1", "http://h, http://h/",
                "https://u@h/secret?token=1, https://h/", "HTTPS://[::1]:8443/x, HTTPS://[::1]:8443/",
                "socket://h:5000, socket://h:5000/"})
    void askedFor(String uri, String asked) {
        assertEquals(asked, SystemProxy.askedFor(URI.create(uri)));
    }

    // Where each JVM looks in a natives jar; the Windows rows cannot run here otherwise.
    @ParameterizedTest
    @CsvSource({"Linux, amd64, linux-x86-64", "Windows 11, amd64, win32-x86-64",
                "Windows 11, aarch64, win32-aarch64", "Windows Server 2022, x86_64, win32-x86-64",
                "Linux, aarch64, ", "Mac OS X, aarch64, ", "Windows 10, x86, "})
    void resourcePrefixes(String system, String processor, String prefix) throws Exception {
        if (prefix == null) {
            assertThrows(FileNotFoundException.class, () -> NativeFiles.resourcePrefix(system, processor));
        } else {
            assertEquals(prefix, NativeFiles.resourcePrefix(system, processor));
        }
    }

    @ParameterizedTest
    @CsvSource({"DIRECT, DIRECT, , 0", "gate:3128, HTTP, gate, 3128", "socks=s:1080, SOCKS, s, 1080",
                "[::1]:3128, HTTP, ::1, 3128"})
    void answersBecomeProxies(String answer, Proxy.Type type, String host, int port) throws Exception {
        Proxy expected = type == Proxy.Type.DIRECT
                             ? Proxy.NO_PROXY
                             : new Proxy(type, InetSocketAddress.createUnresolved(host, port));
        assertEquals(expected, ProxyAnswer.parse(answer));
    }

    // What waypost may answer for a proxy list of an odd shape, which no Java proxy can be.
    @ParameterizedTest
    @CsvSource({"''", ":8080", "HTTP=a:1", "a:1 b:2", "[::1", "gate:99999", "gate:0", "socks=:1080"})
    void answersThatNameNoUsableProxy(String answer) {
        assertThrows(IOException.class, () -> ProxyAnswer.parse(answer));
    }

    @Test
    void playsAWavWrittenByTheJdk(@TempDir Path folder) throws Exception {
        Path wav = folder.resolve("tone.wav");
        ByteBuffer samples = ByteBuffer.allocate(2 * 4410).order(ByteOrder.LITTLE_ENDIAN);
        for (int i = 0; i < 4410; i++) {
            samples.putShort((short) Math.round(12000 * Math.sin(2 * Math.PI * 440 * i / 22050.0)));
        }
        AudioFormat format = new AudioFormat(22050, 16, 1, true, false);
        AudioSystem.write(new AudioInputStream(new ByteArrayInputStream(samples.array()), format, 4410),
                          AudioFileFormat.Type.WAVE, wav.toFile());

        Path sink = Path.of(System.getenv("SDL_DISKAUDIOFILE"));
        Files.deleteIfExists(sink);
        Sounds.play(wav);
        ByteBuffer heard = ByteBuffer.wrap(Files.readAllBytes(sink)).order(ByteOrder.LITTLE_ENDIAN);
        boolean audible = false;
        while (heard.remaining() >= 4 && !audible) {
            audible = Math.abs(heard.getFloat()) > 0.1f;
        }
        assertTrue(audible, "the sink heard nothing");

        Path missing = folder.resolve("missing.wav");
        NoSuchFileException failure = assertThrows(NoSuchFileException.class, () -> Sounds.play(missing));
        assertEquals("Failed reading WAV file: -0X7FF8FFFE (" + missing + ")", failure.getCause().getMessage());
        FileSystemException notAFile = assertThrows(FileSystemException.class, () -> Sounds.play(folder));
        assertEquals(folder + ": not a regular file", notAFile.getMessage());
    }

    /** The clean-up of earlier copies deletes only its own folders of ended processes, and
     *  follows no link: a planted link, a folder of a running process and one with no owner
     *  file stay, and so does what they point to. */
    @Test
    void staleCopiesOfEndedProcessesGoAndNothingElse() throws Exception {
        Path parent = Files.createTempDirectory("natives-parent");
        Path outside = Files.createTempDirectory("natives-outside");
        Files.writeString(outside.resolve("keep.txt"), "keep");
        Process ended = new ProcessBuilder("true").start();
        ended.waitFor();
        String endedOwner = ended.pid() + " " + ended.info().startInstant().map(Object::toString).orElse("-");
        String liveOwner = ProcessHandle.current().pid() + " "
                           + ProcessHandle.current().info().startInstant().orElseThrow();
        Files.writeString(outside.resolve("owner"), endedOwner);  // a link's target, owned as ours
        Path dead = Files.createDirectory(parent.resolve("desktop-natives-dead"));
        Files.writeString(dead.resolve("owner"), endedOwner);
        Files.writeString(dead.resolve("libchimebox.so"), "copy");
        Files.createSymbolicLink(dead.resolve("link"), outside.resolve("keep.txt"));
        Path live = Files.createDirectory(parent.resolve("desktop-natives-live"));
        Files.writeString(live.resolve("owner"), liveOwner);
        Path foreign = Files.createDirectory(parent.resolve("desktop-natives-foreign"));
        Files.writeString(foreign.resolve("data"), "theirs");
        Files.createSymbolicLink(parent.resolve("desktop-natives-link"), outside);

        NativeFiles.removeStaleFolders(parent);

        assertFalse(Files.exists(dead, java.nio.file.LinkOption.NOFOLLOW_LINKS));
        assertTrue(Files.exists(live.resolve("owner")));
        assertTrue(Files.exists(foreign.resolve("data")));
        assertTrue(Files.isSymbolicLink(parent.resolve("desktop-natives-link")));
        assertEquals("keep", Files.readString(outside.resolve("keep.txt")));
        assertTrue(Files.exists(outside.resolve("owner")));
    }
}
