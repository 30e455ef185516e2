package org.halvex.xaudio;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;

/** Real xWMA files (ffmpeg's WMA v2 encoder, a 1 kHz sine) played by libchimebox.so, decoded
 *  through GStreamer and heard on SDL's disk sink. */
class RealXwmaTest {
    static final Path FOLDER = Path.of(System.getenv("REAL_XWMA"));
    static final Path SINK = Path.of(System.getenv("SDL_DISKAUDIOFILE"));

    @Test
    void eachFileIsHeardAtOneKilohertzForItsLength() throws Exception {
        final List<Path> files;
        try (Stream<Path> listed = Files.list(FOLDER)) {
            files = listed.sorted().toList();
        }
        assertEquals(12, files.size(), "real files in " + FOLDER);
        for (final Path file : files) {
            final double expected = tableSeconds(file);
            ChimeboxTest.timedPlay(file);
            final double heard = SoundFiles.audibleSeconds(SINK, ChimeboxTest.SINK_SAMPLES_PER_SECOND);
            final double frequency = risingCrossingsPerSecond(SINK);
            final double quiet = longestQuietSeconds(SINK);
            assertEquals(expected, heard, 0.1, file.getFileName() + " heard for " + heard + " s");
            assertEquals(1000, frequency, 10, file.getFileName() + " heard at " + frequency + " Hz");
            // A 1 kHz sine is quiet only near its zeros: any longer gap is sound lost.
            assertTrue(quiet < 0.002, file.getFileName() + " fell quiet for " + quiet + " s");
        }
    }

    /** The length that the file's packet table counts: its last entry, in 16-bit samples. */
    static double tableSeconds(Path file) throws IOException {
        final ByteBuffer bytes = ByteBuffer.wrap(Files.readAllBytes(file)).order(ByteOrder.LITTLE_ENDIAN);
        final int channels = bytes.getShort(22);
        final int rate = bytes.getInt(24);
        for (int at = 12; at + 8 <= bytes.limit(); at += 8 + bytes.getInt(at + 4) + (bytes.getInt(at + 4) & 1)) {
            if (bytes.getInt(at) == 0x73647064) {  // "dpds"
                final long total = bytes.getInt(at + 8 + bytes.getInt(at + 4) - 4) & 0xFFFFFFFFL;
                return total / 2.0 / channels / rate;
            }
        }
        throw new IOException("no packet table in " + file);
    }

    /** The longest run of quiet frames (both channels below the floor) between audible ones. */
    static double longestQuietSeconds(Path sink) throws IOException {
        final ByteBuffer samples = ByteBuffer.wrap(Files.readAllBytes(sink)).order(ByteOrder.LITTLE_ENDIAN);
        int run = -1;  // no sound yet
        int longest = 0;
        while (samples.remaining() >= 8) {
            final boolean audible = Math.abs(samples.getFloat()) > 0.01f | Math.abs(samples.getFloat()) > 0.01f;
            if (audible) {
                longest = Math.max(longest, run);
                run = 0;
            } else if (run >= 0) {
                ++run;
            }
        }
        return longest / (ChimeboxTest.SINK_SAMPLES_PER_SECOND / 2);
    }

    /** How often the first channel of the sink's audible part rises through zero, per second. */
    static double risingCrossingsPerSecond(Path sink) throws IOException {
        final ByteBuffer samples = ByteBuffer.wrap(Files.readAllBytes(sink)).order(ByteOrder.LITTLE_ENDIAN);
        int first = -1;
        int last = -1;
        int rising = 0;
        float previous = 0;
        for (int frame = 0; samples.remaining() >= 8; ++frame) {
            final float left = samples.getFloat();
            samples.getFloat();
            if (Math.abs(left) > 0.01f) {
                first = first < 0 ? frame : first;
                last = frame;
            }
            rising += first >= 0 && previous < 0 && left >= 0 ? 1 : 0;
            previous = left;
        }
        assertTrue(last > first, "nothing audible in the sink");
        return rising / ((last - first + 1) / (ChimeboxTest.SINK_SAMPLES_PER_SECOND / 2));
    }
}
