package org.halvex.xaudio;

import java.io.IOException;
import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.nio.file.Files;
import java.nio.file.Path;

/** Sound files generated for the tests: 16-bit mono tones, with or without a forward loop. */
final class SoundFiles {
    private SoundFiles() {}

    static final int RATE = 22050;

    /** A tone of {@code seconds}; frames [loopStart, loopEnd] loop once when loopEnd > 0. */
    static Path tone(Path folder, String name, double seconds, int loopStart, int loopEnd) throws IOException {
        final int frames = (int) (seconds * RATE);
        final int smplSize = loopEnd > 0 ? 8 + 60 : 0;
        final ByteBuffer file = ByteBuffer.allocate(12 + 24 + 8 + 2 * frames + smplSize).order(ByteOrder.LITTLE_ENDIAN);
        file.put("RIFF".getBytes()).putInt(file.capacity() - 8).put("WAVE".getBytes());
        file.put("fmt ".getBytes()).putInt(16).putShort((short) 1).putShort((short) 1).putInt(RATE)
                .putInt(RATE * 2).putShort((short) 2).putShort((short) 16);
        file.put("data".getBytes()).putInt(2 * frames);
        for (int i = 0; i < frames; ++i) {
            file.putShort((short) Math.round(16000 * Math.sin(2 * Math.PI * 440 * i / RATE)));
        }
        if (loopEnd > 0) {
            file.put("smpl".getBytes()).putInt(60);
            for (int i = 0; i < 7; ++i) {
                file.putInt(0);
            }
            file.putInt(1).putInt(0).putInt(0).putInt(0).putInt(loopStart).putInt(loopEnd).putInt(0).putInt(0);
        }
        final Path path = folder.resolve(name);
        Files.write(path, file.array());
        return path;
    }

    /** An xWMA file, with or without its packet table; the audio bytes are not real WMA. */
    static Path xwma(Path folder, boolean withTable) throws IOException {
        final ByteBuffer file = ByteBuffer.allocate(12 + 26 + 72 + (withTable ? 16 : 0)).order(ByteOrder.LITTLE_ENDIAN);
        file.put("RIFF".getBytes()).putInt(file.capacity() - 8).put("XWMA".getBytes());
        file.put("fmt ".getBytes()).putInt(18).putShort((short) 0x0161).putShort((short) 2).putInt(44100)
                .putInt(6000).putShort((short) 2230).putShort((short) 16).putShort((short) 0);
        file.put("data".getBytes()).putInt(64);
        file.put(new byte[64]);
        if (withTable) {
            file.put("dpds".getBytes()).putInt(8).putInt(4096).putInt(8192);
        }
        final Path path = folder.resolve(withTable ? "sound.xwma" : "untabled.xwma");
        Files.write(path, file.array());
        return path;
    }

    /** How many seconds of the float samples in {@code sink} lie between the first and the last
     *  audible one, at {@code samplesPerSecond} (all channels). */
    static double audibleSeconds(Path sink, double samplesPerSecond) throws IOException {
        final ByteBuffer samples = ByteBuffer.wrap(Files.readAllBytes(sink)).order(ByteOrder.LITTLE_ENDIAN);
        int first = -1;
        int last = -1;
        for (int i = 0; samples.remaining() >= 4; ++i) {
            if (Math.abs(samples.getFloat()) > 0.01f) {
                if (first < 0) {
                    first = i;
                }
                last = i;
            }
        }
        return first < 0 ? 0 : (last - first + 1) / samplesPerSecond;
    }
}
