package org.halvex.xaudio;

import java.nio.file.Files;
import java.nio.file.Path;

/** Demo: plays a generated 1.5 s tone through libchimebox.so the way the application does. */
public final class PlayDemo {
    private PlayDemo() {}

    public static void main(String[] args) throws Exception {
        final Path folder = Files.createTempDirectory("chimebox-demo");
        final Path tone = SoundFiles.tone(folder, "tone.wav", 1.5, 0, 0);
        final WavPlayer player = new WavPlayer();
        player.initialize();
        System.out.printf("   playing %s: PCM 16-bit, 1 channel, %d Hz, 1.50 s, 440 Hz tone%n", tone,
                SoundFiles.RATE);
        final long start = System.nanoTime();
        player.play(tone.toString());
        System.out.printf("   play returned after %.2f s%n", (System.nanoTime() - start) / 1e9);
        player.release();
        Files.delete(tone);
        Files.delete(folder);
    }
}
