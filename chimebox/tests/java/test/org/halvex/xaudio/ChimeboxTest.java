package org.halvex.xaudio;

import static org.junit.jupiter.api.Assertions.assertDoesNotThrow;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTimeoutPreemptively;
import static org.junit.jupiter.api.Assertions.assertTrue;


import java.nio.file.Files;
import java.nio.file.Path;
import java.time.Duration;
import java.util.concurrent.atomic.AtomicReference;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/** libchimebox.so loaded into this JVM, playing into SDL's disk audio driver. */
class ChimeboxTest {
    @TempDir Path folder;

    /** The file that SDL's disk driver writes (SDL_DISKAUDIOFILE). */
    static final Path SINK = Path.of(System.getenv("SDL_DISKAUDIOFILE"));

    /** Plays {@code file} on a fresh player; the seconds that play took. */
    static double timedPlay(Path file) {
        final WavPlayer player = new WavPlayer();
        player.initialize();
        final long start = System.nanoTime();
        try {
            player.play(file.toString());
            return (System.nanoTime() - start) / 1e9;
        } finally {
            player.release();
        }
    }

    @Test
    void initializeStoresBothHandlesAndReleaseClearsThem() {
        final WavPlayer player = new WavPlayer();
        player.initialize();
        assertNotEquals(0, player.xAudioRef);
        assertNotEquals(0, player.xAudioMasteringVoiceRef);
        player.release();
        assertEquals(0, player.xAudioRef);
        assertEquals(0, player.xAudioMasteringVoiceRef);
        assertDoesNotThrow(player::release);
    }

    @Test
    void playBeforeInitializeNamesTheEngineField() {
        final AudioPlayerException e = assertThrows(AudioPlayerException.class, () -> new WavPlayer().play("x.wav"));
        assertEquals("Failed to play, xAudioRef not initialized", e.getMessage());
    }

    @Test
    void playWithoutMasteringVoiceNamesItsField() {
        final WavPlayer player = new WavPlayer();
        player.xAudioRef = 1;  // never used: the missing voice stops the play first
        final AudioPlayerException e = assertThrows(AudioPlayerException.class, () -> player.play("x.wav"));
        assertEquals("Failed to play, xAudioMasteringVoiceRef not initialized", e.getMessage());
    }

    @Test
    void readFailuresCarryTheirCodeAndThePathUnchanged() throws Exception {
        final WavPlayer player = new WavPlayer();
        player.initialize();
        try {
            final String missing = folder.resolve("missing-\uD83C\uDFB5.wav").toString();
            assertEquals("Failed reading WAV file: -0X7FF8FFFE (" + missing + ")",
                    assertThrows(AudioPlayerException.class, () -> player.play(missing)).getMessage());
            final String noFolder = folder.resolve("nowhere/x.wav").toString();
            assertEquals("Failed reading WAV file: -0X7FF8FFFD (" + noFolder + ")",
                    assertThrows(AudioPlayerException.class, () -> player.play(noFolder)).getMessage());
            // Anything but a regular file is refused at once: a FIFO without a writer never blocks.
            final Path fifo = folder.resolve("fifo.wav");
            assertEquals(0, new ProcessBuilder("mkfifo", fifo.toString()).start().waitFor());
            for (final String notAFile : new String[] {folder.toString(), fifo.toString(), "/dev/null"}) {
                assertEquals("Failed reading WAV file: -0X7FF8FFFB (" + notAFile + ")",
                        assertTimeoutPreemptively(Duration.ofSeconds(20),
                                () -> assertThrows(AudioPlayerException.class, () -> player.play(notAFile))).getMessage());
            }
            final Path malformed = folder.resolve("malformed.wav");
            Files.write(malformed, new byte[64]);
            assertEquals("Failed reading WAV file: -0X7FFFBFFB (" + malformed + ")",
                    assertThrows(AudioPlayerException.class, () -> player.play(malformed.toString())).getMessage());
        } finally {
            player.release();
        }
    }

    /** xWMA files that no decoder can take (64 bytes of packets 2230 bytes long; no packet table):
     *  a clear exception, never a hang or silence. */
    @Test
    void xwmaEndsInAClearExceptionNeverAHangOrSilence() throws Exception {
        final WavPlayer player = new WavPlayer();
        player.initialize();
        try {
            for (final boolean withTable : new boolean[] {true, false}) {
                final Path file = SoundFiles.xwma(folder, withTable);
                final AudioPlayerException e = assertTimeoutPreemptively(Duration.ofSeconds(20),
                        () -> assertThrows(AudioPlayerException.class, () -> player.play(file.toString())));
                assertEquals("Error -0X7769FFFF submitting source buffer" + (withTable ? " (xWMA)" : ""), e.getMessage());
            }
        } finally {
            player.release();
        }
    }

    /** FAudio opens SDL's device for 32-bit float stereo at 48 kHz. */
    static final double SINK_SAMPLES_PER_SECOND = 2 * 48000;

    @Test
    void soundIsHeardForItsLengthAndALoopOnceMore() throws Exception {
        final double plain = timedPlay(SoundFiles.tone(folder, "plain.wav", 1.0, 0, 0));
        final double plainHeard = SoundFiles.audibleSeconds(SINK, SINK_SAMPLES_PER_SECOND);
        final double looped = timedPlay(SoundFiles.tone(folder, "looped.wav", 1.0, 11025, 22049));
        final double loopedHeard = SoundFiles.audibleSeconds(SINK, SINK_SAMPLES_PER_SECOND);

        assertEquals(1.0, plainHeard, 0.05, "the sink heard the plain tone for " + plainHeard + " s");
        assertEquals(1.5, loopedHeard, 0.05, "the sink heard the looped tone for " + loopedHeard + " s");
        // play returns once the engine has used the sound up: bounds only, no tight timing.
        assertTrue(plain >= 0.9 && plain < 5, "plain play took " + plain + " s");
        assertTrue(looped >= 1.4 && looped < 5.5, "looped play took " + looped + " s");
    }

    @Test
    void twoThreadsPlayOnOneObjectAtOnce() throws Exception {
        final Path first = SoundFiles.tone(folder, "a.wav", 0.5, 0, 0);
        final Path second = SoundFiles.tone(folder, "b.wav", 0.5, 0, 0);
        final WavPlayer player = new WavPlayer();
        player.initialize();
        try {
            final AtomicReference<Throwable> failure = new AtomicReference<>();
            final Thread other = new Thread(() -> {
                try {
                    player.play(second.toString());
                } catch (Throwable t) {
                    failure.set(t);
                }
            });
            other.start();
            player.play(first.toString());
            other.join();
            assertEquals(null, failure.get());
        } finally {
            player.release();
        }
    }

    static long residentKilobytes() throws Exception {
        for (final String line : Files.readAllLines(Path.of("/proc/self/status"))) {
            if (line.startsWith("VmRSS:")) {
                return Long.parseLong(line.replaceAll("[^0-9]", ""));
            }
        }
        throw new IllegalStateException("no VmRSS");
    }

    @Test
    void twoHundredLifecyclesKeepResidentMemoryFlat() throws Exception {
        final Path blip = SoundFiles.tone(folder, "blip.wav", 0.02, 0, 0);
        for (int i = 0; i < 20; ++i) {
            timedPlay(blip);
        }
        System.gc();
        final long before = residentKilobytes();
        for (int i = 0; i < 200; ++i) {
            timedPlay(blip);
        }
        System.gc();
        final long after = residentKilobytes();
        assertTrue(after - before < 16 * 1024, "resident memory grew from " + before + " kB to " + after + " kB");
    }
}
